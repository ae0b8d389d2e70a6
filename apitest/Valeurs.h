#pragma once
// Value helpers shared by the pages and the text dialog: number reading,
// display forms, byte-buffer rendering and label layout.

#include <cstdint>
#include <string>
#include <string_view>

namespace quintor {

// Reads a number typed into an edit field: leading blanks (spaces only), an
// optional sign followed by optional blanks, then decimal digits up to the
// first other character. No digit gives 0. Values beyond the signed 32-bit
// range saturate at INT32_MIN / INT32_MAX instead of wrapping.
std::int32_t ValeurEntiere(std::string_view texte);

// Display form "%d (0x%04x)" with the same value twice. Callers pass the value
// already widened the way its kind requires: a 16-bit unsigned value masked
// (65535 gives "65535 (0xffff)"), a 16-bit signed value sign-extended (-1 gives
// "-1 (0xffffffff)"), a 32-bit length as it is, a status byte as its value.
std::string CodeAffiche(std::int32_t valeur);
inline std::string CodeAffiche(std::uint32_t valeur)
{
    return CodeAffiche(static_cast<std::int32_t>(valeur));
}

// Plain "%d".
std::string Decimal(std::int32_t valeur);

// Renders a byte buffer into `out` (previous content replaced):
// 1 the bytes as characters, 2 "%02x " per byte, 3 the bytes up to the first
// zero byte (the length is ignored), other types "Type de données inconnu".
// For types 1 and 2 a length of zero or less gives the empty string.
// `data` may be null only when nothing is read from it.
void FormaterValeur(std::int32_t longueur, const unsigned char* data, int type, std::string& out);

inline constexpr const char* kTypeInconnu = "Type de données inconnu";

// Lays a dictionary label out for the text dialog: two tabs centre the rest
// of their line on about 68 columns, a single tab is dropped, and a bare line
// feed becomes CR LF (except at the very start).
std::string MiseEnFormeLibelle(std::string_view libelle);

}  // namespace quintor
