#include "FileOperations.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace calveno {

namespace fs = std::filesystem;

namespace {

constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

bool isReadOnly(const fs::file_status& status)
{
    return (status.permissions() & kWriteBits) == fs::perms::none;
}

// An existing file that may not be replaced or emptied: a directory, or a
// file in the read-only state.
bool refusesWriting(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) return false;
    return !fs::is_regular_file(status) || isReadOnly(status);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode: every line already holds its CR LF, so the bytes are the same
// on every platform.
class StdioOutputFile final : public OutputFile {
public:
    explicit StdioOutputFile(std::FILE* file) : m_file(file) {}
    ~StdioOutputFile() override
    {
        if (m_file != nullptr) std::fclose(m_file);
    }

    bool writeLine(std::string_view block) override
    {
        if (m_file == nullptr || block.empty()) return false;
        // Flushed per line so a full disk shows at the line that hit it.
        return std::fwrite(block.data(), 1, block.size(), m_file) == block.size() && std::fflush(m_file) == 0;
    }

    bool close() override
    {
        if (m_file == nullptr) return false;
        const bool ok = std::fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

private:
    std::FILE* m_file;
};

}  // namespace

bool SystemFileOperations::exists(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    return FilePtr(std::fopen(path.c_str(), "rb")) != nullptr;
}

bool SystemFileOperations::remove(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status) || isReadOnly(status)) return false;
    return fs::remove(path, ec) && !ec;
}

bool SystemFileOperations::copy(const std::string& from, const std::string& to)
{
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return false;
#ifdef _WIN32
    // The C library there has no "x" mode: the platform copy refuses an existing
    // target itself.
    return CopyFileA(from.c_str(), to.c_str(), TRUE) != 0;
#else
    FilePtr source(std::fopen(from.c_str(), "rb"));
    if (!source) return false;
    // "x": fail when the target exists, as the platform copy is asked to.
    std::FILE* target = std::fopen(to.c_str(), "wbx");
    if (target == nullptr) return false;

    bool ok = true;
    char buffer[8192];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, source.get())) > 0) {
        if (std::fwrite(buffer, 1, count, target) != count) {
            ok = false;
            break;
        }
    }
    if (std::ferror(source.get())) ok = false;
    if (std::fclose(target) != 0) ok = false;
    if (!ok) fs::remove(to, ec);  // no half copy posing as an archive
    return ok;
#endif
}

bool SystemFileOperations::resetAttributes(const std::string& path)
{
    std::error_code ec;
    if (!fs::exists(path, ec)) return false;
#ifdef _WIN32
    // Read-only, hidden, system and the like all cleared.
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
#else
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec;
#endif
}

bool SystemFileOperations::createEmpty(const std::string& path)
{
    if (refusesWriting(path)) return false;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    return std::fclose(file.release()) == 0;
}

std::unique_ptr<OutputFile> SystemFileOperations::openForWriting(const std::string& path)
{
    if (refusesWriting(path)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "w+b");
    if (file == nullptr) return nullptr;
    return std::make_unique<StdioOutputFile>(file);
}

std::unique_ptr<TuvexSink> SystemFileOperations::tuvexSink(const std::string& path)
{
    return std::make_unique<ProfileTuvexSink>(path);
}

}  // namespace calveno
