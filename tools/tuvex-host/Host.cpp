#include "Host.h"

#include "CardTypeTable.h"
#include "Commands.h"
#include "HostConfig.h"
#include "PluginLibrary.h"
#include "common/ProgramInfo.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

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
};

struct Loaded {
    ProtocolConfig protocol;
    std::unique_ptr<PluginLibrary> library;
};

class Session {
public:
    Session(const HostConfig& config, std::vector<Loaded>& loaded, Output& output)
        : m_config(config), m_loaded(loaded), m_output(output)
    {}

    bool failed() const { return m_failed; }

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

    void initialise(Loaded& l)
    {
        const std::uint16_t status =
            l.library->init(static_cast<std::uint16_t>(l.protocol.number), m_config.path.c_str(), 0);
        json object{{"event", "init"},
                    {"library", l.protocol.library},
                    {"file", l.library->file},
                    {"protocol", l.protocol.number},
                    {"status", status}};
        std::string text = "library " + l.protocol.library + " (" + l.library->file + ")\n" + "ProInit(" +
                           std::to_string(l.protocol.number) + ", " + m_config.path + "): status " +
                           hex16(status) + "\n";
        afterCall(*l.library, status, object, text);
        m_output.emit(object, text);
        identify(*l.library);
    }

    void terminate(Loaded& l)
    {
        const std::uint16_t status = l.library->termin();
        json object{{"event", "termin"}, {"library", l.protocol.library}, {"status", status}};
        std::string text = "ProTermin: status " + hex16(status) + "\n";
        afterCall(*l.library, status, object, text);
        m_output.emit(object, text);
    }

    void run(const Command& command)
    {
        if (command.verb == Verb::List) return list();
        PluginLibrary& library = *m_library;
        const std::uint8_t type = static_cast<std::uint8_t>(m_channel->type);
        const std::uint8_t channel = static_cast<std::uint8_t>(m_channel->index);
        json object{{"command", command.text}, {"channel", m_channel->section}, {"index", m_channel->index}};
        std::string text = "> " + command.text + "\n";
        if (command.verb == Verb::Identify) {
            m_output.emit(object, text);
            return identify(library);
        }
        if (command.verb == Verb::Status) {
            m_output.emit(object, text);
            return reportStatus(library, nullptr, nullptr);
        }
        std::uint16_t status = 0;
        Bytes response;
        switch (command.verb) {
        case Verb::Connect: status = library.connect(type, channel, ""); break;
        case Verb::Disconnect: status = library.disconnect(type, channel); break;
        case Verb::Exclusive:
            status = library.setExclusivity(type, channel, static_cast<std::uint8_t>(command.number));
            break;
        case Verb::Release:
            status = library.releaseExclusivity(type, channel, static_cast<std::uint8_t>(command.number));
            break;
        default: {
            const Bytes request = requestOf(command);
            object["request"] = toHex(request, false);
            response.assign(kResponseCapacity, 0);
            std::uint32_t length = kResponseCapacity;
            status = library.exchange(type, channel, 0, 0, request.data(),
                                      static_cast<std::uint32_t>(request.size()), response.data(), &length);
            response.resize(status == 0 ? std::min(length, kResponseCapacity) : 0);
            break;
        }
        }
        object["status"] = status;
        text += "  status " + hex16(status) + "\n";
        if (status == 0 && isExchange(command.verb)) describeResponse(command, response, object, text);
        afterCall(library, status, object, text);
        m_output.emit(object, text);
    }

private:
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
        json object{{"event", "identify"}, {"status", status}};
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
        afterCall(library, status, object, text);
        m_output.emit(object, text);
    }

    // After a failed call: the plug-in's own account of it, and what it means.
    void afterCall(PluginLibrary& library, std::uint16_t status, json& object, std::string& text)
    {
        if (status == 0) return;
        m_failed = true;
        reportStatus(library, &object, &text);
    }

    void reportStatus(PluginLibrary& library, json* into, std::string* textInto)
    {
        std::uint16_t status = 0;
        std::uint32_t detail = 0;
        char buffer[64] = {};
        const std::uint16_t result = library.getStatus(&status, &detail, buffer);
        json object{{"status", status},
                    {"detail", detail},
                    {"text", std::string(buffer, strnlen(buffer, sizeof buffer - 1))},
                    {"explanation", detailText(detail)},
                    {"result", result}};
        const std::string text = "  ProGetStatus: status " + hex16(status) + ", detail " +
                                 std::to_string(detail) + " (" + hex16(detail) + "), \"" +
                                 object["text"].get<std::string>() + "\": " + detailText(detail) + "\n";
        if (into != nullptr) {
            (*into)["get_status"] = object;
            *textInto += text;
        } else {
            m_output.emit(json{{"event", "get_status"}, {"get_status", object}}, text);
        }
    }

    void describeResponse(const Command& command, const Bytes& response, json& object, std::string& text)
    {
        object["response"] = toHex(response, false);
        if (response.empty()) {
            text += "  no response\n";
            return;
        }
        const std::uint8_t cr = response[0];
        object["report_code"] = cr;
        object["report"] = reportText(cr);
        text += "  CR " + hex8(cr) + " (" + reportText(cr) + ")";
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
        } else {
            text += "  data " + toHex(data) + "\n";
        }
    }

    const HostConfig& m_config;
    std::vector<Loaded>& m_loaded;
    Output& m_output;
    const ChannelConfig* m_channel = nullptr;
    PluginLibrary* m_library = nullptr;
    bool m_failed = false;
};

