#include "ReaderCheck.h"

#include "OstrelCodes.h"

#include <algorithm>

namespace calveno {

std::string readerNameProblem(const std::string& name, const std::vector<std::string>& present)
{
    if (std::find(present.begin(), present.end(), name) != present.end()) return {};
    std::string contained;
    for (const std::string& reader : present)
        if (ostrel::readerNameMatches(name, reader))
            contained += (contained.empty() ? "\"" : ", \"") + reader + "\"";
    if (contained.empty()) return "no PC/SC reader present has this name";
    // The plug-in would accept the text at start-up, then fail to connect by it.
    return "not a reader's whole name: it contains " + contained +
           ", which the plug-in accepts at start-up but cannot connect to by this text";
}

std::string readerLines(const std::vector<std::string>& present)
{
    if (present.empty()) return "  (none)\n";
    std::string lines;
    for (const std::string& reader : present) lines += "  \"" + reader + "\"\n";
    return lines;
}

}  // namespace calveno
