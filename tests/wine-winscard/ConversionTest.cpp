// What the test-only winscard.dll changes on its way between WinSCard's and
// pcsc-lite's conventions; the values on both sides are the two libraries' own.

#include "Conversion.h"

#include <PCSC/winscard.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

// The forwarder hands pcsc-lite records of this layout.
static_assert(sizeof(WscLiteReaderState) == sizeof(SCARD_READERSTATE));
static_assert(offsetof(WscLiteReaderState, eventState) == offsetof(SCARD_READERSTATE, dwEventState));
static_assert(offsetof(WscLiteReaderState, atrLength) == offsetof(SCARD_READERSTATE, cbAtr));
static_assert(offsetof(WscLiteReaderState, atr) == offsetof(SCARD_READERSTATE, rgbAtr));

namespace {

TEST(WineWinscardConversion, ResultsKeepTheirBitsButUnsupportedFeature)
{
    struct Row {
        long lite;
        std::uint32_t windows;
    };
    const Row rows[] = {
        {0, 0},
        {static_cast<long>(0x8010000Cu), 0x8010000Cu},  // no card, as a positive 64-bit LONG
        {static_cast<long>(static_cast<std::int32_t>(0x80100069u)), 0x80100069u},  // 32-bit LONG
        {static_cast<long>(0x8010000Au), 0x8010000Au},
        {static_cast<long>(0x8010001Fu), 0x80100022u},
        {static_cast<long>(static_cast<std::int32_t>(0x8010001Fu)), 0x80100022u},
        {static_cast<long>(0x80100022u), 0x80100022u},
    };
    for (const Row& row : rows)
        EXPECT_EQ(static_cast<std::uint32_t>(wscResultFromLite(row.lite)), row.windows)
            << std::hex << row.lite;
}

TEST(WineWinscardConversion, ProtocolMasksBothWays)
{
    struct Row {
        std::uint32_t windows;
        std::uint32_t lite;
    };
    // T=0, T=1 and both; the raw protocol (0x10000 on Windows, 0x4 on pcsc-lite).
    const Row sameBothWays[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0x10000, 4}, {0x10001, 5}};
    for (const Row& row : sameBothWays) {
        EXPECT_EQ(wscProtocolToLite(row.windows), row.lite) << row.windows;
        EXPECT_EQ(wscProtocolFromLite(row.lite), row.windows) << row.lite;
    }
    // WinSCard's "default" asks for what the card offers; pcsc-lite's T=15 has no
    // WinSCard bit.
    EXPECT_EQ(wscProtocolToLite(0x80000000u), 3u);
    EXPECT_EQ(wscProtocolFromLite(8), 0u);
}

TEST(WineWinscardConversion, CardStateIsTheMostAdvancedBit)
{
    struct Row {
        unsigned long lite;
        std::uint32_t windows;
    };
    const Row rows[] = {
        {0x0001, 0},      // unknown
        {0x0002, 1},      // absent
        {0x0004, 2},      // present
        {0x000C, 3},      // present, swallowed
        {0x0014, 4},      // present, powered
        {0x0034, 5},      // present, powered, negotiable
        {0x0054, 6},      // present, powered, specific
        {0x00070034, 5},  // under an event counter
        {0xFFFF0002ul, 1},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wscCardStateFromLite(row.lite), row.windows) << std::hex << row.lite;
}

TEST(WineWinscardConversion, ReaderStatesCopiedAcrossBothLayouts)
{
    int user = 0;
    WscWindowsReaderState windows[2] = {};
    windows[0] = {"Virtual Reader A 00 00", &user, 0x20, 0x1234, 7, {}};
    windows[1] = {"Virtual Reader B 00 00", nullptr, 0, 0, 0, {}};
    std::memset(windows[1].atr, 0xEE, sizeof windows[1].atr);
    WscLiteReaderState lite[2];
    std::memset(lite, 0xCC, sizeof lite);
    wscReaderStatesToLite(windows, lite, 2);
    EXPECT_STREQ(lite[0].reader, "Virtual Reader A 00 00");
    EXPECT_EQ(lite[0].userData, &user);
    EXPECT_EQ(lite[0].currentState, 0x20u);
    EXPECT_EQ(lite[0].eventState, 0x1234u);
    EXPECT_EQ(lite[0].atrLength, 0u);
    EXPECT_STREQ(lite[1].reader, "Virtual Reader B 00 00");

    // pcsc-lite's full 33-byte ATR, and a length it should never give.
    lite[0].eventState = 0x00030022;
    lite[0].atrLength = 33;
    for (int i = 0; i < 33; ++i) lite[0].atr[i] = static_cast<unsigned char>(i + 1);
    lite[1].eventState = 0x10;
    lite[1].atrLength = 40;
    wscReaderStatesFromLite(lite, windows, 2);
    EXPECT_EQ(windows[0].eventState, 0x00030022u);
    EXPECT_EQ(windows[0].currentState, 0x20u) << "the caller's current state stays";
    EXPECT_EQ(windows[0].atrLength, 33u);
    EXPECT_EQ(windows[0].atr[32], 33);
    EXPECT_EQ(windows[0].atr[33], 0) << "the three bytes pcsc-lite lacks are cleared";
    EXPECT_EQ(windows[1].atrLength, 33u);
    EXPECT_EQ(windows[1].atr[35], 0);
}