int fail(Output& output, std::ostream& err, int code, const std::string& message)
{
    err << "tuvex-host: " << message << "\n";
    if (output.json()) output.emit(json{{"error", message}, {"exit_code", code}}, "");
    return code;
}

}  // namespace

int runHost(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    CLI::App app(
        "Loads the protocol libraries named in a tuvex.ini as the access manager does and runs "
        "reader commands on one of its channels.",
        "tuvex-host");
    Options options;
    app.add_option("config", options.config, "the tuvex.ini to read")->required()->type_name("FILE");
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
    app.set_version_flag("--version", toolkit::versionLine("tuvex-host"), "show the version and exit");
    app.footer(commandHelp() +
               "\nExit codes: 0 every call succeeded; 1 a plug-in call answered a non-zero status (its\n"
               "ProGetStatus is printed); 2 wrong usage, unknown command, malformed hex or number;\n"
               "3 configuration or script file missing, unreadable or invalid; 4 a protocol library\n"
               "cannot be loaded or lacks an export; 5 unknown channel.\n");
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

    // Every command is checked before anything is loaded.
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
        std::ifstream file;
        if (options.script != "-") {
            file.open(options.script);
            if (!file) return fail(output, err, kExitBadFile, "cannot read the script " + options.script);
        }
        std::istream& source = options.script == "-" ? in : file;
        std::string line;
        for (unsigned number = 1; std::getline(source, line); ++number) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::string where = (options.script == "-" ? "standard input" : options.script) + " line " +
                                      std::to_string(number) + ": ";
            if (const int code = take(line, where); code != kExitOk) return code;
        }
    }

    std::string error;
    const auto config = readConfig(options.config, error);
    if (!config) return fail(output, err, kExitBadFile, error);

    std::vector<std::string> directories = options.libDirs;
    std::error_code ignored;
    const auto program = std::filesystem::absolute(args.empty() ? "" : args[0], ignored);
    directories.push_back(program.parent_path().string());
    std::vector<Loaded> loaded;
    for (const ProtocolConfig& protocol : config->protocols) {
        if (options.protocol >= 0 && protocol.number != static_cast<unsigned>(options.protocol)) continue;
        auto library = loadPlugin(protocol.library, directories, error);
        if (!library) return fail(output, err, kExitBadLibrary, error);
        loaded.push_back(Loaded{protocol, std::move(library)});
    }
    if (loaded.empty())
        return fail(
            output, err, kExitBadFile,
            config->path + ": no [PROTOCOLE" + std::to_string(options.protocol) + "] section with a NomLib");

    Session session(*config, loaded, output);
    if (options.channel >= 0 && !session.select(static_cast<unsigned>(options.channel)))
        return fail(output, err, kExitUnknownChannel,
                    "unknown channel " + std::to_string(options.channel) +
                        ": no loaded protocol lists it in ListeCanaux");
    if (options.channel < 0)
        for (const Loaded& l : loaded)
            if (!l.protocol.channels.empty() && session.select(l.protocol.channels.front())) break;

    int code = kExitOk;
    for (Loaded& l : loaded) session.initialise(l);
    for (const Command& command : commands) {
        if (command.verb == Verb::Channel) {
            if (!session.select(command.number)) {
                code = fail(output, err, kExitUnknownChannel,
                            "unknown channel " + std::to_string(command.number) +
                                ": no loaded protocol lists it in ListeCanaux");
                break;
            }
            output.emit(json{{"command", command.text}, {"channel", command.number}},
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
    return code;
}

}  // namespace tuvex_host
