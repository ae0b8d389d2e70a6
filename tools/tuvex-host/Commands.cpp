#include "Commands.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>

namespace tuvex_host {

namespace {

struct VerbInfo {
    Verb verb;
    const char* arguments;  // for the help text
    const char* meaning;
    int numberDefault;  // -1: no number argument; otherwise its default
    unsigned numberMax;
    bool needsData;
};

const std::map<std::string, VerbInfo, std::less<>>& verbs()
{
    static const std::map<std::string, VerbInfo, std::less<>> table = {
        {"list", {Verb::List, "", "list the configured channels", -1, 0, false}},
        {"channel", {Verb::Channel, "N", "run the next commands on channel N ([CANALN])", -2, 65535, false}},
        {"connect", {Verb::Connect, "", "ProConnect", -1, 0, false}},
        {"disconnect", {Verb::Disconnect, "", "ProDisconnect", -1, 0, false}},
        {"exclusive",
         {Verb::Exclusive, "[INDEX]", "ProSetExclusivity (index 0 to 255, default 0)", 0, 255, false}},
        {"release",
         {Verb::Release, "[INDEX]", "ProReleaseExclusivity (index 0 to 255, default 0)", 0, 255, false}},
        {"status", {Verb::Status, "", "ProGetStatus", -1, 0, false}},
        {"identify", {Verb::Identify, "", "ProIdentify", -1, 0, false}},
        {"presence", {Verb::Presence, "", "card presence test", -1, 0, false}},
        {"power-on", {Verb::PowerOn, "", "card power-on: the ATR and its card type", -1, 0, false}},
        {"apdu", {Verb::Apdu, "HEX", "card instruction (class, instruction, P1, P2, P3, data)", -1, 0, true}},
        {"power-off",
         {Verb::PowerOff, "[MODE]", "card power-off with removal mode 0 or 1 (default 0)", 0, 255, false}},
        {"self-test", {Verb::SelfTest, "", "reader self test: driver version, BWT, W, clock", -1, 0, false}},
        {"reset", {Verb::Reset, "", "reader reset", -1, 0, false}},
        {"frequency", {Verb::Frequency, "CODE", "card clock frequency code (4 or 5)", -2, 255, false}},
        {"raw", {Verb::Raw, "HEX", "send these request bytes as they are", -1, 0, true}},
    };
    return table;
}

std::vector<std::string_view> split(std::string_view line, std::size_t limit)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        if (at >= line.size()) break;
        if (words.size() + 1 == limit) {  // the rest, hex with blanks included
            std::size_t end = line.size();
            while (end > at && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
            words.push_back(line.substr(at, end - at));
            break;
        }
        const std::size_t start = at;
        while (at < line.size() && !std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        words.push_back(line.substr(start, at - start));
    }
    return words;
}

}  // namespace

std::optional<Bytes> parseHex(std::string_view text)
{
    Bytes bytes;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == ':' || c == '\t') {
            if (high >= 0) return std::nullopt;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return bytes;
}

std::string toHex(const Bytes& bytes, bool spaced)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (spaced && !text.empty()) text += ' ';
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

std::optional<Command> parseCommand(std::string_view line, std::string& error)
{
    Command command;
    const auto firstWords = split(line, 0);
    if (firstWords.empty() || firstWords[0].front() == '#') return command;
    const auto found = verbs().find(firstWords[0]);
    if (found == verbs().end()) {
        error = "unknown command \"" + std::string(firstWords[0]) + "\"";
        return std::nullopt;
    }
    const VerbInfo& info = found->second;
    command.verb = info.verb;
    const auto words = split(line, 2);
    command.text = std::string(firstWords[0]);
    const std::string name(firstWords[0]);
    if (words.size() > 1) command.text += " " + std::string(words[1]);
    if (info.needsData) {
        const auto bytes = words.size() > 1 ? parseHex(words[1]) : std::nullopt;
        if (!bytes || bytes->empty()) {
            error = name + ": malformed hex string \"" + (words.size() > 1 ? std::string(words[1]) : "") +
                    "\" (pairs of hex digits, blanks allowed between bytes)";
            return std::nullopt;
        }
        command.data = *bytes;
        return command;
    }
    if (info.numberDefault == -1) {
        if (firstWords.size() > 1) {
            error = name + " takes no argument";
            return std::nullopt;
        }
        return command;
    }
    if (firstWords.size() > 2 || (firstWords.size() == 1 && info.numberDefault == -2)) {
        error = name + " needs " + info.arguments;
        return std::nullopt;
    }
    if (firstWords.size() == 1) {
        command.number = static_cast<unsigned>(info.numberDefault);
        return command;
    }
    const std::string_view n = firstWords[1];
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), value);
    if (ec != std::errc() || end != n.data() + n.size() || value > info.numberMax) {
        error =
            name + ": \"" + std::string(n) + "\" is not a number from 0 to " + std::to_string(info.numberMax);
        return std::nullopt;
    }
    command.number = value;
    return command;
}

