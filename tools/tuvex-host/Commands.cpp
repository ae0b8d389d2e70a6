#include "Commands.h"

#include "OstrelCodes.h"

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
    line = line.substr(0, line.find('#'));
    const auto firstWords = split(line, 0);
    if (firstWords.empty()) return command;
    const auto found = verbs().find(firstWords[0]);
    if (found == verbs().end()) {
        error = "unknown command \"" + std::string(firstWords[0]) + "\"";
        return std::nullopt;
    }
    const VerbInfo& info = found->second;
    command.verb = info.verb;
    const auto words = split(line, 2);
    command.name = std::string(firstWords[0]);
    command.text = command.name;
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
    case Verb::Presence: return header(ostrel::kCommandPresence, 0);
    case Verb::PowerOn: return header(ostrel::kCommandPowerOn, 0);
    case Verb::PowerOff: return header(ostrel::kCommandPowerOff, command.number);
    case Verb::SelfTest: return header(ostrel::kCommandSelfTest, 0);
    case Verb::Reset: return header(ostrel::kCommandReset, 0);
    case Verb::Frequency: return header(ostrel::kCommandFrequency, command.number);
    case Verb::Apdu: {
        Bytes request = header(ostrel::kCommandInstruction, 0);  // counter 0: not checked
        request.insert(request.end(), command.data.begin(), command.data.end());
        return request;
    }
    case Verb::Raw: return command.data;
    default: return {};
    }
}

std::string reportText(std::uint8_t reportCode)
{
    const std::string_view text = ostrel::reportText(reportCode);
    return text.empty() ? "unknown report code" : std::string(text);
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
    const std::string_view text = detail > 0xFFFF ? std::string_view() : ostrel::detailText(detail);
    return text.empty() ? "unknown detail code" : std::string(text);
}

std::string statusWordText(std::uint8_t sw1, std::uint8_t sw2)
{
    const std::string xx = std::to_string(sw2);
    switch (sw1) {
    case 0x90: return sw2 == 0x00 ? "normal processing" : "normal processing (unexpected SW2)";
    case 0x61: return "normal processing: " + xx + " bytes still available (GET RESPONSE)";
    case 0x62: return "warning: state of non-volatile memory unchanged";
    case 0x63: return "warning: state of non-volatile memory changed";
    case 0x64: return "execution error: state of non-volatile memory unchanged";
    case 0x65: return "execution error: state of non-volatile memory changed";
    case 0x66: return "execution error: security-related issue";
    case 0x67:
        return sw2 == 0x00 ? "checking error: wrong length" : "checking error: wrong length (unexpected SW2)";
    case 0x68: return "checking error: functions in CLA not supported";
    case 0x69: return "checking error: command not allowed";
    case 0x6A: return "checking error: wrong parameters P1-P2";
    case 0x6B: return "checking error: wrong parameters P1-P2";
    case 0x6C: return "checking error: wrong Le field; " + xx + " bytes available";
    case 0x6D: return "checking error: instruction not supported";
    case 0x6E: return "checking error: class not supported";
    case 0x6F: return "checking error: no precise diagnosis";
    default: return "not a status word of ISO/IEC 7816-4";
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
