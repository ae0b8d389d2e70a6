// tuvex-host against the virtual readers: calveno-batch writes the tuvex.ini of two
// PC/SC readers by their names, then tuvex-host loads the built plug-in from it and
// runs a script on both channels, checked line by line, and again with --json.

#include "PcscdTest.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using integration::PcscdTest;

std::string quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

const char kScript[] =
    "# both readers, one after the other\n"
    "list\n"
    "connect\n"
    "exclusive\n"
    "power-on\n"
    "apdu 00 B0 00 00 02\n"
    "channel 2\n"
    "connect\n"
    "exclusive 7\n"
    "presence\n"
    "power-on\n"
    "self-test\n"
    "frequency 4\n"
    "reset\n"
    "power-off 0\n"
    "release 7\n"
    "disconnect\n"
    "presence   # the channel is no longer connected\n"
    "status\n";

class TuvexHostOnVirtualReaders : public PcscdTest {
protected:
    void SetUp() override
    {
        PcscdTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        dir = pcscd->directory();
        ASSERT_EQ(run(std::string(CALVENO_BATCH) + " --topology deux-ports --protocol pcsc --r1-name " +
                      quote(pcscd->readerName(0)) + " --r2-name " + quote(pcscd->readerName(1)) +
                      " --windows-dir " + dir + " --program-dir " + dir + " --yes"),
                  0)
            << readFile(dir + "/err");
        ini = dir + "/tuvex.ini";
        ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
        ASSERT_TRUE(pcscd->control(0).ok("script 00B0000002 12349000"));
        ASSERT_TRUE(pcscd->insertCard(1, integration::kCps2TestAtr));
        std::ofstream(dir + "/script.txt") << kScript;
    }

