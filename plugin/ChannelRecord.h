#pragma once
// One configured PC/SC channel. The field widths are internal: contexts and handles
// keep the platform's own width; only the exports and the identification record are
// external layouts.

#include "pcsc/PcscApi.h"

#include <array>
#include <cstdint>

namespace ostrel {

inline constexpr std::uint16_t kFlagConfigured = 0x01;
inline constexpr std::uint16_t kFlagContext = 0x02;
inline constexpr std::uint16_t kFlagSharedMode = 0x10;
inline constexpr std::uint16_t kFlagDirectMode = 0x20;
inline constexpr std::uint16_t kFlagExclusiveMode = 0x40;
inline constexpr std::uint16_t kFlagTransaction = 0x80;
// Clears the three connection-mode bits together before every connection attempt.
inline constexpr std::uint16_t kFlagModeMask = 0xFF8F;

inline constexpr std::uint8_t kCardAbsent = 0;
inline constexpr std::uint8_t kCardPresent = 1;
inline constexpr std::uint8_t kCardPowered = 3;

inline constexpr std::size_t kReaderNameSize = 257;
inline constexpr std::size_t kVendorNameSize = 33;
inline constexpr std::size_t kAtrSize = 32;

struct ChannelRecord {
    // The channel's Index from the configuration; 0 marks a free entry.
    std::uint8_t channel = 0;
    std::uint16_t flags = 0;
    std::uint16_t connectionCount = 0;
    pcsc::ReaderState readerState;
    // 1 is T=0.
    std::uint32_t activeProtocol = 0;
    pcsc::Context context = 0;
    pcsc::Handle card = 0;
    std::uint8_t cardState = kCardAbsent;
    // Steps on every change of card state and of card; wraps from 255 to 0.
    std::uint8_t cardCounter = 0;
    char readerName[kReaderNameSize] = {};
    char vendorName[kVendorNameSize] = {};
    // Build number in the low 16 bits, minor in the next byte, major in the top byte.
    std::uint32_t driverVersion = 0;
    // Interface type in the high 16 bits.
    std::uint32_t channelId = 0;
    std::uint32_t defaultClockKHz = 0;
    std::uint32_t maximumClockKHz = 0;
    std::uint32_t defaultDataRate = 0;
    std::uint32_t maximumDataRate = 0;
    // Non-zero when the reader can power the card off.
    std::uint32_t powerManagement = 0;
    // 0x1 swallowing, 0x2 ejection, 0x4 capture.
    std::uint32_t mechanicalCharacteristics = 0;
    // 0 absent, 1 present, 2 present and swallowed, 4 present and captured.
    std::uint8_t cardPresence = 0;
    // Non-zero while the card contacts are active.
    std::uint8_t cardInterfaceStatus = 0;
    std::uint32_t atrLength = 0;
    std::uint8_t atr[kAtrSize] = {};
    // 1 ISO 7816 asynchronous, 2 ISO 7816 synchronous.
    std::uint8_t cardTypePerAtr = 0;
    std::uint32_t currentProtocolType = 0;
    std::uint32_t currentBwt = 0;
    std::uint32_t currentN = 0;
    std::uint32_t currentCwt = 0;
    std::uint32_t currentW = 0;
};

// The counter is 8-bit on purpose: the access manager compares it as one byte and
// treats 0 in a request as "no counter given".
inline void stepCardCounter(ChannelRecord& entry)
{
    entry.cardCounter = static_cast<std::uint8_t>(entry.cardCounter + 1);
}

// Every change of the card state steps the counter, so the access manager sees it.
inline void setCardState(ChannelRecord& entry, std::uint8_t state)
{
    if (entry.cardState == state) return;
    entry.cardState = state;
    stepCardCounter(entry);
}

inline bool hasFlag(const ChannelRecord& entry, std::uint16_t flag)
{
    return (entry.flags & flag) != 0;
}

// The three connection-mode bits go together: at most one of them is ever set.
inline void clearMode(ChannelRecord& entry)
{
    entry.flags &= kFlagModeMask;
}

inline void setMode(ChannelRecord& entry, std::uint16_t mode)
{
    clearMode(entry);
    entry.flags |= mode;
}

inline bool inTransaction(const ChannelRecord& entry)
{
    return hasFlag(entry, kFlagTransaction);
}

inline void markTransaction(ChannelRecord& entry)
{
    entry.flags |= kFlagTransaction;
}

inline void dropTransaction(ChannelRecord& entry)
{
    entry.flags &= static_cast<std::uint16_t>(~kFlagTransaction);
}

// Both low bits set: the card is powered.
inline bool isPowered(std::uint8_t cardState)
{
    return (cardState & kCardPowered) == kCardPowered;
}

inline constexpr std::size_t kChannelTableSize = 10;
using ChannelTable = std::array<ChannelRecord, kChannelTableSize>;

}  // namespace ostrel
