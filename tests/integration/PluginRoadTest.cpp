// The plug-in's whole road on the real PC/SC stack: the built library over pcsc-lite,
// a private pcscd and the virtual readers, with cards the test inserts, pulls and
// changes. Every response is checked byte for byte; the card counter moves as on the
// scripted PC/SC service of the unit tests.

#include "PluginOverPcscd.h"

namespace {

using integration::Bytes;
using integration::kPowerOn;
using integration::kPresence;
using integration::kSelfTest;
using integration::PluginOverPcscd;
using virtual_reader::parseHex;

const Bytes kAmbrel = *parseHex(integration::kAmbrelAtr);
const Bytes kCps2 = *parseHex(integration::kCps2TestAtr);
// Card instruction, counter not checked: read two bytes.
const Bytes kRead{0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02};

class PluginRoad : public PluginOverPcscd {
protected:
    std::string driverStatus(std::size_t reader) { return pcscd->control(reader).send("status"); }
};

// The patient card's whole road is the shared script (RoadScript.cpp), which the
// Windows build runs too.

TEST_F(PluginRoad, EveryCardOfTheTableIsPoweredOnT0AfterAChange)
{
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    open(1);
    for (const char* atrText :
         {integration::kCps1TestAtr, "3BAC00402A001225006480000110009000", integration::kCps2TestAtr,
          "3BAC00402A001225006480820212009000", integration::kAmbrelAtr, "3F65250838046C9000",
          "3B27008065A206010137", integration::kUnknownAtr}) {
        SCOPED_TRACE(atrText);
        ASSERT_TRUE(pcscd->replaceCard(0, atrText));
        const Bytes presence = exchange(1, kPresence);
        ASSERT_EQ(presence.size(), 3u);
        EXPECT_EQ(presence[0], 0x00);
        EXPECT_EQ(presence[1], 0x01);
        const Bytes powered = exchange(1, kPowerOn);
        EXPECT_EQ(powered,
                  withData({0x00, 0x03, static_cast<std::uint8_t>(presence[2] + 1)}, *parseHex(atrText)));
    }
}

TEST_F(PluginRoad, ACardThatSpeaksOnlyT1IsReportedUnusableWithItsAtr)
{
    // TS, T0 with TD1, TD1 offering T=1 only, and the check byte.
    const Bytes t1Atr{0x3B, 0x80, 0x01, 0x81};
    ASSERT_TRUE(pcscd->insertCard(0, "3B800181"));
    open(1);
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x10, 0x03, 0x04}, t1Atr));
    const Bytes answer = exchange(1, kRead);
    EXPECT_EQ(answer, Bytes{});
    EXPECT_EQ(status, 0x0200) << lastDetail();
    EXPECT_NE(pcscd->control(0).send("status").find(" protocol=2 "), std::string::npos);
}

TEST_F(PluginRoad, ReaderWithoutACardUntilOneIsInserted)
{
    // Exclusivity on an empty reader holds it directly and sets state 1 (counter 2);
    // the first refresh finds no card: state 0, counter 3.
    open(1);
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x00, 0x03}));
    EXPECT_EQ(exchange(1, kPowerOn), (Bytes{0x00, 0x00, 0x03}));
    EXPECT_EQ(exchange(1, kRead), (Bytes{0x17, 0x00, 0x03}));
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x01, 0x04}));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x00, 0x03, 0x05}, kAmbrel));
}

TEST_F(PluginRoad, ReaderAnsweringNoAttributeTakesTheSameRoad)
{
    ASSERT_TRUE(pcscd->control(0).ok("attributes off"));
    ASSERT_TRUE(pcscd->control(0).ok("script 00B0000002 12349000"));
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    open(1);
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x00, 0x03, 0x04}, kAmbrel));
    EXPECT_EQ(exchange(1, kRead), (Bytes{0x00, 0x03, 0x04, 0x12, 0x34, 0x90, 0x00}));
    // Nothing known of the reader: zero version, timings and clock.
    Bytes selfTest{0x00, 0x12, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    selfTest.resize(27, 0xFF);
    EXPECT_EQ(exchange(1, kSelfTest), selfTest);
    ASSERT_TRUE(pcscd->control(0).ok("fail-next-transmit"));
    EXPECT_EQ(exchange(1, kRead), (Bytes{0x16, 0x00, 0x05}));
    ASSERT_TRUE(pcscd->waitForCard(0, false));
    ASSERT_TRUE(pcscd->insertCard(0, integration::kCps2TestAtr));
    // Another card: present, a new counter, and the old counter refused.
    const Bytes presence = exchange(1, kPresence);
    ASSERT_EQ(presence.size(), 3u);
    EXPECT_EQ(presence[0], 0x00);
    EXPECT_EQ(presence[1], 0x01);
    EXPECT_NE(presence[2], 0x05);
    EXPECT_EQ(exchange(1, {0, 0, 0x00, 0x05, 0x00, 0xB0, 0x00, 0x00, 0x02}),
              (Bytes{0x16, 0x01, presence[2]}));
    EXPECT_EQ(exchange(1, kPowerOn),
              withData({0x00, 0x03, static_cast<std::uint8_t>(presence[2] + 1)}, kCps2));
}

TEST_F(PluginRoad, TwoChannelsOnTwoReadersKeepTheirOwnCards)
{
    ASSERT_TRUE(pcscd->insertCard(1, integration::kCps2TestAtr));
    ASSERT_TRUE(pcscd->control(1).ok("script 00B0000002 56789000"));
    open(1);
    ASSERT_EQ(exports.connect(3, 2, ""), 0) << lastDetail();
    ASSERT_EQ(exports.setExclusivity(3, 2, 0), 0) << lastDetail();
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x00, 0x03}));
    EXPECT_EQ(exchange(2, kPresence), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(exchange(2, kPowerOn), withData({0x00, 0x03, 0x04}, kCps2));
    EXPECT_EQ(exchange(2, kRead), (Bytes{0x00, 0x03, 0x04, 0x56, 0x78, 0x90, 0x00}));
    EXPECT_EQ(exchange(1, kRead), (Bytes{0x17, 0x00, 0x03}));
    EXPECT_NE(driverStatus(0).find(" transmits=0 "), std::string::npos);
    EXPECT_NE(driverStatus(1).find(" transmits=1 "), std::string::npos);
    // Channel 1 gets its card; channel 2's counter does not move.
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x00, 0x03, 0x05}, kAmbrel));
    EXPECT_EQ(exchange(2, kPresence), (Bytes{0x00, 0x03, 0x04}));
    EXPECT_EQ(exports.releaseExclusivity(3, 2, 0), 0);
    EXPECT_EQ(exports.disconnect(3, 2), 0);
    EXPECT_EQ(exchange(2, kPresence), Bytes{});
    EXPECT_EQ(status, 0x0008);
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x03, 0x05}));
}

}  // namespace
