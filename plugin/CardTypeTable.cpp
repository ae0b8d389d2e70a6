#include "CardTypeTable.h"

#include <algorithm>
#include <cstring>

#if defined(_MSC_VER)
#pragma section(".cardtyp", read)
#define OSTREL_CARD_SECTION __declspec(allocate(".cardtyp"))
#else
#define OSTREL_CARD_SECTION __attribute__((section(".cardtyp"), used))
#endif

namespace ostrel {

OSTREL_CARD_SECTION const CardTypeRow CardTypeTable[kCardTypeRows] = {
    {{15, 0},
     {0x3B, 0x2C, 0x00, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x81, 0x00, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 1 Test",
     "GIP-CPS"},
    {{17, 0},
     {0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x00, 0x01, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 1 Cible",
     "GIP-CPS"},
    {{17, 0},
     {0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x81, 0x02, 0x10, 0x00, 0x90, 0x00},
     "Carte CPS 2 Test",
     "GIP-CPS"},
    {{17, 0},
     {0x3B, 0xAC, 0x00, 0x40, 0x2A, 0x00, 0x12, 0x25, 0x00, 0x64, 0x80, 0x82, 0x02, 0x12, 0x00, 0x90, 0x00},
     "Carte CPS 2 Bis Test",
     "GIP-CPS"},
    {{9, 0}, {0x3F, 0x65, 0x25, 0x00, 0x2C, 0x09, 0x69, 0x90, 0x00}, "Carte Ambrel 1", "KOR-AMB"},
    {{9, 0}, {0x3F, 0x65, 0x25, 0x08, 0x38, 0x04, 0x6C, 0x90, 0x00}, "Carte Bleue", "GIE-CB "},
    {{10, 0}, {0x3B, 0x27, 0x00, 0x80, 0x65, 0xA2, 0x06, 0x01, 0x01, 0x37}, "Carte GemSAFE 4K", "GEMPLUS"},
    {{0, 0}, {}, "Carte non reconnue", "XXX-XXX"},
};

std::uint16_t atrLengthOf(const CardTypeRow& row)
{
    return static_cast<std::uint16_t>(row.atrLength[0] | (row.atrLength[1] << 8));
}

const CardTypeRow& findCardType(const std::uint8_t* atr, std::uint32_t atrLength)
{
    const CardTypeRow* row = CardTypeTable;
    for (; atrLengthOf(*row) != 0; ++row) {
        if (atrLengthOf(*row) == atrLength && std::memcmp(row->atr, atr, atrLength) == 0) break;
    }
    return *row;
}

CardTypeIdentifier cardTypeIdentifier(const CardTypeRow& row)
{
    CardTypeIdentifier identifier{};
    std::fill_n(identifier.begin(), 8, static_cast<std::uint8_t>('i'));
    std::memcpy(identifier.data() + 8, row.issuer, sizeof row.issuer);
    return identifier;
}

}  // namespace ostrel
