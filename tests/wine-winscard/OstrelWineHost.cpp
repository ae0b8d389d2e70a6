// The Windows side of the road script under Wine: a 32-bit host that loads
// OSTREL.DLL with LoadLibraryA and runs PluginLine commands read from its standard
// input, one answer line each. "readers" lists the PC/SC readers the way the
// wizard's reader page asks for them, names joined by "|".

#include "PluginLine.h"
#include "PcscReaderList.h"
#include "SystemPcscReaders.h"

#include <iostream>
#include <string>

int main()
{
    integration::PluginLine plugin;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "quit") break;
        std::string answer;
        if (line == "readers") {
            calveno::SystemPcscReaderSource source;
            for (const std::string& name : calveno::sortedReaderNames(source.listReaders()))
                answer += (answer.empty() ? "" : "|") + name;
        } else {
            answer = plugin.call(line);
        }
        std::cout << answer << std::endl;
    }
    return 0;
}
