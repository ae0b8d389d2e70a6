#include "ConfigPaths.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace calveno {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
bool endsWithSeparator(const std::string& path)
{
    return !path.empty() && (path.back() == '\\' || path.back() == '/');
}
#else
constexpr char kSeparator = '/';
bool endsWithSeparator(const std::string& path)
{
    return !path.empty() && path.back() == '/';
}
#endif

constexpr int kCodeOverwrite = 43;

}  // namespace

std::string platformWindowsDirectory()
{
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return std::string(buffer, length);
#else
    return TOOLKIT_WINDOWS_DIR;
#endif
}

std::string programDirectoryFromArgv0(const std::string& argv0)
{
    if (argv0.empty()) return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(argv0, ec);
    if (ec) return {};
    std::string directory = absolute.parent_path().string();
    if (directory.empty()) return {};
    if (!endsWithSeparator(directory)) directory += kSeparator;
    return directory;
}

std::string platformProgramDirectory()
{
#ifdef _WIN32
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return {};
    return programDirectoryFromArgv0(std::string(buffer, length));
#else
    // The link names the executable itself, symbolic links on the way resolved.
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !executable.is_absolute()) return {};
    return programDirectoryFromArgv0(executable.string());
#endif
}

std::string installedCardManagerDirectory()
{
#ifdef _WIN32
    return {};
#else
    std::string directory = TOOLKIT_CARD_MANAGER_DIR;
    if (!endsWithSeparator(directory)) directory += kSeparator;
    return directory;
#endif
}

std::string cardManagerDirectory(const std::string& programDirectory)
{
#ifndef _WIN32
    std::error_code ec;
    if (!programDirectory.empty() &&
        std::filesystem::is_directory(composePath(programDirectory, TOOLKIT_INSTALLED_MARKER), ec))
        return installedCardManagerDirectory();
#endif
    return programDirectory;
}

std::string windowsDirectoryText()
{
#ifdef _WIN32
    return "the Windows directory";
#else
    return TOOLKIT_WINDOWS_DIR;
#endif
}

std::string cardManagerDirectoryText()
{
#ifdef _WIN32
    return "the program's own folder";
#else
    return std::string(TOOLKIT_CARD_MANAGER_DIR) +
           " once installed, the program's own folder in a build tree";
#endif
}

std::string composePath(const std::string& directory, const std::string& fileName)
{
    std::string path = directory;
    if (!endsWithSeparator(path)) path += kSeparator;
    return path + fileName;
}

bool buildPaths(const Directories& directories, FileOperations& files, ConfigPaths& paths)
{
    const std::string& windowsDir = directories.windowsDirectory;
    const std::string& programDir = directories.programDirectory;
    if (windowsDir.empty() || windowsDir.size() > kMaxPathLength || programDir.empty()) return false;

    ConfigPaths built;
    built.tuvexIni = composePath(windowsDir, "tuvex.ini");
    built.pelkorCnf = composePath(programDir, "pelkor.cnf");
    // An existing pelkor.ini is kept where the card manager found it.
    const std::string programIni = composePath(programDir, "pelkor.ini");
    const std::string windowsIni = composePath(windowsDir, "pelkor.ini");
    if (files.exists(programIni))
        built.pelkorIni = programIni;
    else if (files.exists(windowsIni))
        built.pelkorIni = windowsIni;
    else
        built.pelkorIni = programIni;
    built.archiveTuvexIni = composePath(programDir, "archive-tuvex.ini");
    built.archivePelkorCnf = composePath(programDir, "archive-pelkor.cnf");
    built.archivePelkorIni = composePath(programDir, "archive-pelkor.ini");

    const std::string* const all[] = {
        &built.tuvexIni,        &built.pelkorCnf,        &built.pelkorIni,       &windowsIni,
        &built.archiveTuvexIni, &built.archivePelkorCnf, &built.archivePelkorIni};
    for (const std::string* path : all) {
        if (path->size() > kMaxPathLength) return false;
    }
    paths = built;
    return true;
}

bool overwriteWarning(const ConfigPaths& paths, FileOperations& files, MessagePresenter& presenter)
{
    const bool replacing =
        files.exists(paths.tuvexIni) || (files.exists(paths.pelkorCnf) && files.exists(paths.pelkorIni));
    if (!replacing) return true;
    return ShowMessage(presenter, kCodeOverwrite) == MessageAnswer::Ok;
}

}  // namespace calveno
