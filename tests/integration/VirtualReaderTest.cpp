// The virtual reader's model on its own: its control commands, its card and its
// attributes, as the driver hands them to pcscd.

#include "VirtualReader.h"

#include <gtest/gtest.h>

namespace {

using virtual_reader::Bytes;
using virtual_reader::Outcome;
using virtual_reader::VirtualReader;

TEST(VirtualReaderHex, ParsesSeparatedOrPackedDigitsAndRefusesTheRest)
{
    EXPECT_EQ(virtual_reader::parseHex("3F6525"), (Bytes{0x3F, 0x65, 0x25}));
    EXPECT_EQ(virtual_reader::parseHex("3f 65:25"), (Bytes{0x3F, 0x65, 0x25}));
    EXPECT_EQ(virtual_reader::parseHex(""), Bytes{});
    for (const char* bad : {"3", "3 F", "GG", "3F6", "0x3F"})
        EXPECT_FALSE(virtual_reader::parseHex(bad).has_value()) << bad;
    EXPECT_EQ(virtual_reader::toHex({0x00, 0xAB, 0x9F}), "00AB9F");
}

TEST(VirtualReaderControl, RefusesMalformedCommandsAndKeepsItsState)
{
    VirtualReader reader;
    ASSERT_EQ(reader.control("insert 3F652500"), "ok");
    const std::string longAtr(34 * 2, 'A');
    for (const std::string& bad : std::vector<std::string>{
             "", "insert", "insert 3G", "insert " + longAtr, "remove now", "script 00B0", "script 00B0 90",
             "script XX 9000", "attributes maybe", "attr 0x90300", "attr zz 01", "attr 12 0", "shake"}) {
        const std::string answer = reader.control(bad);
        EXPECT_EQ(answer.rfind("error ", 0), 0u) << bad << " -> " << answer;
    }
    EXPECT_TRUE(reader.present());
    Bytes atr;
    ASSERT_EQ(reader.powerUp(atr), Outcome::Ok);
    EXPECT_EQ(atr, (Bytes{0x3F, 0x65, 0x25, 0x00}));
}

TEST(VirtualReaderCard, AnswersScriptedInstructionsExactlyAndCountsThem)
{
    VirtualReader reader;
    ASSERT_EQ(reader.control("insert 3B021234"), "ok");
    ASSERT_EQ(reader.control("script 00A40400023F00 6100"), "ok");
    ASSERT_EQ(reader.control("script 00B0000004 DEADBEEF9000"), "ok");
    Bytes answer;
    EXPECT_EQ(reader.transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, 265, answer), Outcome::NotPowered);
    ASSERT_EQ(reader.powerUp(answer), Outcome::Ok);
    EXPECT_EQ(reader.transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, 265, answer), Outcome::Ok);
    EXPECT_EQ(answer, (Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0x90, 0x00}));
    EXPECT_EQ(reader.transmit({0x00, 0xA4, 0x04, 0x00, 0x02, 0x3F, 0x00}, 265, answer), Outcome::Ok);
    EXPECT_EQ(answer, (Bytes{0x61, 0x00}));
    // A prefix of a scripted instruction is another instruction.
    EXPECT_EQ(reader.transmit({0x00, 0xB0, 0x00, 0x00}, 265, answer), Outcome::Ok);
    EXPECT_EQ(answer, virtual_reader::kUnknownInstruction);
    EXPECT_EQ(reader.transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, 5, answer), Outcome::BufferTooSmall);
    EXPECT_EQ(reader.control("status"),
              "ok present=1 powered=1 protocol=0 transmits=4 polls=0 last=00B0000004");
    ASSERT_EQ(reader.control("clear-script"), "ok");
    EXPECT_EQ(reader.transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, 265, answer), Outcome::Ok);
    EXPECT_EQ(answer, virtual_reader::kUnknownInstruction);
}

TEST(VirtualReaderCard, AFailedTransmissionTakesTheCardOutOnce)
{
    VirtualReader reader;
    ASSERT_EQ(reader.control("insert 3B00"), "ok");
    Bytes answer;
    ASSERT_EQ(reader.powerUp(answer), Outcome::Ok);
    ASSERT_EQ(reader.control("fail-next-transmit"), "ok");
    EXPECT_EQ(reader.transmit({0x00, 0xC0, 0x00, 0x00, 0x00}, 265, answer), Outcome::NoCard);
    EXPECT_FALSE(reader.poll());
    EXPECT_EQ(reader.powerUp(answer), Outcome::NoCard);
    EXPECT_NE(reader.control("status").find(" polls=1 "), std::string::npos);
    ASSERT_EQ(reader.control("insert 3B00"), "ok");
    ASSERT_EQ(reader.powerUp(answer), Outcome::Ok);
    EXPECT_EQ(reader.transmit({0x00, 0xC0, 0x00, 0x00, 0x00}, 265, answer), Outcome::Ok);
}

struct AttributeCase {
    std::uint32_t id;
    Bytes withCard;
    Bytes withoutCard;
};

TEST(VirtualReaderAttributes, FollowTheCardAndTheOverridesOrAnswerNothing)
{
    const std::vector<AttributeCase> cases = {
        {0x10102, {0x03, 0x00, 0x02, 0x01}, {0x03, 0x00, 0x02, 0x01}},
        {0x20110, {0x02, 0x00, 0xF0, 0x00}, {0x02, 0x00, 0xF0, 0x00}},
        {0x30122, {0xC0, 0x12, 0x00, 0x00}, {0xC0, 0x12, 0x00, 0x00}},
        {0x80201, {0x01, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}},
        {0x90300, {0x02}, {0x00}},
        {0x90301, {0x01}, {0x00}},
        {0x90303, {0x3B, 0x02, 0x14, 0x50}, {}},
        {0x90304, {0x01}, {0x00}},
    };
    VirtualReader reader(2);
    ASSERT_EQ(reader.control("insert 3B021450"), "ok");
    Bytes value;
    ASSERT_EQ(reader.powerUp(value), Outcome::Ok);
    reader.setProtocol(1);
    for (const auto& c : cases) {
        ASSERT_EQ(reader.attribute(c.id, value), Outcome::Ok) << std::hex << c.id;
        EXPECT_EQ(value, c.withCard) << std::hex << c.id;
    }
    ASSERT_EQ(reader.control("remove"), "ok");
    for (const auto& c : cases) {
        ASSERT_EQ(reader.attribute(c.id, value), Outcome::Ok) << std::hex << c.id;
        EXPECT_EQ(value, c.withoutCard) << std::hex << c.id;
    }
    EXPECT_EQ(reader.attribute(0x7A007, value), Outcome::NoSuchAttribute);

    ASSERT_EQ(reader.control("attr 0x30122 94110000"), "ok");
    ASSERT_EQ(reader.attribute(0x30122, value), Outcome::Ok);
    EXPECT_EQ(value, (Bytes{0x94, 0x11, 0x00, 0x00}));

    ASSERT_EQ(reader.control("attributes off"), "ok");
    for (const auto& c : cases) EXPECT_EQ(reader.attribute(c.id, value), Outcome::NoSuchAttribute);
    EXPECT_EQ(reader.attribute(0x30122, value), Outcome::NoSuchAttribute);
    ASSERT_EQ(reader.control("attributes on"), "ok");
    EXPECT_EQ(reader.attribute(0x90300, value), Outcome::Ok);
}

}  // namespace
