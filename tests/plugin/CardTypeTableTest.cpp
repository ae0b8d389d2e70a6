// The card-type table as bytes of the library: 300-byte rows, and the lookup by ATR.

#include "CardTypeTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ostrel {
namespace {

struct KnownCard {
    std::vector<std::uint8_t> atr;
    const char* name;
    std::string issuer;  // the 8 bytes, terminator included
};

const KnownCard kKnownCards[] = {
    {{0x3B, 0x2C, 0x00, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x81, 0x00, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 1 Test",
     std::string("GIP-CPS\0", 8)},
    {{0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x00, 0x01, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 1 Cible",
     std::string("GIP-CPS\0", 8)},
    {{0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x81, 0x02, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 2 Test",
     std::string("GIP-CPS\0", 8)},
    {{0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x82, 0x02, 0x12, 0x00, 0x90, 0x00},
     "Carte CPS 2 Bis Test",
     std::string("GIP-CPS\0", 8)},
    {{0x3F, 0x65, 0x25, 0x00, 0x2C, 0x09, 0x69, 0x90, 0x00}, "Carte Ambrel 1", std::string("KOR-AMB\0", 8)},
    {{0x3F, 0x65, 0x25, 0x08, 0x38, 0x04, 0x6C, 0x90, 0x00}, "Carte Bleue", std::string("GIE-CB \0", 8)},
    {{0x3B, 0x27, 0x00, 0x80, 0x65, 0xA2, 0x06, 0x01, 0x01, 0x37},
     "Carte GemSAFE 4K",
     std::string("GEMPLUS\0", 8)},
};

TEST(CardTypeTable, RowsAreThreeHundredBytesInTableOrder)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(CardTypeTable);
    ASSERT_EQ(sizeof CardTypeTable, 8u * 300u);
    for (std::size_t row = 0; row < 7; ++row) {
        SCOPED_TRACE(row);
        const std::uint8_t* at = bytes + 300 * row;
        const KnownCard& card = kKnownCards[row];
        EXPECT_EQ(at[0], card.atr.size());
        EXPECT_EQ(at[1], 0) << "16-bit little-endian length";
        EXPECT_EQ(std::vector<std::uint8_t>(at + 2, at + 2 + card.atr.size()), card.atr);
        EXPECT_STREQ(reinterpret_cast<const char*>(at + 35), card.name);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(at + 292), 8), card.issuer);
    }
    const std::uint8_t* last = bytes + 300 * 7;
    EXPECT_EQ(last[0] | last[1] << 8, 0);
    EXPECT_STREQ(reinterpret_cast<const char*>(last + 35), "Carte non reconnue");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(last + 292), 8), std::string("XXX-XXX\0", 8));
}

TEST(CardTypeTable, EachKnownAtrFindsItsRow)
{
    for (const KnownCard& card : kKnownCards) {
        SCOPED_TRACE(card.name);
        const CardTypeRow& row = findCardType(card.atr.data(), static_cast<std::uint32_t>(card.atr.size()));
        EXPECT_STREQ(row.cardName, card.name);
        const CardTypeIdentifier id = cardTypeIdentifier(row);
        EXPECT_EQ(std::string(id.begin(), id.begin() + 8), "iiiiiiii");
        EXPECT_EQ(std::string(id.begin() + 8, id.end()), card.issuer);
    }
}

TEST(CardTypeTable, PrefixOrExtensionOfAKnownAtrIsNotRecognised)
{
    const std::vector<std::uint8_t>& bleue = kKnownCards[5].atr;
    EXPECT_STREQ(findCardType(bleue.data(), 8).cardName, "Carte non reconnue");
    std::vector<std::uint8_t> longer = bleue;
    longer.push_back(0x00);
    EXPECT_STREQ(findCardType(longer.data(), 9 + 1).cardName, "Carte non reconnue");
    std::vector<std::uint8_t> changed = bleue;
    changed[3] ^= 1;
    EXPECT_STREQ(findCardType(changed.data(), 9).cardName, "Carte non reconnue");
}

TEST(CardTypeTable, EmptyAtrIsNotRecognised)
{
    const std::uint8_t none[1] = {0};
    EXPECT_STREQ(findCardType(none, 0).cardName, "Carte non reconnue");
}

}  // namespace
}  // namespace ostrel