std::string commandHelp()
{
    std::string text = "Commands (one per argument, or one per line with --script; # starts a comment):\n";
    for (const auto& [name, info] : verbs()) {
        std::string head = "  " + name + (info.arguments[0] != '\0' ? std::string(" ") + info.arguments : "");
        head.resize(std::max<std::size_t>(head.size() + 1, 22), ' ');
        text += head + info.meaning + "\n";
    }
    return text;
}

bool isExchange(Verb verb)
{
    switch (verb) {
    case Verb::Presence:
    case Verb::PowerOn:
    case Verb::Apdu:
    case Verb::PowerOff:
    case Verb::SelfTest:
    case Verb::Reset:
    case Verb::Frequency:
    case Verb::Raw: return true;
    default: return false;
    }
}

Bytes requestOf(const Command& command)
{
    const auto header = [](std::uint8_t code, unsigned parameter) {
        return Bytes{0x00, 0x00, code, static_cast<std::uint8_t>(parameter)};
    };
    switch (command.verb) {
    case Verb::Presence: return header(0x16, 0);
    case Verb::PowerOn: return header(0x14, 0);
    case Verb::PowerOff: return header(0x15, command.number);
    case Verb::SelfTest: return header(0x12, 0);
    case Verb::Reset: return header(0x11, 0);
    case Verb::Frequency: return header(0x17, command.number);
    case Verb::Apdu: {
        Bytes request = header(0x00, 0);  // counter 0: not checked
        request.insert(request.end(), command.data.begin(), command.data.end());
        return request;
    }
    case Verb::Raw: return command.data;
    default: return {};
    }
}

std::string reportText(std::uint8_t reportCode)
{
    switch (reportCode) {
    case 0x00: return "done";
    case 0x02: return "parameter refused";
    case 0x03: return "forbidden command";
    case 0x10: return "card unusable (not T=0) or reader unavailable";
    case 0x11: return "card present but not powered";
    case 0x12: return "card still present and not powered";
    case 0x13: return "instruction of wrong length";
    case 0x14: return "card already powered";
    case 0x15: return "invalid frequency code";
    case 0x16: return "counter error or card removed during the instruction";
    case 0x17: return "card absent";
    default: return "unknown report code";
    }
}

std::string cardStateText(std::uint8_t state)
{
    switch (state) {
    case 0: return "absent";
    case 1: return "present, not powered";
    case 3: return "powered";
    default: return "unknown state";
    }
}

std::string detailText(std::uint32_t detail)
{
    switch (detail) {
    case 0: return "success";
    case 1: return "null argument or empty configuration path";
    case 2:
        return "channel not connected, PC/SC service stopped or reader unusable, plug-in not initialised, or "
               "no memory";
    case 3: return "PC/SC time-out, reader or card not ready";
    case 4: return "request of the wrong length for its command, or memory not accessible";
    case 5: return "channel unknown to the plug-in (type not 3, number out of range or not configured)";
    case 10: return "configuration: no channel list (ListeCanaux)";
    case 11: return "configuration: channel number out of range or no Caracteristiques";
    case 14: return "no PC/SC context or card handle: connect and take exclusivity first";
    case 15: return "response buffer too small";
    case 16: return "communication error with the reader or the card";
    case 17: return "reader unavailable";
    case 18: return "configured reader not found among the PC/SC readers";
    case 19: return "configuration: Index missing or 0";
    case 20: return "unknown PC/SC result";
    case 21: return "PC/SC internal error, invalid handle or parameter, or no transaction open";
    case 22: return "sharing violation: another application holds the reader";
    case 24: return "protocol mismatch";
    case 25: return "invalid value";
    case 26: return "no card in the reader";
    case 27: return "card reset, removed or unpowered";
    case 28: return "card unknown, unsupported, mute or with an invalid ATR";
    case 0x1000: return "channel table full: more than ten channels";
    default: return "unknown detail code";
    }
}

std::optional<SelfTest> decodeSelfTest(const Bytes& response)
{
    if (response.size() < 27 || response[0] != 0x00) return std::nullopt;
    SelfTest result;
    char version[8];
    std::snprintf(version, sizeof version, "%02X.%02X", response[3], response[4]);
    result.version = version;
    result.bwt = static_cast<unsigned>(response[5] << 8 | response[6]);
    result.w = static_cast<unsigned>(response[7] << 8 | response[8]);
    result.clockMHz = response[9];
    return result;
}

}  // namespace tuvex_host
