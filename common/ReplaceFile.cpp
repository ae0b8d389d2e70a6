#include "common/ReplaceFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace common {

#ifdef _WIN32

FileStatus fileStatus(const char* path)
{
    DWORD attrs = GetFileAttributesA(path);
    if (attrs == INVALID_FILE_ATTRIBUTES) return FileStatus::Missing;
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) return FileStatus::NotRegular;
    if (attrs & FILE_ATTRIBUTE_READONLY) return FileStatus::ReadOnly;
    return FileStatus::Writable;
}

bool replaceFileContent(const char* path, std::string_view content)
{
    std::string tmp = std::string(path) + ".tmp";
    HANDLE h =
        CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = content.empty() ||
              (WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
               written == content.size());
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    if (ok) ok = MoveFileExA(tmp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileA(tmp.c_str());
    return ok;
}

#else

FileStatus fileStatus(const char* path)
{
    struct stat st {};
    if (::stat(path, &st) != 0) return FileStatus::Missing;
    if (!S_ISREG(st.st_mode)) return FileStatus::NotRegular;
    // Root may write anything, so the permission bits, not access(), stand
    // for the read-only attribute the wizard and its users rely on.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return FileStatus::ReadOnly;
    return FileStatus::Writable;
}

bool replaceFileContent(const char* linkOrPath, std::string_view content)
{
    // Renaming over a symbolic link would replace the link itself and leave
    // the configuration it points to untouched.
    std::string resolved = linkOrPath;
    if (char* real = ::realpath(linkOrPath, nullptr)) {
        resolved = real;
        std::free(real);
    }
    const char* path = resolved.c_str();

    struct stat st {};
    mode_t mode = 0;
    if (::stat(path, &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string tmp = std::string(path) + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) return false;

    bool ok = true;
    const char* p = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            ok = false;
        } else {
            p += n;
            left -= static_cast<std::size_t>(n);
        }
    }
    ok = ::fchmod(fd, mode) == 0 && ok;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), path) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

#endif

}  // namespace common
