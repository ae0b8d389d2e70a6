#include "Host.h"

#include "Atr.h"
#include "CardTypeTable.h"
#include "Commands.h"
#include "HostConfig.h"
#include "OstrelCodes.h"
#include "PcscReaders.h"
#include "PluginLibrary.h"
#include "common/ProgramInfo.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

namespace tuvex_host {

namespace {

using nlohmann::json;

constexpr std::uint32_t kResponseCapacity = 300;

std::string hex16(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", value & 0xFFFFu);
    return text;
}

std::string hex8(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

// One line per event: text for people, or one JSON object for scripts.
class Output {
public:
    Output(std::ostream& out, bool json) : m_out(out), m_json(json) {}
    bool json() const { return m_json; }
    void emit(const nlohmann::json& object, const std::string& text)
    {
        if (m_json)
            m_out << object.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
        else
            m_out << text;
        m_out.flush();
    }

private:
    std::ostream& m_out;
    bool m_json;
};

struct Options {
    std::string config;
    std::vector<std::string> commands;
    std::string script;
    std::vector<std::string> libDirs;
    int channel = -1;
    int protocol = -1;
    bool json = false;
    bool readers = false;
    std::string atr;
    bool watch = false;
    unsigned count = 0;
    unsigned timeout = 0;
};

struct Loaded {
    ProtocolConfig protocol;
    std::unique_ptr<PluginLibrary> library;
};

// What ProGetStatus said right after a failed call, kept for the `status` command:
// asking again would find the status already cleared.
struct Failure {
    std::string command;
    std::uint16_t status = 0;
    std::uint32_t detail = 0;
    std::string text;
    std::string explanation;
};

json failureJson(const Failure& f)
{
    return json{{"status", f.status}, {"status_hex", hex16(f.status)},
                {"detail", f.detail}, {"detail_hex", hex16(f.detail)},
                {"text", f.text},     {"explanation", f.explanation}};
}

std::string failureLine(const char* label, const Failure& f)
{
    return std::string("  ") + label + ": status " + hex16(f.status) + ", detail " +
           std::to_string(f.detail) + " (" + hex16(f.detail) + "), \"" + f.text + "\": " + f.explanation +
           "\n";
}

// The plug-in's text for a detail, made into advice where the failing call tells more.
std::string explain(Verb verb, std::uint16_t status, std::uint32_t detail, int reportCode)
{
    const bool exchange = isExchange(verb);
    if (detail == ostrel::kDetailNotConnected &&
        ((exchange && status == 0x0008) || verb == Verb::Exclusive || verb == Verb::Release))
        return "the channel is not connected: run connect first";
    if (detail == ostrel::kDetailNoContext)
        return exchange ? "no card handle: run connect, then exclusive, before card commands"
                        : "the channel is not connected: run connect first";
    if (detail == ostrel::kDetailNullArgument && reportCode == ostrel::kCrForbidden)
        return "forbidden request: byte 0 of a request must be 00";
    return detailText(detail);
}

json atrJson(const AtrDecoding& d)
{
    json bytes = json::array();
    for (const AtrByte& b : d.bytes)
        bytes.push_back({{"name", b.name}, {"value", toHex(Bytes{b.value})}, {"meaning", b.meaning}});
    return json{{"bytes", bytes},
                {"protocols", d.protocols},
                {"historical", toHex(d.historical, false)},
                {"tck_present", d.tckPresent},
                {"tck_correct", d.tckCorrect},
                {"recognised", d.recognised},
                {"card_type", d.recognised ? d.cardType : ""},
                {"issuer", d.recognised ? d.issuer : ""},
                {"error", d.error}};
}

// --readers: the readers present with their cards, without any configuration.
int listReaders(Output& output, std::ostream& err)
{
    const ReaderScan scan = scanReaders();
    if (!scan.reachable || scan.result != 0) {
        err << "tuvex-host: the PC/SC service is not reachable (" << pcscResultText(scan.result)
            << "): " << kStartServiceHint << "\n";
        if (output.json())
            output.emit(json{{"error", "the PC/SC service is not reachable"}, {"exit_code", kExitCallFailed}},
                        "");
        return kExitCallFailed;
    }
    if (scan.readers.empty() && !output.json()) output.emit(json::object(), "no PC/SC reader present\n");
    for (const ReaderInfo& reader : scan.readers) {
        json object{{"reader", reader.name},
                    {"card", reader.card},
                    {"atr", toHex(reader.atr, false)},
                    {"in_use", reader.inUse}};
        std::string text = reader.name + ": " + (reader.card ? "card, ATR " + toHex(reader.atr) : "no card");
        if (reader.card) {
            const AtrDecoding decoded = decodeAtr(reader.atr);
            object["card_type"] = decoded.recognised ? decoded.cardType : "";
            text += decoded.recognised ? " (" + decoded.cardType + ")" : " (card type not recognised)";
        }
        if (reader.inUse) text += ", held by another program";
        output.emit(object, text + "\n");
    }
    return kExitOk;
}

int showAtr(Output& output, std::ostream& err, const std::string& hex)
{
    const auto bytes = parseHex(hex);
    if (!bytes || bytes->empty()) {
        err << "tuvex-host: --atr: malformed hex string \"" << hex
            << "\" (pairs of hex digits, blanks allowed)\n";
        return kExitUsage;
    }
    const AtrDecoding decoded = decodeAtr(*bytes);
    json object = atrJson(decoded);
    object["atr"] = toHex(*bytes, false);
    output.emit(object, "ATR " + toHex(*bytes) + "\n" + atrText(decoded));
    return kExitOk;
}

int watch(Output& output, unsigned count, unsigned timeout)
{
    watchReaders(count, timeout, [&output](const WatchEvent& e) {
        json object{{"event", e.event}, {"reader", e.reader}, {"atr", toHex(e.atr, false)}};
        std::string text = e.event;
        if (!e.reader.empty()) text += " \"" + e.reader + "\"";
        if (!e.atr.empty()) {
            const AtrDecoding decoded = decodeAtr(e.atr);
            object["card_type"] = decoded.recognised ? decoded.cardType : "";
            text += " ATR " + toHex(e.atr) + (decoded.recognised ? " (" + decoded.cardType + ")" : "");
        }
        if (e.event == "present" && e.atr.empty()) text += " no card";
        if (!e.detail.empty()) {
            object["detail"] = e.detail;
            text += ": " + e.detail;
        }
        output.emit(object, text + "\n");
    });
    return kExitOk;
}

class Session {
public:
    Session(const HostConfig& config, std::vector<Loaded>& loaded, Output& output)
        : m_config(config), m_loaded(loaded), m_output(output)
    {}

    bool failed() const { return m_failed; }
    bool refused() const { return m_refused; }

    // Selects channel `section` ([CANALn]); false when no loaded protocol serves it.
    bool select(unsigned section)
    {
        for (Loaded& l : m_loaded)
            for (const unsigned n : l.protocol.channels)
                if (n == section && m_config.channels.count(n) != 0) {
                    m_channel = &m_config.channels.at(n);
                    m_library = l.library.get();
                    return true;
                }
        return false;
    }
    bool hasChannel() const { return m_channel != nullptr; }

    // False when ProInit failed: the reason is printed and nothing else can work.
    bool initialise(Loaded& l)
    {
        const std::uint16_t status =
            l.library->init(static_cast<std::uint16_t>(l.protocol.number), m_config.path.c_str(), 0);
        json object{{"event", "init"},         {"library", l.protocol.library},
                    {"file", l.library->file}, {"protocol", l.protocol.number},
                    {"status", status},        {"status_hex", hex16(status)}};
        std::string text = "library " + l.protocol.library + " (" + l.library->file + ")\n" + "ProInit(" +
                           std::to_string(l.protocol.number) + ", " + m_config.path + "): status " +
                           hex16(status) + "\n";
        if (status != 0) {
            Failure failure = askStatus(*l.library, "init");
            failure.explanation = initProblem(l.protocol, failure.detail, object);
            object["get_status"] = failureJson(failure);
            text += failureLine("ProGetStatus", failure);
            m_failed = true;
            m_output.emit(object, text);
            return false;
        }
        m_output.emit(object, text);
        identify(*l.library);
        return true;
    }

    void terminate(Loaded& l)
    {
        const std::uint16_t status = l.library->termin();
        json object{{"event", "termin"},
                    {"library", l.protocol.library},
                    {"status", status},
                    {"status_hex", hex16(status)}};
        std::string text = "ProTermin: status " + hex16(status) + "\n";
        if (status != 0) recordFailure(*l.library, Verb::None, "termin", status, -1, object, text);
        m_output.emit(object, text);
    }

    void run(const Command& command)
    {
        if (command.verb == Verb::List) return list();
        PluginLibrary& library = *m_library;
        const std::uint8_t type = static_cast<std::uint8_t>(m_channel->type);
        const std::uint8_t channel = static_cast<std::uint8_t>(m_channel->index);
        json object{{"command", command.name}, {"channel", m_channel->section}, {"index", m_channel->index}};
        std::string text = "> " + command.text + "\n";
        if (command.verb == Verb::Identify) {
            m_output.emit(object, text);
            return identify(library);
        }
        if (command.verb == Verb::Status) return reportStatus(library, object, text);
        std::uint16_t status = 0;
        Bytes response;
        Bytes request;
        switch (command.verb) {
        case Verb::Connect: status = library.connect(type, channel, ""); break;
        case Verb::Disconnect: status = library.disconnect(type, channel); break;
        case Verb::Exclusive:
            object["exclusivity_index"] = command.number;
            status = library.setExclusivity(type, channel, static_cast<std::uint8_t>(command.number));
            break;
        case Verb::Release:
            object["exclusivity_index"] = command.number;
            status = library.releaseExclusivity(type, channel, static_cast<std::uint8_t>(command.number));
            break;
        default: {
            request = requestOf(command);
            if (command.verb == Verb::Apdu) object["apdu"] = toHex(command.data, false);
            if (command.verb == Verb::PowerOff) object["mode"] = command.number;
            if (command.verb == Verb::Frequency) object["code"] = command.number;
            object["request"] = toHex(request, false);
            response.assign(kResponseCapacity, 0);
            std::uint32_t length = kResponseCapacity;
            status = library.exchange(type, channel, 0, 0, request.data(),
                                      static_cast<std::uint32_t>(request.size()), response.data(), &length);
            // A forbidden request still gets its one-byte answer beside the failure.
            const bool answered = status == 0 || length == 1;
            response.resize(answered ? std::min(length, kResponseCapacity) : 0);
            break;
        }
        }
        object["status"] = status;
        object["status_hex"] = hex16(status);
        text += "  status " + hex16(status) + "\n";
        int reportCode = -1;
        if (isExchange(command.verb) && !response.empty()) {
            reportCode = response[0];
            describeResponse(command, response, object, text);
        }
        if (status != 0) recordFailure(library, command.verb, command.name, status, reportCode, object, text);
        m_output.emit(object, text);
    }

private:
    Failure askStatus(PluginLibrary& library, const std::string& command)
    {
        Failure failure;
        failure.command = command;
        char buffer[64] = {};
        library.getStatus(&failure.status, &failure.detail, buffer);
        failure.text.assign(buffer, strnlen(buffer, sizeof buffer - 1));
        return failure;
    }

    // After a failed call: the plug-in's own account of it, kept for `status`.
    void recordFailure(PluginLibrary& library, Verb verb, const std::string& command, std::uint16_t status,
                       int reportCode, json& object, std::string& text)
    {
        m_failed = true;
        Failure failure = askStatus(library, command);
        failure.explanation = explain(verb, status, failure.detail, reportCode);
        object["get_status"] = failureJson(failure);
        text += failureLine("ProGetStatus", failure);
        m_lastFailure = failure;
    }

    void reportStatus(PluginLibrary& library, json& object, std::string& text)
    {
        if (m_lastFailure) {
            object["last_failure"] = m_lastFailure->command;
            object["get_status"] = failureJson(*m_lastFailure);
            text += failureLine(("last failure (" + m_lastFailure->command + ")").c_str(), *m_lastFailure);
        } else {
            Failure now = askStatus(library, "");
            now.explanation = detailText(now.detail);
            object["get_status"] = failureJson(now);
            text += failureLine("ProGetStatus", now);
        }
        m_output.emit(object, text);
    }

    // Why ProInit failed, in terms a technician can act on; also into `object`.
    std::string initProblem(const ProtocolConfig& protocol, std::uint32_t detail, json& object)
    {
        switch (detail) {
        case ostrel::kDetailNoChannelList:
            return "[PROTOCOLE" + std::to_string(protocol.number) + "] of " + m_config.path +
                   " has no ListeCanaux (the list of its channel numbers)";
        case ostrel::kDetailBadChannelEntry:
            return "a channel of ListeCanaux is outside 1 to 63, or its [CANALn] section has no "
                   "Caracteristiques (the PC/SC reader name)";
        case ostrel::kDetailNoIndex: return "a [CANALn] section of ListeCanaux has no Index, or Index=0";
        case ostrel::kDetailTableFull: return "more than ten channels in ListeCanaux";
        default: break;
        }
        const ReaderScan scan = scanReaders();
        if (!scan.reachable || (detail == ostrel::kDetailNotConnected && scan.result != 0)) {
            object["service"] = false;
            return "the PC/SC service is not reachable (" + pcscResultText(scan.result) +
                   "): " + kStartServiceHint;
        }
        object["service"] = true;
        json present = json::array();
        for (const ReaderInfo& reader : scan.readers) present.push_back(reader.name);
        object["readers_present"] = present;
        std::string readers;
        for (const ReaderInfo& reader : scan.readers) readers += "\n      \"" + reader.name + "\"";
        if (readers.empty()) readers = "\n      (none)";
        if (detail != ostrel::kDetailReaderNotFound)
            return detailText(detail) + "; readers present:" + readers;
        std::string missing;
        json unmatched = json::array();
        for (const unsigned n : protocol.channels) {
            const auto found = m_config.channels.find(n);
            if (found == m_config.channels.end()) continue;
            if (!matchingReaders(found->second.reader, scan.readers).empty()) continue;
            missing +=
                "\n    [CANAL" + std::to_string(n) + "] Caracteristiques=\"" + found->second.reader + "\"";
            unmatched.push_back({{"channel", n}, {"reader", found->second.reader}});
        }
        object["readers_not_found"] = unmatched;
        return "a configured reader is not among the PC/SC readers; configured:" + missing +
               "\n    readers present:" + readers;
    }

    void list()
    {
        json channels = json::array();
        std::string text = "> list\n";
        for (const Loaded& l : m_loaded)
            for (const unsigned n : l.protocol.channels) {
                const auto found = m_config.channels.find(n);
                if (found == m_config.channels.end()) continue;
                const ChannelConfig& c = found->second;
                channels.push_back({{"channel", n},
                                    {"index", c.index},
                                    {"type", c.type},
                                    {"protocol", l.protocol.number},
                                    {"library", l.protocol.library},
                                    {"reader", c.reader}});
                text += "  channel " + std::to_string(n) + ": Index " + std::to_string(c.index) +
                        ", TCanal " + std::to_string(c.type) + ", protocol " +
                        std::to_string(l.protocol.number) + " (" + l.protocol.library + "), reader \"" +
                        c.reader + "\"" + (&c == m_channel ? " (selected)" : "") + "\n";
            }
        m_output.emit(json{{"command", "list"}, {"channels", channels}}, text);
    }

    void identify(PluginLibrary& library)
    {
        unsigned char record[106] = {};
        const std::uint16_t status = library.identify(record);
        json object{{"event", "identify"}, {"status", status}, {"status_hex", hex16(status)}};
        std::string text = "ProIdentify: status " + hex16(status);
        if (status == 0) {
            const std::string name(reinterpret_cast<const char*>(record),
                                   strnlen(reinterpret_cast<const char*>(record), 100));
            const unsigned number = record[100] | record[101] << 8;
            const std::string version{static_cast<char>(record[102]), static_cast<char>(record[103]), '.',
                                      static_cast<char>(record[104]), static_cast<char>(record[105])};
            object["name"] = name;
            object["protocol"] = number;
            object["version"] = version;
            text += ", \"" + name + "\", protocol " + std::to_string(number) + ", version " + version;
        }
        text += "\n";
        if (status != 0) recordFailure(library, Verb::Identify, "identify", status, -1, object, text);
        m_output.emit(object, text);
    }

    void describeResponse(const Command& command, const Bytes& response, json& object, std::string& text)
    {
        object["response"] = toHex(response, false);
        const std::uint8_t cr = response[0];
        object["report_code"] = cr;
        object["report_code_hex"] = hex8(cr);
        object["report"] = reportText(cr);
        text += "  CR " + hex8(cr) + " (" + reportText(cr) + ")";
        if (cr != ostrel::kCrDone) m_refused = true;
        if (command.verb == Verb::SelfTest) {
            text += "\n";
            if (const auto decoded = decodeSelfTest(response)) {
                object["self_test"] = {{"version", decoded->version},
                                       {"bwt", decoded->bwt},
                                       {"w", decoded->w},
                                       {"clock_mhz", decoded->clockMHz}};
                text += "  self test: driver version " + decoded->version + ", BWT " +
                        std::to_string(decoded->bwt) + " (" + hex16(decoded->bwt) + "), W " +
                        std::to_string(decoded->w) + " (" + hex16(decoded->w) + "), clock " +
                        std::to_string(decoded->clockMHz) + " MHz\n";
            }
            return;
        }
        if (response.size() < 3) {
            text += "\n";
            return;
        }
        object["card_state"] = response[1];
        object["card"] = cardStateText(response[1]);
        object["counter"] = response[2];
        text += ", card state " + std::to_string(response[1]) + " (" + cardStateText(response[1]) +
                "), counter " + std::to_string(response[2]) + " (" + hex8(response[2]) + ")\n";
        // Done, but on an empty reader: no card to power or to talk to.
        if (cr == ostrel::kCrDone && response[1] == 0 &&
            (command.verb == Verb::PowerOn || command.verb == Verb::Apdu)) {
            m_refused = true;
            text += "  no card in the reader\n";
        }
        const Bytes data(response.begin() + 3, response.end());
        if (data.empty()) return;
        object["data"] = toHex(data, false);
        if (command.verb == Verb::PowerOn) {
            const ostrel::CardTypeRow& row =
                ostrel::findCardType(data.data(), static_cast<std::uint32_t>(data.size()));
            const std::string name(row.cardName, strnlen(row.cardName, sizeof row.cardName));
            const std::string issuer(row.issuer, strnlen(row.issuer, sizeof row.issuer));
            object["card_type"] = name;
            object["issuer"] = issuer;
            text += "  ATR " + toHex(data) + ": " + name + " (" + issuer + ")\n";
            const AtrDecoding decoded = decodeAtr(data);
            object["atr_decoded"] = atrJson(decoded);
            text += atrText(decoded);
            return;
        }
        text += "  data " + toHex(data) + "\n";
        if (command.verb == Verb::Apdu && data.size() >= 2) {
            const std::uint8_t sw1 = data[data.size() - 2];
            const std::uint8_t sw2 = data.back();
            const std::string meaning = statusWordText(sw1, sw2);
            object["sw"] = toHex(Bytes{sw1, sw2}, false);
            object["sw_meaning"] = meaning;
            text += "  SW " + toHex(Bytes{sw1, sw2}) + ": " + meaning + "\n";
        }
    }

    const HostConfig& m_config;
    std::vector<Loaded>& m_loaded;
    Output& m_output;
    const ChannelConfig* m_channel = nullptr;
    PluginLibrary* m_library = nullptr;
    bool m_failed = false;
    bool m_refused = false;
    std::optional<Failure> m_lastFailure;
};

int fail(Output& output, std::ostream& err, int code, const std::string& message)
{
    err << "tuvex-host: " << message << "\n";
    if (output.json()) output.emit(json{{"error", message}, {"exit_code", code}}, "");
    return code;
}

// Reads the script into `lines`; otherwise the system's reason why it cannot.
std::string readScript(const std::string& path, std::istream& in, std::vector<std::string>& lines)
{
    std::ifstream file;
    if (path != "-") {
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec))
            return "cannot read the script " + path + ": it is a folder";
        file.open(path);
        if (!file) return "cannot read the script " + path + ": " + std::strerror(errno);
    }
    std::istream& source = path == "-" ? in : file;
    for (std::string line; std::getline(source, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (source.bad()) return "cannot read the script " + path + ": " + std::strerror(errno);
    return {};
}

bool served(const HostConfig& config, const std::vector<const ProtocolConfig*>& protocols, unsigned section)
{
    if (config.channels.count(section) == 0) return false;
    for (const ProtocolConfig* p : protocols)
        for (const unsigned n : p->channels)
            if (n == section) return true;
    return false;
}

std::string unknownChannel(unsigned n)
{
    return "unknown channel " + std::to_string(n) + ": no loaded protocol lists it in ListeCanaux";
}

}  // namespace

int runHost(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    CLI::App app(
        "Loads the protocol libraries named in a tuvex.ini as the access manager does and runs "
        "reader commands on one of its channels.",
        "tuvex-host");
    Options options;
    app.add_option("config", options.config, "the tuvex.ini to read (not with --readers, --atr, --watch)")
        ->type_name("FILE");
    app.add_option("commands", options.commands, "commands to run, one per argument (see below)")
        ->type_name("COMMAND");
    app.add_option("--script", options.script,
                   "also run the commands of FILE, one a line ('-': standard input)")
        ->type_name("FILE");
    app.add_option("--channel", options.channel,
                   "channel to start on: n of [CANALn] (default: the first listed)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--protocol", options.protocol,
                   "load only the library of [PROTOCOLEn] (default: every one)")
        ->check(CLI::Range(0, 65535));
    app.add_option("--lib-dir", options.libDirs,
                   "look for the protocol libraries in DIR first (repeatable); then beside this program, "
                   "then the platform's library path")
        ->type_name("DIR")
        ->allow_extra_args(false);
    app.add_flag("--json", options.json, "print one JSON object a line instead of text");
    app.add_flag("--readers", options.readers,
                 "list the PC/SC readers, one a line, with the card's ATR and type; no configuration needed");
    app.add_option("--atr", options.atr, "decode this ATR offline and name its card type")->type_name("HEX");
    app.add_flag("--watch", options.watch,
                 "print reader and card events until interrupted (it carries on across a pcscd restart)");
    app.add_option("--count", options.count,
                   "with --watch: stop after N events (the starting state not counted)")
        ->type_name("N");
    app.add_option("--timeout", options.timeout, "with --watch: stop after S seconds")->type_name("S");
    app.set_version_flag("--version", toolkit::versionLine("tuvex-host"), "show the version and exit");
    app.footer(commandHelp() +
               "\nA session runs connect, then exclusive, before the card commands (presence, power-on,\n"
               "apdu, power-off, self-test, reset, frequency).\n"
               "\nExit codes: 0 every call succeeded; 1 a plug-in call answered a non-zero status (its\n"
               "ProGetStatus is printed), ProInit included: then nothing else runs; also --readers\n"
               "without the PC/SC service; 2 wrong usage, unknown command, malformed hex or number;\n"
               "3 configuration or script file missing, unreadable or invalid; 4 a protocol library\n"
               "cannot be loaded or lacks an export; 5 unknown channel; 6 a command was carried out\n"
               "but the reader or card said no (a report code other than 0x00, or power-on or apdu\n"
               "without a card).\n");
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        if (!reversed.empty()) reversed.pop_back();
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        err << "tuvex-host: " << error.what() << "\nRun with --help for usage.\n";
        return kExitUsage;
    }
    Output output(out, options.json);
    if (options.readers) return listReaders(output, err);
    if (!options.atr.empty()) return showAtr(output, err, options.atr);
    if (options.watch) return watch(output, options.count, options.timeout);
    if (options.config.empty()) {
        err << "tuvex-host: config is required (or --readers, --atr HEX, --watch)\nRun with --help for "
               "usage.\n";
        return kExitUsage;
    }

