// Reader and card attributes: the order of the reads, failures that do not stop them,
// ATR change detection and the card-type registration.

#include "Attributes.h"

#include "FakePcsc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace ostrel {
namespace {

using test::FakePcsc;

const std::vector<std::uint8_t> kCps1TestAtr = {0x3B, 0x2C, 0x00, 0x00, 0x12, 0x25, 0x00, 0x64,
                                                0x80, 0x81, 0x00, 0x10, 0x00, 0x90, 0x00};
const std::vector<std::uint8_t> kCarteBleueAtr = {0x3F, 0x65, 0x25, 0x08, 0x38, 0x04, 0x6C, 0x90, 0x00};
const std::vector<std::uint8_t> kUnknownAtr = {0x3B, 0x02, 0x14, 0x50};

std::string read(std::uint32_t id, std::uint32_t size)
{
    char text[64];
    std::snprintf(text, sizeof text, "GetAttrib(0x200, 0x%X, %u)", id, size);
    return text;
}

class Attributes : public ::testing::Test {
protected:
    Attributes()
    {
        entry.channel = 4;
        entry.context = 0x100;
        entry.card = 0x200;
    }

    void cardPresentWithAtr(const std::vector<std::uint8_t>& atr)
    {
        pcsc.setDefault(FakePcsc::attribute(kAttrCardPresence), test::bytes({2}));
        pcsc.setDefault(FakePcsc::attribute(kAttrInterfaceStatus), test::bytes({1}));
        pcsc.setDefault(FakePcsc::attribute(kAttrAtr), test::bytes(atr));
        pcsc.setDefault(FakePcsc::attribute(kAttrCardTypePerAtr), test::bytes({1}));
    }

    FakePcsc pcsc;
    ChannelRecord entry;
};

TEST_F(Attributes, ReaderCapabilitiesInCardModeReadFifteenAttributesInOrder)
{
    entry.flags = kFlagConfigured | kFlagContext | kFlagSharedMode;
    pcsc.setDefault(FakePcsc::attribute(kAttrVendorName), test::bytes({'A', 'C', 'M', 'E'}));
    pcsc.setDefault(FakePcsc::attribute(kAttrDriverVersion), test::number(0x0102002A));
    pcsc.setDefault(FakePcsc::attribute(kAttrChannelId), test::number(0x00200105));
    pcsc.setDefault(FakePcsc::attribute(kAttrDefaultClock), test::number(3580));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumClock), test::number(4500));
    pcsc.setDefault(FakePcsc::attribute(kAttrDefaultDataRate), test::number(9600));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumDataRate), test::number(115200));
    pcsc.setDefault(FakePcsc::attribute(kAttrPowerManagement), test::number(1));
    pcsc.setDefault(FakePcsc::attribute(kAttrMechanical), test::number(2));
    pcsc.setDefault(FakePcsc::attribute(kAttrProtocolType), test::number(1));
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentBwt), test::number(0x1234));
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentCwt), test::number(13));
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentW), test::number(10));
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentN), test::number(2));

    GetReaderCapabilities(pcsc, entry);

    EXPECT_EQ(pcsc.calls,
              (std::vector<std::string>{
                  read(0x10100, 32), read(0x10101, 32), read(0x10102, 4), read(0x20110, 4), read(0x30121, 4),
                  read(0x30122, 4), read(0x30123, 4), read(0x30124, 4), read(0x40131, 4), read(0x60150, 4),
                  read(0x80201, 4), read(0x80209, 4), read(0x8020A, 4), read(0x80206, 4), read(0x80205, 4)}));
    EXPECT_STREQ(entry.vendorName, "ACME");
    EXPECT_EQ(entry.driverVersion, 0x0102002Au);
    EXPECT_EQ(entry.channelId, 0x00200105u);
    EXPECT_EQ(entry.defaultClockKHz, 3580u);
    EXPECT_EQ(entry.maximumClockKHz, 4500u);
    EXPECT_EQ(entry.defaultDataRate, 9600u);
    EXPECT_EQ(entry.maximumDataRate, 115200u);
    EXPECT_EQ(entry.powerManagement, 1u);
    EXPECT_EQ(entry.mechanicalCharacteristics, 2u);
    EXPECT_EQ(entry.currentProtocolType, 1u);
    EXPECT_EQ(entry.currentBwt, 0x1234u);
    EXPECT_EQ(entry.currentCwt, 13u);
    EXPECT_EQ(entry.currentW, 10u);
    EXPECT_EQ(entry.currentN, 2u);
}

TEST_F(Attributes, ReaderCapabilitiesInDirectModeLeaveCardProtocolFieldsAtZero)
{
    entry.flags = kFlagConfigured | kFlagContext | kFlagDirectMode;
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentBwt), test::number(0x1234));
    GetReaderCapabilities(pcsc, entry);
    EXPECT_EQ(pcsc.calls.size(), 10u);
    EXPECT_EQ(pcsc.calls.back(), read(0x60150, 4));
    EXPECT_EQ(entry.currentBwt, 0u);
    EXPECT_EQ(entry.currentW, 0u);
}

