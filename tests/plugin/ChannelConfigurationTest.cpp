// Loading the channel list and channel sections of tuvex.ini at ProInit, and the
// check of each configured reader against the PC/SC reader list.

#include "PluginState.h"

#include "FakePcsc.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace ostrel {
namespace {

using test::FakePcsc;

std::string channelSection(int number, const std::string& reader, const std::string& index)
{
    return "[CANAL" + std::to_string(number) +
           "]\r\nNomLib=OSTREL.DLL\r\nTCanal=3\r\n"
           "Caracteristiques=" +
           reader + "\r\nIndex=" + index + "\r\n";
}

class ChannelConfiguration : public ::testing::Test {
protected:
    ChannelConfiguration() : state(pcsc)
    {
        pcsc.setDefault("ListReaderGroups", test::names({"SCard$DefaultReaders"}));
        pcsc.setDefault("ListReaders", test::names({"Lecteur A 00 00", "Lecteur B 00 00"}));
    }

    std::uint16_t init(const std::string& content, std::uint16_t protocol = 1)
    {
        return state.ProInit(protocol, dir.write("tuvex.ini", content).c_str(), 0);
    }

    std::vector<std::uint8_t> channels() const
    {
        std::vector<std::uint8_t> numbers;
        for (const ChannelRecord& entry : state.channelTable())
            if (entry.channel != 0) numbers.push_back(entry.channel);
        return numbers;
    }

    TempDir dir;
    FakePcsc pcsc;
    PluginState state;
};

TEST_F(ChannelConfiguration, ListWithBlankAfterCommaYieldsBothChannels)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1, 2\r\n" + channelSection(1, "Lecteur A 00 00", "11") +
                   channelSection(2, "Lecteur B 00 00", "12")),
              0);
    EXPECT_EQ(state.lastDetail(), 0u);
    EXPECT_TRUE(state.initialised());
    ASSERT_EQ(channels(), (std::vector<std::uint8_t>{11, 12}));
    const ChannelRecord& first = state.channelTable()[0];
    EXPECT_EQ(first.flags, kFlagConfigured);
    EXPECT_STREQ(first.readerName, "Lecteur A 00 00");
    EXPECT_EQ(first.context, 0u);
    EXPECT_STREQ(state.channelTable()[1].readerName, "Lecteur B 00 00");
    for (const ChannelRecord& entry : state.channelTable()) EXPECT_EQ(entry.cardCounter, 1);
    // Each reader is looked up without a context, groups first.
    EXPECT_EQ(pcsc.calls,
              (std::vector<std::string>{"ListReaderGroups(0x0, 1024)", "ListReaders(0x0, null, 1024)",
                                        "ListReaderGroups(0x0, 1024)", "ListReaders(0x0, null, 1024)"}));
}

TEST_F(ChannelConfiguration, SectionAndKeyNamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(init("[protocole1]\r\nlistecanaux=3\r\n[Canal3]\r\nCARACTERISTIQUES=Lecteur B 00 00\r\n"
                   "index=3\r\n"),
              0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{3}));
}

TEST_F(ChannelConfiguration, ProtocolNumberOfProInitNamesTheSection)
{
    const std::string file = "[PROTOCOLE0]\r\nListeCanaux=4\r\n[PROTOCOLE1]\r\nListeCanaux=5\r\n" +
                             channelSection(4, "Lecteur A 00 00", "4") +
                             channelSection(5, "Lecteur A 00 00", "5");
    EXPECT_EQ(init(file, 0), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{4}));
    EXPECT_EQ(init(file, 1), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{5})) << "a new ProInit starts from an empty table";
}

TEST_F(ChannelConfiguration, ListItemKeepsTheLowEightBitsOfItsNumber)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=257\r\n" + channelSection(1, "Lecteur A 00 00", "9")), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{9}));
    // 2^32 + 257: a number too long for 32 bits still keeps its exact low byte.
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=4294967553\r\n" + channelSection(1, "Lecteur A 00 00", "9")),
              0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{9}));
}

TEST_F(ChannelConfiguration, IndexKeepsItsLowEightBitsAndNamesTheChannel)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=2\r\n" + channelSection(2, "Lecteur A 00 00", "300")), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{44}));
    EXPECT_NE(state.FindChannel(44), nullptr);
    EXPECT_EQ(state.FindChannel(2), nullptr);
}

TEST_F(ChannelConfiguration, IndexAbove63IsAcceptedHere)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=2\r\n" + channelSection(2, "Lecteur A 00 00", "200")), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{200}));
}

