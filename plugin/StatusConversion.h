#pragma once
// The two fixed tables that carry every result to the access manager: PC/SC results
// to the plug-in's own DetailCode, and DetailCode to the 16-bit status of the exports.

#include "OstrelCodes.h"

#include <cstdint>
#include <optional>

namespace ostrel {

inline constexpr std::uint16_t kStatusOk = 0x0000;
inline constexpr std::uint16_t kStatusBadArgument = 0x4000;
inline constexpr std::uint16_t kStatusNotConnected = 0x0008;
inline constexpr std::uint16_t kStatusBufferTooSmall = 0x0010;

// `result` is a PC/SC result with WinSCard's bit pattern, or a system error code that
// a reader driver passed through. With `cardWarningsAreSuccess` the card warnings
// (removed, reset, unpowered, unsupported, unresponsive, invalid ATR) count as success.
DetailCode PcscToDetail(std::int32_t result, bool cardWarningsAreSuccess);

// The status that SetLastStatus stores for `detail`, or nothing when the status
// register keeps its previous value (card changed, and codes never produced).
std::optional<std::uint16_t> statusForDetail(DetailCode detail);

}  // namespace ostrel