    // Runs a shell command line in the test's folder; its exit code.
    int run(const std::string& command)
    {
        const int status = std::system(("cd " + dir + " && " + command + " >out 2>err").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int host(const std::string& options)
    {
        return run(std::string(TUVEX_HOST) + " --lib-dir " + OSTREL_DIR + " " + options +
                   " --script script.txt " + ini);
    }

    std::string dir;
    std::string ini;
};

TEST_F(TuvexHostOnVirtualReaders, ScriptModeDrivesBothReadersThroughThePlugin)
{
    // The last presence comes after the disconnection: a failed call, exit code 1.
    ASSERT_EQ(host(""), 1) << readFile(dir + "/out") << readFile(dir + "/err");
    const std::string a = pcscd->readerName(0);
    const std::string b = pcscd->readerName(1);
    const std::vector<std::string> expected = {
        "library OSTREL.DLL (" OSTREL_DIR "/libostrel.so)",
        "ProInit(1, " + ini + "): status 0x0000",
        "ProIdentify: status 0x0000, \"Protocole PCSC-TUVEX\", protocol 1, version 01.09",
        "> list",
        "  channel 1: Index 1, TCanal 3, protocol 1 (OSTREL.DLL), reader \"" + a + "\" (selected)",
        "  channel 2: Index 2, TCanal 3, protocol 1 (OSTREL.DLL), reader \"" + b + "\"",
        "> connect",
        "  status 0x0000",
        "> exclusive",
        "  status 0x0000",
        "> power-on",
        "  status 0x0000",
        "  CR 0x00 (done), card state 3 (powered), counter 3 (0x03)",
        "  ATR 3F 65 25 00 2C 09 69 90 00: Carte Ambrel 1 (KOR-AMB)",
        "  TS   3F  inverse convention",
        "  T0   65  5 historical bytes",
        "  TB1  25  programming voltage (deprecated)",
        "  TC1  00  extra guard time N=0",
        "  protocols: T=0",
        "  historical bytes: 2C 09 69 90 00",
        "  TCK: absent (T=0 only)",
        "  card type: Carte Ambrel 1 (KOR-AMB)",
        "> apdu 00 B0 00 00 02",
        "  status 0x0000",
        "  CR 0x00 (done), card state 3 (powered), counter 3 (0x03)",
        "  data 12 34 90 00",
        "  SW 90 00: normal processing",
        "> channel 2",
        "> connect",
        "  status 0x0000",
        "> exclusive 7",
        "  status 0x0000",
        "> presence",
        "  status 0x0000",
        "  CR 0x00 (done), card state 1 (present, not powered), counter 3 (0x03)",
        "> power-on",
        "  status 0x0000",
        "  CR 0x00 (done), card state 3 (powered), counter 4 (0x04)",
        "  ATR 3B AC 00 40 2A 00 12 25 00 64 80 81 02 10 00 90 00: Carte CPS 2 Test (GIP-CPS)",
        "  TS   3B  direct convention",
        "  T0   AC  12 historical bytes",
        "  TB1  00  no programming voltage",
        "  TD1  40  protocol T=0",
        "  TC2  2A  work waiting integer WI=42 (T=0)",
        "  protocols: T=0",
        "  historical bytes: 00 12 25 00 64 80 81 02 10 00 90 00",
        "  TCK: absent (T=0 only)",
        "  card type: Carte CPS 2 Test (GIP-CPS)",
        "> self-test",
        "  status 0x0000",
        "  CR 0x00 (done)",
        "  self test: driver version 01.02, BWT 8000 (0x1F40), W 10 (0x000A), clock 5 MHz",
        "> frequency 4",
        "  status 0x0000",
        "  CR 0x14 (card already powered), card state 3 (powered), counter 4 (0x04)",
        "> reset",
        "  status 0x0000",
        "  CR 0x00 (done)",
        "> power-off 0",
        "  status 0x0000",
        "  CR 0x12 (card still present and not powered), card state 1 (present, not powered), counter 5 "
        "(0x05)",
        "> release 7",
        "  status 0x0000",
        "> disconnect",
        "  status 0x0000",
        "> presence",
        "  status 0x0008",
        "  ProGetStatus: status 0x0008, detail 2 (0x0002), \"Erreur PCSC\": the channel is not connected: "
        "run "
        "connect first",
        "> status",
        "  last failure (presence): status 0x0008, detail 2 (0x0002), \"Erreur PCSC\": the channel is not "
        "connected: run connect first",
        "ProTermin: status 0x0000",
    };
    EXPECT_EQ(lines(readFile(dir + "/out")), expected);
}

TEST_F(TuvexHostOnVirtualReaders, JsonLinesParseBackToTheSameAnswers)
{
    ASSERT_EQ(host("--json"), 1) << readFile(dir + "/err");
    std::vector<nlohmann::json> objects;
    for (const std::string& line : lines(readFile(dir + "/out")))
        objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(objects.size(), 21u) << readFile(dir + "/out");
    EXPECT_EQ(objects[0]["event"], "init");
    EXPECT_EQ(objects[0]["status"], 0);
    EXPECT_EQ(objects[2]["channels"][1]["reader"], pcscd->readerName(1));
    const auto& powerOn = objects[5];
    EXPECT_EQ(powerOn["command"], "power-on");
    EXPECT_EQ(powerOn["data"], integration::kAmbrelAtr);
    EXPECT_EQ(powerOn["card_type"], "Carte Ambrel 1");
    EXPECT_EQ(powerOn["issuer"], "KOR-AMB");
    EXPECT_EQ(powerOn["card_state"], 3);
    EXPECT_EQ(objects[6]["request"], "0000000000B0000002");
    EXPECT_EQ(objects[6]["command"], "apdu");
    EXPECT_EQ(objects[6]["apdu"], "00B0000002");
    EXPECT_EQ(objects[6]["data"], "12349000");
    EXPECT_EQ(objects[6]["sw"], "9000");
    EXPECT_EQ(objects[6]["sw_meaning"], "normal processing");
    EXPECT_EQ(objects[9]["exclusivity_index"], 7);
    EXPECT_EQ(objects[11]["card_type"], "Carte CPS 2 Test");
    EXPECT_EQ(objects[12]["self_test"]["bwt"], 0x1F40);
    EXPECT_EQ(objects[12]["self_test"]["clock_mhz"], 5);
    EXPECT_EQ(objects[13]["report_code"], 0x14);
    EXPECT_EQ(objects[15]["request"], "00001500");
    EXPECT_EQ(objects[15]["report"], "card still present and not powered");
    EXPECT_EQ(objects[15]["mode"], 0);
    EXPECT_EQ(objects[18]["status"], 8);
    EXPECT_EQ(objects[18]["status_hex"], "0x0008");
    EXPECT_EQ(objects[18]["get_status"]["detail"], 2);
    EXPECT_EQ(objects[18]["get_status"]["explanation"], "the channel is not connected: run connect first");
    // status answers from memory, in one object: ProGetStatus now would say 0.
    EXPECT_EQ(objects[19]["command"], "status");
    EXPECT_EQ(objects[19]["last_failure"], "presence");
    EXPECT_EQ(objects[19]["get_status"]["status"], 8);
    EXPECT_EQ(objects[20]["event"], "termin");
}

}  // namespace

namespace {

struct ExitCase {
    const char* name;
    const char* commands;  // one argument each, separated by '|'
    bool emptyReader;      // take reader A's card out first
    int code;
    const char* shown;
};

// Each exit code that depends on the reader or card, on the real stack.
TEST_F(TuvexHostOnVirtualReaders, ExitCodesSeparateCardTroubleFromFailedCalls)
{
    const ExitCase cases[] = {
        {"instruction the card does not know: its answer, not a refusal",
         "connect|exclusive|power-on|apdu 00 C0 00 00 00", false, 0,
         "  SW 6D 00: checking error: instruction not supported"},
        {"power-on on an empty reader", "connect|exclusive|power-on", true, 6, "  no card in the reader"},
        {"apdu on an empty reader", "connect|exclusive|apdu 00 B0 00 00 02", true, 6,
         "CR 0x17 (card absent)"},
        {"refused frequency code", "connect|exclusive|frequency 9", false, 6,
         "CR 0x15 (invalid frequency code)"},
        {"card command before exclusive", "connect|presence", false, 1,
         "no card handle: run connect, then exclusive, before card commands"},
        {"exclusive before connect", "exclusive", false, 1,
         "the channel is not connected: run connect first"},
        {"forbidden request", "connect|exclusive|raw 80 00 16 00", false, 1,
         "  CR 0x03 (forbidden command)\n  ProGetStatus: status 0x4000, detail 1 (0x0001), \"Erreur PCSC\": "
         "forbidden request: byte 0 of a request must be 00"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.emptyReader) {
            ASSERT_TRUE(pcscd->removeCard(0));
        }
        std::string arguments;
        std::istringstream split(c.commands);
        for (std::string command; std::getline(split, command, '|');) arguments += " " + quote(command);
        EXPECT_EQ(run(std::string(TUVEX_HOST) + " --lib-dir " + OSTREL_DIR + " " + ini + arguments), c.code)
            << readFile(dir + "/out") << readFile(dir + "/err");
        EXPECT_NE(readFile(dir + "/out").find(c.shown), std::string::npos) << readFile(dir + "/out");
        if (c.emptyReader) {
            ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
        }
    }
}

// A reader name with a typo: ProInit fails, the host names the configured text and the
// readers present, and runs nothing else. A name that is no UTF-8 stays readable in JSON.
TEST_F(TuvexHostOnVirtualReaders, AMissingReaderIsNamedBesideTheReadersPresent)
{
    const std::string typo = dir + "/typo.ini";
    std::ofstream(typo, std::ios::binary)
        << "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\nListeCanaux=1, 2\r\n"
        << "[CANAL1]\r\nIndex=1\r\nCaracteristiques=" << pcscd->readerName(0)
        << "\r\n[CANAL2]\r\nIndex=2\r\nCaracteristiques=Virtual Reader \xE9 00 00\r\n";
    const std::string host = std::string(TUVEX_HOST) + " --lib-dir " + OSTREL_DIR + " " + typo;
    ASSERT_EQ(run(host + " presence"), 1) << readFile(dir + "/err");
    const std::string out = readFile(dir + "/out");
    EXPECT_NE(out.find("ProInit(1, " + typo +
                       "): status 0x800C\n  ProGetStatus: status 0x800C, detail 18 (0x0012), "
                       "\"Erreur PCSC\": a configured reader is not among the PC/SC readers; configured:\n"
                       "    [CANAL2] Caracteristiques=\"Virtual Reader \xE9 00 00\"\n"
                       "    readers present:\n      \"" +
                       pcscd->readerName(0) + "\"\n      \"" + pcscd->readerName(1) + "\"\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("> presence"), std::string::npos) << out;

    ASSERT_EQ(run(host + " --json presence"), 1);
    const auto init = nlohmann::json::parse(readFile(dir + "/out"));
    EXPECT_EQ(init["get_status"]["detail"], 18);
    EXPECT_EQ(init["readers_present"], (nlohmann::json{pcscd->readerName(0), pcscd->readerName(1)}));
    EXPECT_EQ(init["readers_not_found"],
              (nlohmann::json::array({{{"channel", 2}, {"reader", "Virtual Reader \xEF\xBF\xBD 00 00"}}})));
}

TEST_F(TuvexHostOnVirtualReaders, WithoutTheServiceProInitSaysPcscdMustRun)
{
    pcscd->stop();
    ASSERT_EQ(host("--json"), 1) << readFile(dir + "/err");
    const auto init = nlohmann::json::parse(readFile(dir + "/out"));
    EXPECT_EQ(init["status"], 0x800A);
    EXPECT_EQ(init["service"], false);
    const std::string explanation = init["get_status"]["explanation"];
    EXPECT_NE(explanation.find("the PC/SC service is not reachable"), std::string::npos) << explanation;
    EXPECT_NE(explanation.find("systemctl start pcscd"), std::string::npos) << explanation;
}

}  // namespace

namespace {

// calveno-batch asks the same service: a misspelt reader is refused with the readers
// present, nothing written; --list-readers gives the names it takes.
TEST_F(TuvexHostOnVirtualReaders, CalvenoBatchRefusesAMisspeltReaderAndListsThem)
{
    const std::string batch = std::string(CALVENO_BATCH) + " --windows-dir " + dir + "/typo --program-dir " +
                              dir + "/typo --protocol pcsc --r1-name ";
    ASSERT_EQ(run("mkdir typo"), 0);
    EXPECT_EQ(run(batch + quote("Virtual Reader")), 4);
    const std::string err = readFile(dir + "/err");
    EXPECT_NE(err.find("--r1-name \"Virtual Reader\": no PC/SC reader present has this name\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("  \"" + pcscd->readerName(0) + "\"\n  \"" + pcscd->readerName(1) + "\"\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(run("ls typo | wc -l"), 0);
    EXPECT_EQ(readFile(dir + "/out"), "0\n");

    EXPECT_EQ(run(std::string(CALVENO_BATCH) + " --list-readers"), 0);
    EXPECT_EQ(readFile(dir + "/out"), pcscd->readerName(0) + "\n" + pcscd->readerName(1) + "\n");

    EXPECT_EQ(run(batch + quote(pcscd->readerName(1))), 0) << readFile(dir + "/err");
    EXPECT_EQ(readFile(dir + "/out"),
              "written " + dir + "/typo/pelkor.ini\nwritten " + dir + "/typo/tuvex.ini\n");
}

}  // namespace

namespace {

TEST_F(TuvexHostOnVirtualReaders, ReadersAreListedWithTheirCardsWithoutAConfiguration)
{
    ASSERT_TRUE(pcscd->removeCard(1));
    ASSERT_EQ(run(std::string(TUVEX_HOST) + " --readers"), 0) << readFile(dir + "/err");
    EXPECT_EQ(readFile(dir + "/out"), pcscd->readerName(0) +
                                          ": card, ATR 3F 65 25 00 2C 09 69 90 00 (Carte Ambrel 1)\n" +
                                          pcscd->readerName(1) + ": no card\n");
    ASSERT_EQ(run(std::string(TUVEX_HOST) + " --readers --json"), 0);
    const auto objects = lines(readFile(dir + "/out"));
    ASSERT_EQ(objects.size(), 2u);
    const auto a = nlohmann::json::parse(objects[0]);
    EXPECT_EQ(a["reader"], pcscd->readerName(0));
    EXPECT_EQ(a["card"], true);
    EXPECT_EQ(a["atr"], integration::kAmbrelAtr);
    EXPECT_EQ(a["card_type"], "Carte Ambrel 1");
    const auto b = nlohmann::json::parse(objects[1]);
    EXPECT_EQ(b["card"], false);
    EXPECT_EQ(b["atr"], "");

    pcscd->stop();
    EXPECT_EQ(run(std::string(TUVEX_HOST) + " --readers"), 1);
    EXPECT_NE(readFile(dir + "/err").find("the PC/SC service is not reachable"), std::string::npos);
}

// --watch runs in the background while cards move and pcscd stops and starts again.
TEST_F(TuvexHostOnVirtualReaders, WatchReportsCardsAndCarriesOnAcrossAServiceRestart)
{
    ASSERT_TRUE(pcscd->removeCard(1));
    const std::string watchOut = dir + "/watch.out";
    ASSERT_EQ(std::system((std::string(TUVEX_HOST) + " --watch --json --timeout 60 >" + watchOut + " 2>" +
                           dir + "/watch.err & echo $! >" + dir + "/watch.pid")
                              .c_str()),
              0);
    // Waits, bounded, until the watch has printed `event` `times` times.
    const auto waitFor = [&](const std::string& event, int times = 1) {
        for (int i = 0; i < 300; ++i) {
            const std::string text = readFile(watchOut);
            int found = 0;
            for (auto at = text.find("\"" + event + "\""); at != std::string::npos;
                 at = text.find("\"" + event + "\"", at + 1))
                ++found;
            if (found >= times) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    };
    ASSERT_TRUE(waitFor("present", 2)) << readFile(watchOut);
    ASSERT_TRUE(pcscd->insertCard(1, integration::kCps2TestAtr));
    ASSERT_TRUE(waitFor("card-inserted")) << readFile(watchOut);
    pcscd->stop();
    ASSERT_TRUE(waitFor("service-lost")) << readFile(watchOut);
    ASSERT_EQ(pcscd->start(), "");
    ASSERT_TRUE(waitFor("service-back")) << readFile(watchOut);
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    ASSERT_TRUE(waitFor("card-inserted", 2)) << readFile(watchOut) << readFile(dir + "/watch.err");
    std::system(("kill $(cat " + dir + "/watch.pid)").c_str());

    std::vector<std::pair<std::string, std::string>> events;  // event, reader
    nlohmann::json lastInsert;
    for (const std::string& line : lines(readFile(watchOut))) {
        const auto object = nlohmann::json::parse(line);
        events.emplace_back(object["event"], object["reader"]);
        if (object["event"] == "card-inserted") lastInsert = object;
    }
    const std::string a = pcscd->readerName(0);
    const std::string b = pcscd->readerName(1);
    // The restarted pcscd comes without cards: both earlier cards are reported gone.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"present", a},       {"present", b},      {"card-inserted", b}, {"service-lost", ""},
        {"service-back", ""}, {"card-removed", a}, {"card-removed", b},  {"card-inserted", a},
    };
    EXPECT_EQ(events, expected) << readFile(watchOut);
    EXPECT_EQ(lastInsert["atr"], integration::kAmbrelAtr);
    EXPECT_EQ(lastInsert["card_type"], "Carte Ambrel 1");
}

}  // namespace
