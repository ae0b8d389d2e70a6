#pragma once
// tuvex-host: loads the protocol libraries of a tuvex.ini as the access manager does
// and runs reader commands through their exports, for checking a workstation's
// reader configuration by hand or from a script.

#include <iosfwd>
#include <string>
#include <vector>

namespace tuvex_host {

enum ExitCode : int {
    kExitOk = 0,
    kExitCallFailed = 1,      // a plug-in export answered a non-zero status
    kExitUsage = 2,           // wrong option, unknown command, malformed hex or number
    kExitBadFile = 3,         // configuration or script file missing, unreadable or invalid
    kExitBadLibrary = 4,      // a protocol library cannot be loaded or lacks an export
    kExitUnknownChannel = 5,  // a channel that no loaded protocol serves
    kExitCardRefused = 6,     // a command was carried out but the reader or card said no
};

// `args` as main receives them (program path first); `in` is read for "--script -".
int runHost(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tuvex_host
