// tuvex-host as a whole, in-process: what it says and which exit code it gives for
// missing or invalid files, libraries that cannot be loaded, unknown channels and
// malformed commands, and how it reports a failed plug-in call. The runs against
// virtual readers are in tests/integration.

#include "Host.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
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
        {"unknown channel in the script, library never loaded",
         "[PROTOCOLE1]\r\nNomLib=NOPE.DLL\r\nListeCanaux=1\r\n[CANAL1]\r\nIndex=1\r\n",
         {"--script", "-", "INI"},
         kExitUnknownChannel,
         "unknown channel 9"},
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
        {"script is a folder", kGoodIni, {"--script", "/tmp", "INI"}, kExitBadFile, "/tmp: it is a folder"},
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
        const HostRun run = host(args, c.code == kExitUnknownChannel ? "presence # fine\nchannel 9\n"
                                                                     : "presence\n# fine\nraw 0G\n");
        EXPECT_EQ(run.code, c.code) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        // Nothing is loaded, nothing runs, before the input is known to be good.
        if (c.code == kExitUsage) {
            EXPECT_EQ(run.out, "");
        }
    }
}

// Without a PC/SC service or without these readers ProInit fails: the host says
// why and runs nothing else. The reasons themselves are checked on the real stack.
TEST(TuvexHost, AFailedProInitStopsTheSessionWithItsStatusAndDetail)
{
    TempDir dir;
    const std::string ini = dir.write("tuvex.ini", kGoodIni);
    const HostRun run = host({"--lib-dir", OSTREL_DIR, ini, "channel 2", "presence", "identify"});
    EXPECT_EQ(run.code, kExitCallFailed);
    EXPECT_NE(run.out.find("library OSTREL.DLL (" OSTREL_DIR "/libostrel.so)\nProInit(1, " + ini +
                           "): status 0x800"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  ProGetStatus: status 0x800"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("> "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("ProTermin"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("ProInit of OSTREL.DLL failed; nothing else was run"), std::string::npos)
        << run.err;
}

TEST(TuvexHost, JsonModePrintsOneParsableObjectPerLineErrorsIncluded)
{
    TempDir dir;
    const std::string ini = dir.write("tuvex.ini", kGoodIni);
    HostRun run =
        host({"--json", "--lib-dir", OSTREL_DIR, ini, "--script", "-"}, "list\npresence\nchannel 5\n");
    EXPECT_EQ(run.code, kExitUnknownChannel);
    EXPECT_EQ(nlohmann::json::parse(run.out),
              (nlohmann::json{{"error", "unknown channel 5: no loaded protocol lists it in ListeCanaux"},
                              {"exit_code", kExitUnknownChannel}}));

    run = host({"--json", "--lib-dir", OSTREL_DIR, ini, "presence"});
    EXPECT_EQ(run.code, kExitCallFailed);
    const nlohmann::json init = nlohmann::json::parse(run.out);
    EXPECT_EQ(init["event"], "init");
    EXPECT_EQ(init["protocol"], 1);
    const std::uint16_t status = init["status"];
    EXPECT_GE(status, 0x8000) << run.out;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", status);
    EXPECT_EQ(init["status_hex"], hex);
    EXPECT_EQ(init["get_status"]["status"], status);
    EXPECT_EQ(init["get_status"]["text"], "Erreur PCSC");
    EXPECT_TRUE(init["get_status"]["detail"].is_number());
    EXPECT_TRUE(init["get_status"]["detail_hex"].is_string());
    EXPECT_TRUE(init["get_status"]["explanation"].is_string());
}

TEST(TuvexHost, HelpListsTheCommandsAndTheExitCodes)
{
    const HostRun run = host({"--help"});
    EXPECT_EQ(run.code, kExitOk);
    for (const char* word : {"apdu HEX",
                             "channel N",
                             "connect",
                             "disconnect",
                             "exclusive [INDEX]",
                             "release [INDEX]",
                             "presence",
                             "power-on",
                             "power-off [MODE]",
                             "self-test",
                             "reset",
                             "frequency CODE",
                             "list",
                             "status",
                             "--script",
                             "--json",
                             "Exit codes: 0",
                             "5 unknown channel",
                             "6 a command was carried out",
                             "connect, then exclusive",
                             "--readers",
                             "--atr HEX",
                             "--watch",
                             "--count",
                             "--timeout"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
}

}  // namespace