    // Every command, and every channel it names, is checked before anything is loaded.
    std::vector<Command> commands;
    const auto take = [&](const std::string& line, const std::string& where) -> int {
        std::string error;
        const auto command = parseCommand(line, error);
        if (!command) return fail(output, err, kExitUsage, where + error);
        if (command->verb != Verb::None) commands.push_back(*command);
        return kExitOk;
    };
    for (const std::string& line : options.commands)
        if (const int code = take(line, ""); code != kExitOk) return code;
    if (!options.script.empty()) {
        std::vector<std::string> lines;
        if (const std::string problem = readScript(options.script, in, lines); !problem.empty())
            return fail(output, err, kExitBadFile, problem);
        const std::string name = options.script == "-" ? "standard input" : options.script;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (const int code = take(lines[i], name + " line " + std::to_string(i + 1) + ": ");
                code != kExitOk)
                return code;
    }

    std::string error;
    const auto config = readConfig(options.config, error);
    if (!config) return fail(output, err, kExitBadFile, error);

    std::vector<const ProtocolConfig*> chosen;
    for (const ProtocolConfig& protocol : config->protocols)
        if (options.protocol < 0 || protocol.number == static_cast<unsigned>(options.protocol))
            chosen.push_back(&protocol);
    if (chosen.empty())
        return fail(
            output, err, kExitBadFile,
            config->path + ": no [PROTOCOLE" + std::to_string(options.protocol) + "] section with a NomLib");
    if (options.channel >= 0 && !served(*config, chosen, static_cast<unsigned>(options.channel)))
        return fail(output, err, kExitUnknownChannel, unknownChannel(static_cast<unsigned>(options.channel)));
    for (const Command& command : commands)
        if (command.verb == Verb::Channel && !served(*config, chosen, command.number))
            return fail(output, err, kExitUnknownChannel, unknownChannel(command.number));

