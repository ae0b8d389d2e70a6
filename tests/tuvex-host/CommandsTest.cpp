// The command lines tuvex-host accepts, the requests they become, and the decoding of
// the plug-in's answers.

#include "Commands.h"
#include "HostConfig.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace tuvex_host;

struct RequestCase {
    const char* line;
    Bytes request;
};

TEST(TuvexHostCommands, ExchangeCommandsBecomeTheirRequests)
{
    const std::vector<RequestCase> cases = {
        {"presence", {0, 0, 0x16, 0}},
        {"power-on", {0, 0, 0x14, 0}},
        {"power-off", {0, 0, 0x15, 0}},
        {"power-off 1", {0, 0, 0x15, 1}},
        {"self-test", {0, 0, 0x12, 0}},
        {"reset", {0, 0, 0x11, 0}},
        {"frequency 5", {0, 0, 0x17, 5}},
        {"apdu 00 B0 00 00 04", {0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x04}},
        {"  apdu 00b0:0000  ", {0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00}},
        {"raw 80001300", {0x80, 0x00, 0x13, 0x00}},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto command = parseCommand(c.line, error);
        ASSERT_TRUE(command.has_value()) << c.line << ": " << error;
        EXPECT_TRUE(isExchange(command->verb)) << c.line;
        EXPECT_EQ(requestOf(*command), c.request) << c.line;
    }
}

TEST(TuvexHostCommands, OtherCommandsTakeTheirNumbersAndBlankLinesAreNothing)
{
    std::string error;
    EXPECT_EQ(parseCommand("exclusive", error)->number, 0u);
    EXPECT_EQ(parseCommand("release 255", error)->number, 255u);
    EXPECT_EQ(parseCommand("channel 2", error)->verb, Verb::Channel);
    EXPECT_FALSE(isExchange(parseCommand("connect", error)->verb));
    EXPECT_EQ(parseCommand("", error)->verb, Verb::None);
    EXPECT_EQ(parseCommand("   # a comment", error)->verb, Verb::None);
    // A comment may follow a command; the command keeps its name apart from its arguments.
    const auto apdu = parseCommand("apdu 00 B0 00 00 02   # read two bytes", error);
    ASSERT_TRUE(apdu.has_value()) << error;
    EXPECT_EQ(apdu->name, "apdu");
    EXPECT_EQ(apdu->text, "apdu 00 B0 00 00 02");
    EXPECT_EQ(apdu->data, (Bytes{0x00, 0xB0, 0x00, 0x00, 0x02}));
    EXPECT_EQ(parseCommand("exclusive 7 # index", error)->number, 7u);
}

TEST(TuvexHostCommands, StatusWordsGetTheirIso7816Meaning)
{
    const std::vector<std::tuple<std::uint8_t, std::uint8_t, const char*>> cases = {
        {0x90, 0x00, "normal processing"},
        {0x61, 0x10, "16 bytes still available"},
        {0x62, 0x81, "warning: state of non-volatile memory unchanged"},
        {0x63, 0xC2, "warning: state of non-volatile memory changed"},
        {0x64, 0x00, "execution error: state of non-volatile memory unchanged"},
        {0x65, 0x81, "execution error: state of non-volatile memory changed"},
        {0x67, 0x00, "wrong length"},
        {0x68, 0x82, "functions in CLA not supported"},
        {0x69, 0x82, "command not allowed"},
        {0x6A, 0x82, "wrong parameters P1-P2"},
        {0x6B, 0x00, "wrong parameters P1-P2"},
        {0x6C, 0x08, "wrong Le field; 8 bytes available"},
        {0x6D, 0x00, "instruction not supported"},
        {0x6E, 0x00, "class not supported"},
        {0x6F, 0x00, "no precise diagnosis"},
        {0x12, 0x34, "not a status word"},
    };
    for (const auto& [sw1, sw2, meaning] : cases)
        EXPECT_NE(statusWordText(sw1, sw2).find(meaning), std::string::npos)
            << std::hex << int(sw1) << " " << int(sw2) << ": " << statusWordText(sw1, sw2);
}

