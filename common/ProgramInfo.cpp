#include "common/ProgramInfo.h"

#include <algorithm>
#include <initializer_list>

#include "ToolkitVersion.h"

namespace toolkit {

std::string versionLine(const std::string& name)
{
    return name + " " + TOOLKIT_VERSION;
}

std::optional<int> answerCommandLine(const std::vector<std::string>& args, const ProgramInfo& info,
                                     std::ostream& out, std::ostream& err)
{
    const auto first = args.begin() + (args.empty() ? 0 : 1);
    const auto asked = [&](std::initializer_list<const char*> names) {
        return std::any_of(first, args.end(), [names](const std::string& arg) {
            return std::find(names.begin(), names.end(), arg) != names.end();
        });
    };
    // Help first, as CLI11 does for calveno-batch when both are given.
    if (asked({"--help", "-h"})) {
        out << "Usage: " << info.name << " [OPTION]\n"
            << info.summary << "\n\n"
            << "Options:\n"
            << "  -h, --help     show this help and exit\n"
            << "      --version  show the version and exit\n";
        if (!info.details.empty()) out << "\n" << info.details;
        return 0;
    }
    if (asked({"--version"})) {
        out << versionLine(info.name) << "\n"
            << "Part of the card-reader toolkit.\n";
        return 0;
    }
    // Nothing else is taken, the toolkit's own options neither: a window that
    // opens on a mistyped option would hide the mistake.
    if (first != args.end()) {
        const bool option = !first->empty() && first->front() == '-';
        err << info.name << ": " << (option ? "unknown option" : "unexpected argument") << " '" << *first
            << "'; try '" << info.name << " --help'\n";
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace toolkit