TEST_F(Attributes, ExclusiveModeAlsoReadsCardProtocolFields)
{
    entry.flags = kFlagExclusiveMode;
    GetReaderCapabilities(pcsc, entry);
    EXPECT_EQ(pcsc.calls.size(), 15u);
}

TEST_F(Attributes, FailedReaderReadsLeaveTheirFieldsAndTheOthersGoOn)
{
    entry.flags = kFlagSharedMode;
    entry.maximumClockKHz = 777;
    std::memcpy(entry.vendorName, "OLD", 4);
    pcsc.setDefault(FakePcsc::attribute(kAttrVendorName), test::fail(pcsc::kUnsupportedFeature));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumClock), test::fail(pcsc::kRemovedCard));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumDataRate), test::number(38400));
    pcsc.setDefault(FakePcsc::attribute(kAttrCurrentN), test::number(5));
    GetReaderCapabilities(pcsc, entry);
    EXPECT_EQ(pcsc.calls.size(), 15u);
    EXPECT_STREQ(entry.vendorName, "OLD");
    EXPECT_EQ(entry.maximumClockKHz, 777u);
    EXPECT_EQ(entry.maximumDataRate, 38400u);
    EXPECT_EQ(entry.currentN, 5u);
}

TEST_F(Attributes, ShortAnswersAreZeroExtendedAndLongVendorNamesTerminated)
{
    pcsc.setDefault(FakePcsc::attribute(kAttrVendorName), test::bytes(std::vector<std::uint8_t>(32, 'V')));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumClock), test::bytes({0x94, 0x11}));
    entry.maximumClockKHz = 0xFFFFFFFF;
    GetReaderCapabilities(pcsc, entry);
    EXPECT_EQ(std::string(entry.vendorName), std::string(32, 'V'));
    EXPECT_EQ(entry.maximumClockKHz, 4500u);
}

TEST_F(Attributes, AbsentCardReadsOnlyThePresence)
{
    pcsc.setDefault(FakePcsc::attribute(kAttrCardPresence), test::bytes({0}));
    entry.cardPresence = 2;
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 0);
    EXPECT_EQ(pcsc.calls, std::vector<std::string>{read(0x90300, 1)});
    EXPECT_EQ(entry.cardPresence, 0);
}

TEST_F(Attributes, NewKnownCardIsRegisteredWithItsIssuerIdentifier)
{
    cardPresentWithAtr(kCps1TestAtr);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    EXPECT_EQ(pcsc.calls,
              (std::vector<std::string>{read(0x90300, 1), read(0x90301, 1), read(0x90303, 32),
                                        "IntroduceCardType(0x100, \"Carte CPS 1 Test\", "
                                        "[69 69 69 69 69 69 69 69 47 49 50 2D 43 50 53 00], "
                                        "[69 69 69 69 69 69 69 69 47 49 50 2D 43 50 53 00], 0, "
                                        "[3B 2C 00 00 12 25 00 64 80 81 00 10 00 90 00], null, 15)",
                                        read(0x90304, 1)}));
    EXPECT_EQ(entry.cardPresence, 2);
    EXPECT_EQ(entry.cardInterfaceStatus, 1);
    EXPECT_EQ(entry.atrLength, 15u);
    EXPECT_EQ(std::vector<std::uint8_t>(entry.atr, entry.atr + 15), kCps1TestAtr);
    EXPECT_EQ(entry.atr[15], 0);
    EXPECT_EQ(entry.cardState, kCardPresent);
    EXPECT_EQ(entry.cardTypePerAtr, 1);
    EXPECT_EQ(entry.cardCounter, 0) << "the counter is the state refresh's business";
}

TEST_F(Attributes, IssuerWithTrailingBlankKeepsItInTheIdentifier)
{
    cardPresentWithAtr(kCarteBleueAtr);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    const std::vector<std::string> registration = pcsc.callsOf("IntroduceCardType");
    ASSERT_EQ(registration.size(), 1u);
    EXPECT_NE(registration[0].find("\"Carte Bleue\", [69 69 69 69 69 69 69 69 47 49 45 2D 43 42 20 00]"),
              std::string::npos)
        << registration[0];
}

TEST_F(Attributes, UnknownCardRegistersAsNotRecognised)
{
    cardPresentWithAtr(kUnknownAtr);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    EXPECT_EQ(pcsc.callsOf("IntroduceCardType"),
              std::vector<std::string>{
                  "IntroduceCardType(0x100, \"Carte non reconnue\", "
                  "[69 69 69 69 69 69 69 69 58 58 58 2D 58 58 58 00], "
                  "[69 69 69 69 69 69 69 69 58 58 58 2D 58 58 58 00], 0, [3B 02 14 50], null, 4)"});
}