TEST(TuvexHostCommands, MalformedLinesAreRefusedNamingTheProblem)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"dance", "unknown command \"dance\""},
        {"apdu", "malformed hex string"},
        {"apdu 0G", "malformed hex string \"0G\""},
        {"apdu 00B", "malformed hex string"},
        {"apdu 0 0B0", "malformed hex string"},
        {"raw", "malformed hex string"},
        {"exclusive 256", "not a number from 0 to 255"},
        {"release -1", "not a number"},
        {"power-off x", "not a number"},
        {"channel", "channel needs N"},
        {"frequency", "frequency needs CODE"},
        {"connect 1", "connect takes no argument"},
        {"exclusive 1 2", "exclusive needs [INDEX]"},
    };
    for (const auto& [line, message] : cases) {
        std::string error;
        EXPECT_FALSE(parseCommand(line, error).has_value()) << line;
        EXPECT_NE(error.find(message), std::string::npos) << line << " -> " << error;
    }
}

TEST(TuvexHostCommands, SelfTestAnswerIsDecoded)
{
    Bytes answer(27, 0xFF);
    const Bytes head{0x00, 0x12, 0x34, 0x01, 0x02, 0x1F, 0x40, 0x00, 0x0A, 0x05, 0, 0, 0};
    std::copy(head.begin(), head.end(), answer.begin());
    const auto decoded = decodeSelfTest(answer);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->version, "01.02");
    EXPECT_EQ(decoded->bwt, 0x1F40u);
    EXPECT_EQ(decoded->w, 10u);
    EXPECT_EQ(decoded->clockMHz, 5u);
    answer.pop_back();
    EXPECT_FALSE(decodeSelfTest(answer).has_value());
}

TEST(TuvexHostConfig, MapsWindowsLibraryNamesToThePlatformsFile)
{
    EXPECT_EQ(libraryFileNames("OSTREL.DLL"), (std::vector<std::string>{"OSTREL.DLL", "libostrel.so"}));
    EXPECT_EQ(libraryFileNames("C:\\Tuvex\\Halvane.dll"),
              (std::vector<std::string>{"C:\\Tuvex\\Halvane.dll", "libhalvane.so"}));
    EXPECT_EQ(libraryFileNames("/opt/x/libfoo.so"), (std::vector<std::string>{"/opt/x/libfoo.so"}));
}

TEST(TuvexHostConfig, ReadsProtocolsInOrderAndTheirChannels)
{
    TempDir dir;
    const std::string path = dir.write("tuvex.ini",
                                       "[CONFIG]\r\nNbCanaux=2\r\n"
                                       "[Protocole1]\r\nNomLib=OSTREL.DLL\r\nListeCanaux=2,  1\r\n"
                                       "[PROTOCOLE0]\r\nNomLib=HALVANE.DLL\r\n"
                                       "[CANAL1]\r\nIndex=7\r\nCaracteristiques=Lecteur \xE9 1\r\n"
                                       "[canal2]\r\nTCanal=1\r\nIndex=2\r\n");
    std::string error;
    const auto config = readConfig(path, error);
    ASSERT_TRUE(config.has_value()) << error;
    ASSERT_EQ(config->protocols.size(), 2u);
    EXPECT_EQ(config->protocols[0].number, 0u);
    EXPECT_EQ(config->protocols[0].library, "HALVANE.DLL");
    EXPECT_TRUE(config->protocols[0].channels.empty());
    EXPECT_EQ(config->protocols[1].channels, (std::vector<unsigned>{2, 1}));
    const ChannelConfig& one = config->channels.at(1);
    EXPECT_EQ(one.index, 7u);
    EXPECT_EQ(one.type, 3u);  // absent TCanal: PC/SC
    EXPECT_EQ(one.reader, "Lecteur \xE9 1");
    EXPECT_EQ(config->channels.at(2).type, 1u);
    EXPECT_EQ(config->channels.at(2).reader, "");
}

}  // namespace
