// tuvex-host as a whole, in-process: what it says and which exit code it gives for
// missing or invalid files, libraries that cannot be loaded, unknown channels and
// malformed commands, and how it reports a failed plug-in call. The runs against
// virtual readers are in tests/integration.

#include "Host.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace {

using namespace tuvex_host;

constexpr char kGoodIni[] =
    "[PROTOCOLE1]\r\nConfig=0\r\nNomLib=OSTREL.DLL\r\nListeCanaux=1, 2\r\n\r\n"
    "[CANAL1]\r\nTCanal=3\r\nIndex=1\r\nCaracteristiques=Lecteur A\r\n\r\n"
    "[CANAL2]\r\nTCanal=3\r\nIndex=2\r\nCaracteristiques=Lecteur B\r\n";

struct HostRun {
    int code = -1;
    std::string out;
    std::string err;
};

HostRun host(std::vector<std::string> args, const std::string& input = "")
{
    args.insert(args.begin(), "tuvex-host");
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    HostRun run;
    run.code = runHost(args, in, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

struct ErrorCase {
    const char* name;
    const char* ini;                // null: no file
    std::vector<std::string> args;  // "INI" stands for the file's path
    int code;
    const char* message;
};

TEST(TuvexHost, RefusesBadInputWithAMessageAndItsExitCode)
{
    const std::vector<ErrorCase> cases = {
        {"no arguments", nullptr, {}, kExitUsage, "config is required"},
        {"unknown option", kGoodIni, {"--shout", "INI"}, kExitUsage, "--shout"},
        {"missing file", nullptr, {"INI"}, kExitBadFile, "cannot read the configuration file"},
        {"no protocol",
         "[CONFIG]\r\nNbCanaux=1\r\n",
         {"INI"},
         kExitBadFile,
         "no [PROTOCOLEn] section with a NomLib"},
        {"no NomLib",
         "[PROTOCOLE1]\r\nListeCanaux=1\r\n",
         {"INI"},
         kExitBadFile,
         "[PROTOCOLE1] has no NomLib"},
        {"bad list",
         "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\nListeCanaux=1, x\r\n",
         {"INI"},
         kExitBadFile,
         "ListeCanaux \"1, x\" is not a list of channel numbers"},
        {"protocol not in file",
         kGoodIni,
         {"--protocol", "3", "INI"},
         kExitBadFile,
         "no [PROTOCOLE3] section"},
        {"library missing",
         "[PROTOCOLE1]\r\nNomLib=NOPE.DLL\r\n",
         {"INI"},
         kExitBadLibrary,
         "cannot load the protocol library NOPE.DLL"},
        {"library without exports",
         "[PROTOCOLE1]\r\nNomLib=PARTIAL.DLL\r\n",
         {"--lib-dir", PARTIAL_DIR, "INI"},
         kExitBadLibrary,
         "lacks the export ProConnect"},
        {"unknown channel option",
         kGoodIni,
         {"--channel", "9", "INI"},
         kExitUnknownChannel,
         "unknown channel 9"},
        {"unknown channel command", kGoodIni, {"INI", "channel 3"}, kExitUnknownChannel, "unknown channel 3"},
        {"malformed hex",
         kGoodIni,
         {"INI", "apdu 00 B0 0"},
         kExitUsage,
         "apdu: malformed hex string \"00 B0 0\""},
        {"unknown command", kGoodIni, {"INI", "eject"}, kExitUsage, "unknown command \"eject\""},
        {"script missing",
         kGoodIni,
         {"--script", "/nonexistent/script", "INI"},
         kExitBadFile,
         "cannot read the script /nonexistent/script"},
        {"script bad line",
         kGoodIni,
         {"--script", "-", "INI"},
         kExitUsage,
         "standard input line 3: raw: malformed hex"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string ini = c.ini != nullptr ? dir.write("tuvex.ini", c.ini) : dir.file("tuvex.ini");
        std::vector<std::string> args;
        bool hasLibDir = false;
        for (const auto& a : c.args) {
            args.push_back(a == "INI" ? ini : a);
            hasLibDir = hasLibDir || a == "--lib-dir";
        }
        if (!hasLibDir && !args.empty() && args[0] != "--shout") {
            args.insert(args.begin(), OSTREL_DIR);
            args.insert(args.begin(), "--lib-dir");
        }
        const HostRun run = host(args, "presence\n# fine\nraw 0G\n");
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        // Nothing is loaded, nothing runs, before the input is known to be good.
        if (c.code == kExitUsage) {
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(TuvexHost, AFailedCallIsFollowedByTheStatusDetailAndAnExplanation)
{
    TempDir dir;
    const std::string ini = dir.write("tuvex.ini", kGoodIni);
    const HostRun run = host({"--lib-dir", OSTREL_DIR, ini, "channel 2", "presence", "identify"});
    EXPECT_EQ(run.code, kExitCallFailed);
    EXPECT_NE(
        run.out.find("library OSTREL.DLL (" OSTREL_DIR "/libostrel.so)\nProInit(1, " + ini + "): status 0x"),
        std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(
                  "> channel 2\n> presence\n  status 0x0008\n"
                  "  ProGetStatus: status 0x0008, detail 2 (0x0002), \"Erreur PCSC\": channel not connected"),
              std::string::npos)
        << run.out;
    EXPECT_NE(
        run.out.find(
            "> identify\nProIdentify: status 0x0000, \"Protocole PCSC-TUVEX\", protocol 1, version 01.09\n"),
        std::string::npos)
        << run.out;
}

TEST(TuvexHost, JsonModePrintsOneParsableObjectPerLineErrorsIncluded)
{
    TempDir dir;
    const std::string ini = dir.write("tuvex.ini", kGoodIni);
    const HostRun run =
        host({"--json", "--lib-dir", OSTREL_DIR, ini, "--script", "-"}, "list\npresence\nchannel 5\n");
    EXPECT_EQ(run.code, kExitUnknownChannel);
    std::vector<nlohmann::json> lines;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(lines.size(), 6u) << run.out;
    EXPECT_EQ(lines[0]["event"], "init");
    EXPECT_EQ(lines[0]["protocol"], 1);
    EXPECT_EQ(lines[1]["event"], "identify");
    EXPECT_EQ(lines[1]["name"], "Protocole PCSC-TUVEX");
    EXPECT_EQ(lines[1]["version"], "01.09");
    EXPECT_EQ(lines[2]["channels"].size(), 2u);
    EXPECT_EQ(lines[2]["channels"][1]["reader"], "Lecteur B");
    EXPECT_EQ(lines[3]["command"], "presence");
    EXPECT_EQ(lines[3]["request"], "00001600");
    EXPECT_EQ(lines[3]["status"], 8);
    EXPECT_EQ(lines[3]["get_status"]["detail"], 2);
    EXPECT_EQ(lines[3]["get_status"]["text"], "Erreur PCSC");
    EXPECT_EQ(lines[4]["error"], "unknown channel 5: no loaded protocol lists it in ListeCanaux");
    EXPECT_EQ(lines[4]["exit_code"], kExitUnknownChannel);
    EXPECT_EQ(lines[5]["event"], "termin");
}

TEST(TuvexHost, JsonModeKeepsAWindows1252ReaderNameReadable)
{
    TempDir dir;
    const std::string ini = dir.write("tuvex.ini",
                                      "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\nListeCanaux=1\r\n"
                                      "[CANAL1]\r\nIndex=1\r\nCaracteristiques=Lecteur \xE9tage 1\r\n");
    const HostRun json = host({"--json", "--lib-dir", OSTREL_DIR, ini, "list"});
    std::istringstream out(json.out);
    std::vector<nlohmann::json> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(lines.size(), 4u) << json.out << json.err;
    // The byte that is no UTF-8 becomes the replacement character; the rest stays.
    EXPECT_EQ(lines[2]["channels"][0]["reader"], "Lecteur \xEF\xBF\xBDtage 1");
    const HostRun text = host({"--lib-dir", OSTREL_DIR, ini, "list"});
    EXPECT_NE(text.out.find("reader \"Lecteur \xE9tage 1\" (selected)"), std::string::npos) << text.out;
}

TEST(TuvexHost, HelpListsTheCommandsAndTheExitCodes)
{
    const HostRun run = host({"--help"});
    EXPECT_EQ(run.code, kExitOk);
    for (const char* word :
         {"apdu HEX", "channel N", "connect", "disconnect", "exclusive [INDEX]", "release [INDEX]",
          "presence", "power-on", "power-off [MODE]", "self-test", "reset", "frequency CODE", "list",
          "status", "--script", "--json", "Exit codes: 0", "5 unknown channel"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

}  // namespace
