#include "HostConfig.h"

#include "common/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>

namespace tuvex_host {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "PROTOCOLE12" in any case: 12.
std::optional<unsigned> protocolNumber(const std::string& section)
{
    static const std::string prefix = "protocole";
    const std::string name = lower(section);
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    unsigned number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i])) || number > 9999) return std::nullopt;
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return number;
}

// "1, 2": each item a decimal number after optional blanks.
std::optional<std::vector<unsigned>> channelList(const std::string& text)
{
    std::vector<unsigned> channels;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        std::size_t i = at;
        while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
        unsigned number = 0;
        const std::size_t first = i;
        while (i < end && std::isdigit(static_cast<unsigned char>(text[i])) && number < 100000)
            number = number * 10 + static_cast<unsigned>(text[i++] - '0');
        while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i == first || i != end) return std::nullopt;
        channels.push_back(number);
        at = end + 1;
    }
    return channels;
}

std::vector<std::string> sectionNames(const std::string& path)
{
    std::vector<char> buffer(65536);
    const auto length = common::getProfileString(nullptr, nullptr, "", buffer.data(),
                                                 static_cast<std::uint32_t>(buffer.size()), path.c_str());
    std::vector<std::string> names;
    for (std::size_t at = 0; at < length;) {
        const std::string name(buffer.data() + at);
        if (name.empty()) break;
        names.push_back(name);
        at += name.size() + 1;
    }
    return names;
}

}  // namespace

std::vector<std::string> libraryFileNames(const std::string& nomLib)
{
    std::vector<std::string> names{nomLib};
#ifndef _WIN32
    const std::string name = lower(nomLib);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
        const auto slash = name.find_last_of("/\\");
        const std::string stem = name.substr(slash == std::string::npos ? 0 : slash + 1);
        names.push_back("lib" + stem.substr(0, stem.size() - 4) + ".so");
    }
#endif
    return names;
}

std::optional<HostConfig> readConfig(const std::string& path, std::string& error)
{
    if (!std::ifstream(path)) {
        error = "cannot read the configuration file " + path;
        return std::nullopt;
    }
    HostConfig config;
    config.path = path;
    std::set<unsigned> seen;
    for (const std::string& section : sectionNames(path)) {
        const auto number = protocolNumber(section);
        if (!number || !seen.insert(*number).second) continue;
        ProtocolConfig protocol;
        protocol.number = *number;
        protocol.library = common::readProfileString(path, section, "NomLib", "", 259);
        if (protocol.library.empty()) {
            error = path + ": [" + section + "] has no NomLib";
            return std::nullopt;
        }
        const std::string list = common::readProfileString(path, section, "ListeCanaux", "", 254);
        if (!list.empty()) {
            const auto channels = channelList(list);
            if (!channels) {
                error = path + ": [" + section + "] ListeCanaux \"" + list +
                        "\" is not a list of channel numbers";
                return std::nullopt;
            }
            protocol.channels = *channels;
        }
        for (const unsigned n : protocol.channels) {
            if (config.channels.count(n) != 0) continue;
            const std::string channelSection = "CANAL" + std::to_string(n);
            ChannelConfig channel;
            channel.section = n;
            channel.reader = common::readProfileString(path, channelSection, "Caracteristiques", "", 255);
            channel.index = common::getProfileInt(channelSection.c_str(), "Index", 0, path.c_str());
            channel.type = common::getProfileInt(channelSection.c_str(), "TCanal", 3, path.c_str());
            config.channels[n] = channel;
        }
        config.protocols.push_back(std::move(protocol));
    }
    std::sort(config.protocols.begin(), config.protocols.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    if (config.protocols.empty()) {
        error = path + ": no [PROTOCOLEn] section with a NomLib";
        return std::nullopt;
    }
    return config;
}

}  // namespace tuvex_host
