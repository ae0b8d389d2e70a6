// The command line of the window programs, answered before the toolkit
// opens a display, so a terminal (and help2man at build time) gets --help and
// --version without a screen, and a mistyped option is refused there too.
#ifndef COMMON_PROGRAMINFO_H
#define COMMON_PROGRAMINFO_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace toolkit {

struct ProgramInfo {
    std::string name;     // the command's name, as typed
    std::string summary;  // one sentence: what the program does
    std::string details;  // further paragraphs of --help (files, exit status); may be empty
};

// Exit status of a command line the program does not accept.
constexpr int kExitUsage = 2;

// The first line written for --version: the command's name and the toolkit's
// version.
std::string versionLine(const std::string& name);

// When args (argv, the program path first) hold --help or -h, writes the help
// to out and returns 0; else when they hold --version, writes the version and
// returns 0; else when they hold anything at all, writes one line naming the
// first argument to err and returns kExitUsage. Returns nothing when the
// program is to start.
std::optional<int> answerCommandLine(const std::vector<std::string>& args, const ProgramInfo& info,
                                     std::ostream& out, std::ostream& err);

}  // namespace toolkit

#endif
