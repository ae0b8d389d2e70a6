#include "PluginLine.h"

#include "OstrelLibrary.h"

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <vector>

namespace integration {

namespace {

constexpr std::uint32_t kChannelType = 3;
constexpr std::uint32_t kResponseCapacity = 300;

std::string statusText(std::uint16_t status)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", status);
    return text;
}

std::string hex(const std::uint8_t* bytes, std::size_t length)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

bool unhex(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    if (text.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(text.c_str() + i, "%2x", &value) != 1) return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

}  // namespace

PluginLine::PluginLine() = default;
PluginLine::~PluginLine() = default;

std::string PluginLine::call(std::string_view line)
{
    std::istringstream in{std::string(line)};
    std::string verb;
    in >> verb;
    if (verb == "load") {
        std::string path;
        std::getline(in >> std::ws, path);
        std::string why;
        m_library = ostrel::LoadedLibrary::open(path, why);
        if (m_library != nullptr && !m_library->resolve(m_exports, why)) m_library.reset();
        return m_library != nullptr ? "0" : "1 " + why;
    }
    if (m_library == nullptr) return "error no library loaded";
    if (verb == "unload") {
        const bool closed = m_library->release();
        m_library.reset();
        return closed ? "0" : "1";
    }
    if (verb == "termin") return statusText(m_exports.termin());
    if (verb == "init") {
        unsigned protocol = 0;
        std::string path;
        in >> protocol;
        std::getline(in >> std::ws, path);
        return statusText(m_exports.init(static_cast<std::uint16_t>(protocol), path.c_str(), 0));
    }
    unsigned channel = 0;
    if (!(in >> channel)) return "error no channel";
    const auto ch = static_cast<std::uint8_t>(channel);
    if (verb == "connect") return statusText(m_exports.connect(kChannelType, ch, ""));
    if (verb == "disconnect") return statusText(m_exports.disconnect(kChannelType, ch));
    if (verb == "exclusive" || verb == "release") {
        unsigned index = 0;
        in >> index;
        const auto fn = verb == "exclusive" ? m_exports.setExclusivity : m_exports.releaseExclusivity;
        return statusText(fn(kChannelType, ch, static_cast<std::uint8_t>(index)));
    }
    if (verb == "exchange") {
        std::string requestHex;
        std::vector<std::uint8_t> request;
        if (!(in >> requestHex) || !unhex(requestHex, request)) return "error bad request";
        std::vector<std::uint8_t> response(kResponseCapacity, 0xEE);
        std::uint32_t length = kResponseCapacity;
        const std::uint16_t status =
            m_exports.exchange(kChannelType, ch, 0, 0, request.data(),
                               static_cast<std::uint32_t>(request.size()), response.data(), &length);
        if (status != 0) return statusText(status);
        return statusText(status) + " " + hex(response.data(), length);
    }
    return "error unknown command " + verb;
}

}  // namespace integration