TEST(WineWinscardConversion, DirectHeldReaderIsUnavailableAndChangedUnderItsCounter)
{
    WscWindowsReaderState state = {"r", nullptr, 0x20, 0x00050022, 0, {}};
    wscMarkDirectHeld(&state);
    EXPECT_EQ(state.eventState, 0x0005000Au);
}

TEST(WineWinscardConversion, RemovalDuringATransmissionOnCardConnectionsOnly)
{
    constexpr long noCard = 0x8010000C;
    EXPECT_EQ(static_cast<std::uint32_t>(wscTransmitResultFromLite(noCard, 1)), 0x80100069u);  // exclusive
    EXPECT_EQ(static_cast<std::uint32_t>(wscTransmitResultFromLite(noCard, 2)), 0x80100069u);  // shared
    EXPECT_EQ(static_cast<std::uint32_t>(wscTransmitResultFromLite(noCard, 3)), 0x8010000Cu);  // direct
    EXPECT_EQ(wscTransmitResultFromLite(0, 1), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(wscTransmitResultFromLite(0x8010000F, 1)), 0x8010000Fu);
}

TEST(WineWinscardConversion, OnlyADirectReconnectionWithoutCardIsReopened)
{
    EXPECT_TRUE(wscReconnectReopensDirect(0x8010000C, 3));
    EXPECT_FALSE(wscReconnectReopensDirect(0x8010000C, 1));
    EXPECT_FALSE(wscReconnectReopensDirect(0x80100069, 3));
    EXPECT_FALSE(wscReconnectReopensDirect(0, 3));
}

TEST(WineWinscardConversion, StatusPollWithADirectHeldReaderSucceedsAfterATimeOutToo)
{
    struct Row {
        long lite;
        int directHeld;
        std::uint32_t windows;
    };
    const Row rows[] = {
        {0, 0, 0},
        {0x8010000A, 0, 0x8010000Au},  // unchanged, nothing held: the time-out stays
        {0x8010000A, 1, 0},
        {0, 2, 0},
        {0x8010001D, 1, 0x8010001Du},  // no service: nothing to rewrite
        {0x80100009, 1, 0x80100009u},
    };
    for (const Row& row : rows)
        EXPECT_EQ(static_cast<std::uint32_t>(wscStatusChangeResult(row.lite, row.directHeld)), row.windows)
            << std::hex << row.lite << " held " << row.directHeld;
}

TEST(WineWinscardConversion, AttributesWithinPcscLitesMessageSize)
{
    EXPECT_EQ(wscAttributeCapacity(4), 4u);
    EXPECT_EQ(wscAttributeCapacity(264), 264u);
    EXPECT_EQ(wscAttributeCapacity(1024), 264u);
}

TEST(WineWinscardConversion, PresenceContactsAndAtrFromTheCardStatus)
{
    EXPECT_TRUE(wscIsStatusAttribute(0x90300));
    EXPECT_TRUE(wscIsStatusAttribute(0x90301));
    EXPECT_TRUE(wscIsStatusAttribute(0x90303));
    EXPECT_FALSE(wscIsStatusAttribute(0x90302));
    EXPECT_FALSE(wscIsStatusAttribute(0x10100));

    struct Row {
        std::uint32_t attribute;
        std::uint32_t windowsState;
        std::uint8_t value;
    };
    const Row rows[] = {
        {0x90300, 1, 0}, {0x90300, 2, 2}, {0x90300, 6, 2},  // absent, present, specific
        {0x90301, 1, 0}, {0x90301, 3, 0}, {0x90301, 4, 1}, {0x90301, 5, 1},
    };
    const std::uint8_t atr[] = {0x3F, 0x65, 0x25, 0x00};
    for (const Row& row : rows) {
        std::uint8_t out[36] = {0xEE};
        EXPECT_EQ(wscAttributeFromStatus(row.attribute, row.windowsState, atr, sizeof atr, out), 1u);
        EXPECT_EQ(out[0], row.value) << std::hex << row.attribute << " state " << row.windowsState;
    }
    std::uint8_t out[36] = {};
    ASSERT_EQ(wscAttributeFromStatus(0x90303, 4, atr, sizeof atr, out), 4u);
    EXPECT_EQ(std::memcmp(out, atr, sizeof atr), 0);
}

}  // namespace
