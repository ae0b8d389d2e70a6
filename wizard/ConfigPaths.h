#pragma once
// Where the wizard's files live: tuvex.ini in the Windows directory, the
// card-manager files and the archives in the program directory (pelkor.ini
// stays where an existing one is found).

#include "FileOperations.h"
#include "MessageCatalogue.h"

#include <string>

namespace calveno {

// Every path the wizard builds fits the platform's 260-character limit.
constexpr std::size_t kMaxPathLength = 260;

// The two directories the paths are built from. The program passes the
// platform's; tests and calveno-batch pass their own. programDirectory holds
// the card-manager files and the archives: the program's own folder, or in an
// installed toolkit the folder that stands for it (cardManagerDirectory).
struct Directories {
    std::string windowsDirectory;
    std::string programDirectory;
};

struct ConfigPaths {
    std::string tuvexIni;
    std::string pelkorCnf;
    std::string pelkorIni;
    std::string archiveTuvexIni;
    std::string archivePelkorCnf;
    std::string archivePelkorIni;
};

// The Windows directory as the platform reports it; on platforms without one
// the directory chosen at build time. Empty when the platform reports none.
std::string platformWindowsDirectory();

// The folder of the running program as the system started it (Windows:
// GetModuleFileNameA; Linux: /proc/self/exe), never argument 0, which a start
// by name from PATH leaves relative to whatever the current folder is. Ends
// with a separator; empty when unknown.
std::string platformProgramDirectory();

// The folder chosen at build time for the card-manager files of an installed
// toolkit (Linux; empty on Windows). Ends with a separator.
std::string installedCardManagerDirectory();

// Where the card-manager files and the archives go for a program in
// `programDirectory`. On Windows, and in a build tree, that folder itself. A
// program installed with the toolkit (its folder has the toolkit's private
// library folder beside it, as the install lays them out) lives in a folder
// the package manager owns: there installedCardManagerDirectory().
std::string cardManagerDirectory(const std::string& programDirectory);

// The two folders as --help and the manual pages name them: where tuvex.ini
// goes, and where the card-manager files go (both cases on Linux).
std::string windowsDirectoryText();
std::string cardManagerDirectoryText();

// The directory part of the program's own path (argument 0), made absolute
// against the current directory and ending with a separator. Empty when it
// cannot be made absolute.
std::string programDirectoryFromArgv0(const std::string& argv0);

// `directory` + separator (unless it already ends with one) + `fileName`.
std::string composePath(const std::string& directory, const std::string& fileName);

// Builds the six paths. Fails when a directory is empty, the Windows
// directory is longer than 260 characters, or a path would be.
bool buildPaths(const Directories& directories, FileOperations& files, ConfigPaths& paths);

// Start-up warning: when tuvex.ini exists, or both card-manager files do,
// asks with code 43; false when the user cancels.
bool overwriteWarning(const ConfigPaths& paths, FileOperations& files, MessagePresenter& presenter);

}  // namespace calveno