TEST_F(Attributes, SameAtrAgainRegistersNothing)
{
    cardPresentWithAtr(kCps1TestAtr);
    ASSERT_EQ(GetCardCapabilities(pcsc, entry), 27);
    pcsc.calls.clear();
    entry.cardState = kCardPowered;
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 0);
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{read(0x90300, 1), read(0x90301, 1), read(0x90303, 32)}));
    EXPECT_EQ(entry.cardState, kCardPowered);
}

TEST_F(Attributes, AtrOfSameBytesButOtherLengthIsANewCard)
{
    cardPresentWithAtr(kCps1TestAtr);
    ASSERT_EQ(GetCardCapabilities(pcsc, entry), 27);
    std::vector<std::uint8_t> longer = kCps1TestAtr;
    longer.push_back(0x00);
    pcsc.setDefault(FakePcsc::attribute(kAttrAtr), test::bytes(longer));
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    EXPECT_EQ(entry.atrLength, 16u);
}

TEST_F(Attributes, RemovalKeepsTheStoredAtrSoTheSameCardIsNotNew)
{
    cardPresentWithAtr(kCps1TestAtr);
    ASSERT_EQ(GetCardCapabilities(pcsc, entry), 27);
    pcsc.queue(FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kRemovedCard));
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27) << "a removal asks the refresh to reconnect";
    EXPECT_EQ(entry.cardPresence, 0);
    EXPECT_EQ(entry.atrLength, 15u);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 0) << "the same card back again";
    cardPresentWithAtr(kCarteBleueAtr);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27) << "another card";
}

TEST_F(Attributes, OnlyNoCardAnswersClearThePresence)
{
    struct Case {
        std::int32_t failure;
        std::uint8_t presence;
        DetailCode detail;
    };
    const Case cases[] = {{pcsc::kNoSmartcard, 0, 26},
                          {pcsc::kSystemNoMedia, 0, 26},
                          {pcsc::kRemovedCard, 0, 27},
                          {pcsc::kCommError, 4, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        FakePcsc fresh;
        entry.cardPresence = 4;
        entry.atrLength = 0;
        fresh.setDefault(FakePcsc::attribute(kAttrCardPresence), test::fail(c.failure));
        fresh.setDefault(FakePcsc::attribute(kAttrInterfaceStatus), test::bytes({1}));
        fresh.setDefault(FakePcsc::attribute(kAttrAtr), test::bytes({}));
        // An unchanged (empty) ATR returns the presence read's converted failure.
        EXPECT_EQ(GetCardCapabilities(fresh, entry), c.detail);
        EXPECT_EQ(entry.cardPresence, c.presence);
    }
}

TEST_F(Attributes, FailedInterfaceStatusIsRememberedButDoesNotStopTheAtrRead)
{
    cardPresentWithAtr(kCps1TestAtr);
    ASSERT_EQ(GetCardCapabilities(pcsc, entry), 27);
    pcsc.setDefault(FakePcsc::attribute(kAttrInterfaceStatus), test::fail(pcsc::kTimeout));
    pcsc.calls.clear();
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 3);
    EXPECT_EQ(pcsc.calls.size(), 3u);
}

TEST_F(Attributes, FailedAtrReadEndsEarlyWithItsConvertedCode)
{
    cardPresentWithAtr(kCps1TestAtr);
    pcsc.setDefault(FakePcsc::attribute(kAttrAtr), test::fail(pcsc::kUnresponsiveCard));
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 28) << "converted with card warnings as errors";
    EXPECT_EQ(entry.atrLength, 0u);
    EXPECT_TRUE(pcsc.callsOf("IntroduceCardType").empty());
}

TEST_F(Attributes, AtrTooLongForTheBufferIsAReadFailure)
{
    cardPresentWithAtr(std::vector<std::uint8_t>(33, 0x3B));
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 15);
    EXPECT_EQ(entry.atrLength, 0u);
}

TEST_F(Attributes, FullLengthAtrIsStoredWithoutTerminator)
{
    std::vector<std::uint8_t> atr(32);
    for (std::size_t i = 0; i < atr.size(); ++i) atr[i] = static_cast<std::uint8_t>(0x40 + i);
    cardPresentWithAtr(atr);
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    EXPECT_EQ(entry.atrLength, 32u);
    EXPECT_EQ(std::vector<std::uint8_t>(entry.atr, entry.atr + 32), atr);
    EXPECT_EQ(entry.cardTypePerAtr, 1) << "the field after the ATR is intact";
}

TEST_F(Attributes, FailedRegistrationOrTypeReadStillReportsANewCard)
{
    cardPresentWithAtr(kCps1TestAtr);
    pcsc.setDefault("IntroduceCardType", test::fail(pcsc::kInternalError));
    pcsc.setDefault(FakePcsc::attribute(kAttrCardTypePerAtr), test::fail(pcsc::kUnsupportedFeature));
    entry.cardTypePerAtr = 9;
    EXPECT_EQ(GetCardCapabilities(pcsc, entry), 27);
    EXPECT_EQ(entry.cardState, kCardPresent);
    EXPECT_EQ(entry.cardTypePerAtr, 9);
}

}  // namespace
}  // namespace ostrel