struct RefusedCase {
    const char* name;
    std::string file;
    std::uint32_t detail;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedConfiguration : public ChannelConfiguration,
                             public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedConfiguration, ReportsItsDetailAndStaysUninitialised)
{
    const RefusedCase& c = GetParam();
    EXPECT_EQ(init(c.file), 0x800C);
    EXPECT_EQ(state.lastDetail(), c.detail);
    EXPECT_FALSE(state.initialised());
    EXPECT_TRUE(channels().empty());
}

const std::string kChannelOne = channelSection(1, "Lecteur A 00 00", "1");
constexpr char kBinary[] = "\0\xff\x01[\0]=\xfe\r\n\0ListeCanaux=1\r\n\x80\0";

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedConfiguration,
    ::testing::Values(
        RefusedCase{"NoProtocolSection", kChannelOne, 10},
        RefusedCase{"NoList", "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\n" + kChannelOne, 10},
        RefusedCase{"EmptyList", "[PROTOCOLE1]\r\nListeCanaux=\r\n" + kChannelOne, 10},
        RefusedCase{"OnlyCommas", "[PROTOCOLE1]\r\nListeCanaux=,,,\r\n" + kChannelOne, 10},
        RefusedCase{"FirstItemQuestionMark", "[PROTOCOLE1]\r\nListeCanaux=?1,1\r\n" + kChannelOne, 10},
        RefusedCase{"LettersAsChannel", "[PROTOCOLE1]\r\nListeCanaux=abc\r\n" + kChannelOne, 11},
        RefusedCase{"ChannelZero", "[PROTOCOLE1]\r\nListeCanaux=0\r\n" + kChannelOne, 11},
        RefusedCase{"Channel64",
                    "[PROTOCOLE1]\r\nListeCanaux=64\r\n" + channelSection(64, "Lecteur A 00 00", "1"), 11},
        RefusedCase{"NegativeChannel", "[PROTOCOLE1]\r\nListeCanaux=-1\r\n" + kChannelOne, 11},
        // A sign is not a digit: the conversion stops before it.
        RefusedCase{"PlusSign", "[PROTOCOLE1]\r\nListeCanaux=+1\r\n" + kChannelOne, 11},
        RefusedCase{"MinusWrappingToOne", "[PROTOCOLE1]\r\nListeCanaux=-255\r\n" + kChannelOne, 11},
        RefusedCase{"NoChannelSection", "[PROTOCOLE1]\r\nListeCanaux=2\r\n" + kChannelOne, 11},
        RefusedCase{"QuestionMarkReader",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "?Lecteur A 00 00", "1"), 11},
        RefusedCase{"NoIndex",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nCaracteristiques=Lecteur A 00 00\r\n", 19},
        RefusedCase{"IndexZero",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur A 00 00", "0"), 19},
        RefusedCase{"Index256",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur A 00 00", "256"), 19},
        RefusedCase{"ReaderNotListed",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur C 00 00", "1"), 18},
        RefusedCase{"ReaderOnlyPartlyNamed",
                    "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur A", "1"), 18},
        RefusedCase{"EmptyFile", "", 10},
        RefusedCase{"BinaryFile", std::string(kBinary, sizeof kBinary - 1), 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChannelConfiguration, MissingFileMeansNoChannelList)
{
    EXPECT_EQ(state.ProInit(1, dir.file("nowhere/tuvex.ini").c_str(), 0), 0x800C);
    EXPECT_EQ(state.lastDetail(), 10u);
}

TEST_F(ChannelConfiguration, ChannelListIsReadUpTo254Characters)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=" + std::string(253, '0') + "1\r\n" + kChannelOne), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1}));
    // One character more and the final digit is never read: the item is 0.
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=" + std::string(254, '0') + "1\r\n" + kChannelOne), 0x800C);
    EXPECT_EQ(state.lastDetail(), 11u);
}

TEST_F(ChannelConfiguration, EmptyListItemsAreSkipped)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=,1,,2,\r\n" + channelSection(1, "Lecteur A 00 00", "1") +
                   channelSection(2, "Lecteur B 00 00", "2")),
              0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(ChannelConfiguration, FailingThirdItemKeepsTheFirstTwoButNotInitialised)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1,2,3\r\n" + channelSection(1, "Lecteur A 00 00", "1") +
                   channelSection(2, "Lecteur B 00 00", "2") + channelSection(3, "Lecteur Z 00 00", "3")),
              0x800C);
    EXPECT_EQ(state.lastDetail(), 18u);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_FALSE(state.initialised());
    EXPECT_EQ(state.ProTermin(), 0x800A) << "a table never fully loaded is not cleared";
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(ChannelConfiguration, LongerTextContainingTheReaderNameIsKeptWhole)
{
    EXPECT_EQ(
        init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "USB Lecteur B 00 00 (bureau)", "1")),
        0);
    EXPECT_STREQ(state.channelTable()[0].readerName, "USB Lecteur B 00 00 (bureau)");
}

