// --help and --version for the window programs, answered before the toolkit
// opens a display, so a terminal (and help2man at build time) gets them
// without a screen.
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
};

// The first line written for --version: the command's name and the toolkit's
// version.
std::string versionLine(const std::string& name);

// When args (argv, the program path first) hold --help, -h or --version,
// writes the answer to out and returns the exit status; otherwise returns
// nothing and the program starts. Other arguments are left to the toolkit,
// which has options of its own (-platform, -style).
std::optional<int> answerInfoOption(const std::vector<std::string>& args, const ProgramInfo& info,
                                    std::ostream& out);

}  // namespace toolkit

#endif
