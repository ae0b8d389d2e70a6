#pragma once
// The cards the plug-in knows by their ATR, registered with the PC/SC service's card
// database when a new card is seen. The table is constant data of the library, in
// rows of 300 bytes; the first row with an ATR length of 0 ends it and stands for
// every card not listed.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel {

struct CardTypeRow {
    std::uint8_t atrLength[2];  // 16-bit little-endian
    std::uint8_t atr[33];
    char cardName[257];  // zero-terminated
    char issuer[8];      // zero-terminated, blank-padded where shorter
};
static_assert(sizeof(CardTypeRow) == 300);
static_assert(offsetof(CardTypeRow, atrLength) == 0);
static_assert(offsetof(CardTypeRow, atr) == 2);
static_assert(offsetof(CardTypeRow, cardName) == 35);
static_assert(offsetof(CardTypeRow, issuer) == 292);

inline constexpr std::size_t kCardTypeRows = 8;
extern const CardTypeRow CardTypeTable[kCardTypeRows];

using CardTypeIdentifier = std::array<std::uint8_t, 16>;

std::uint16_t atrLengthOf(const CardTypeRow& row);

// The first row whose ATR equals `atr`, or the terminating "Carte non reconnue" row.
const CardTypeRow& findCardType(const std::uint8_t* atr, std::uint32_t atrLength);

// The 16-byte provider identifier registered for a row: eight 'i' then the issuer field.
CardTypeIdentifier cardTypeIdentifier(const CardTypeRow& row);

}  // namespace ostrel