TEST_F(ChannelConfiguration, ReaderNameBeyondTheReadLimitIsCutAt255Characters)
{
    const std::string longName = "Lecteur A 00 00" + std::string(400, 'x');
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, longName, "1")), 0);
    EXPECT_EQ(std::string(state.channelTable()[0].readerName), longName.substr(0, 255));
}

TEST_F(ChannelConfiguration, HugeListIsCutAt254CharactersAndFillsTheTable)
{
    // "1,1,1,..." names channel 1 again and again: the eleventh entry finds no room.
    std::string list;
    for (int i = 0; i < 50000; ++i) list += "1,";
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=" + list + "\r\n" + kChannelOne), 0x800A);
    EXPECT_EQ(state.lastDetail(), 0x1000u);
    EXPECT_EQ(channels().size(), 10u);
    EXPECT_EQ(pcsc.callsOf("ListReaders").size(), 11u);
}

TEST_F(ChannelConfiguration, EleventhChannelFindsTheTableFull)
{
    std::string file = "[PROTOCOLE1]\r\nListeCanaux=1,2,3,4,5,6,7,8,9,10,11,12\r\n";
    for (int n = 1; n <= 12; ++n) file += channelSection(n, "Lecteur A 00 00", std::to_string(n + 20));
    EXPECT_EQ(init(file), 0x800A);
    EXPECT_EQ(state.lastDetail(), 0x1000u);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
    EXPECT_FALSE(state.initialised());
}

TEST_F(ChannelConfiguration, DuplicateIndexIsNotDetectedAndTheFirstEntryWins)
{
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1,2\r\n" + channelSection(1, "Lecteur A 00 00", "7") +
                   channelSection(2, "Lecteur B 00 00", "7")),
              0);
    EXPECT_STREQ(state.FindChannel(7)->readerName, "Lecteur A 00 00");
}

TEST_F(ChannelConfiguration, EmptyGroupListSkipsTheReaderCheck)
{
    pcsc.setDefault("ListReaderGroups", test::names({}));
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur Z 00 00", "1")), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1}));
    EXPECT_TRUE(pcsc.callsOf("ListReaders").empty());
}

TEST_F(ChannelConfiguration, EmptyReaderListAcceptsTheReader)
{
    pcsc.setDefault("ListReaders", test::bytes({}));
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur Z 00 00", "1")), 0);
    EXPECT_EQ(channels(), (std::vector<std::uint8_t>{1}));
}

TEST_F(ChannelConfiguration, ListingFailuresAreConvertedWithCardWarningsAsSuccess)
{
    const std::string file = "[PROTOCOLE1]\r\nListeCanaux=1\r\n" + kChannelOne;
    pcsc.queue("ListReaderGroups", test::fail(pcsc::kNoService));
    EXPECT_EQ(init(file), 0x800A);
    EXPECT_EQ(state.lastDetail(), 2u);
    EXPECT_TRUE(pcsc.callsOf("ListReaders").empty());

    // No reader attached: the service's own code has no row and is an unknown result.
    pcsc.queue("ListReaders", test::fail(pcsc::kNoReadersAvailable));
    EXPECT_EQ(init(file), 0x0001);
    EXPECT_EQ(state.lastDetail(), 20u);

    pcsc.queue("ListReaders", test::fail(pcsc::kRemovedCard));
    EXPECT_EQ(init(file), 0);
    EXPECT_TRUE(state.initialised());
}

TEST_F(ChannelConfiguration, ReaderListWithoutFinalTerminatorIsWalkedSafely)
{
    // A full 1024-byte answer with no terminator: the walk stops at the buffer's end.
    pcsc.setDefault("ListReaders", test::bytes(std::vector<std::uint8_t>(1024, 'R')));
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + kChannelOne), 0x800C);
    EXPECT_EQ(state.lastDetail(), 18u);
}

TEST_F(ChannelConfiguration, EveryListedReaderIsExamined)
{
    pcsc.setDefault("ListReaders", test::names({"Lecteur A 00 00", "Lecteur B 00 00", "Lecteur C 00 00"}));
    EXPECT_EQ(init("[PROTOCOLE1]\r\nListeCanaux=1\r\n" + channelSection(1, "Lecteur C 00 00", "1")), 0);
}

}  // namespace
}  // namespace ostrel