    std::vector<std::string> directories = options.libDirs;
    std::error_code ignored;
    const auto program = std::filesystem::absolute(args.empty() ? "" : args[0], ignored);
    directories.push_back(program.parent_path().string());
    std::vector<Loaded> loaded;
    for (const ProtocolConfig* protocol : chosen) {
        auto library = loadPlugin(protocol->library, directories, error);
        if (!library) return fail(output, err, kExitBadLibrary, error);
        loaded.push_back(Loaded{*protocol, std::move(library)});
    }

    Session session(*config, loaded, output);
    if (options.channel >= 0)
        session.select(static_cast<unsigned>(options.channel));
    else
        for (const Loaded& l : loaded)
            if (!l.protocol.channels.empty() && session.select(l.protocol.channels.front())) break;

    // A plug-in whose ProInit failed knows no channel: every command would only fail
    // again with a vaguer reason. The ones that did start are ended.
    std::vector<Loaded*> started;
    for (Loaded& l : loaded) {
        if (!session.initialise(l)) {
            for (Loaded* s : started) session.terminate(*s);
            err << "tuvex-host: ProInit of " << l.protocol.library << " failed; nothing else was run\n";
            return kExitCallFailed;
        }
        started.push_back(&l);
    }
    int code = kExitOk;
    for (const Command& command : commands) {
        if (command.verb == Verb::Channel) {
            session.select(command.number);
            output.emit(json{{"command", command.name}, {"channel", command.number}},
                        "> " + command.text + "\n");
            continue;
        }
        if (command.verb != Verb::List && !session.hasChannel()) {
            code = fail(output, err, kExitUnknownChannel, "no channel: the loaded protocols list none");
            break;
        }
        session.run(command);
    }
    for (Loaded& l : loaded) session.terminate(l);
    if (code == kExitOk && session.failed()) code = kExitCallFailed;
    if (code == kExitOk && session.refused()) code = kExitCardRefused;
    return code;
}

}  // namespace tuvex_host
