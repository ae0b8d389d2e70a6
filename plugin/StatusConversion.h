#pragma once
// The two fixed tables that carry every result to the access manager: PC/SC results
// to the plug-in's own DetailCode, and DetailCode to the 16-bit status of the exports.

#include <cstdint>
#include <optional>

namespace ostrel {

using DetailCode = std::uint16_t;

inline constexpr DetailCode kDetailOk = 0;
inline constexpr DetailCode kDetailNullArgument = 1;
// Also: service stopped or unusable reader, never initialised, no work buffer.
inline constexpr DetailCode kDetailNotConnected = 2;
inline constexpr DetailCode kDetailNotReady = 3;
// Also: request of the wrong length for its command.
inline constexpr DetailCode kDetailMemoryNotAccessible = 4;
inline constexpr DetailCode kDetailBadChannel = 5;
inline constexpr DetailCode kDetailNoChannelList = 10;
inline constexpr DetailCode kDetailBadChannelEntry = 11;
inline constexpr DetailCode kDetailNoContext = 14;
inline constexpr DetailCode kDetailBufferTooSmall = 15;
inline constexpr DetailCode kDetailCommunication = 16;
inline constexpr DetailCode kDetailReaderUnavailable = 17;
inline constexpr DetailCode kDetailReaderNotFound = 18;
inline constexpr DetailCode kDetailNoIndex = 19;
inline constexpr DetailCode kDetailUnknownResult = 20;
inline constexpr DetailCode kDetailInternal = 21;
inline constexpr DetailCode kDetailSharingViolation = 22;
inline constexpr DetailCode kDetailProtocolMismatch = 24;
inline constexpr DetailCode kDetailInvalidValue = 25;
inline constexpr DetailCode kDetailNoCard = 26;
// Card reset, removed, unpowered or changed: handled inside by reconnecting.
inline constexpr DetailCode kDetailCardChanged = 27;
inline constexpr DetailCode kDetailCardUnusable = 28;
inline constexpr DetailCode kDetailTableFull = 0x1000;

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
