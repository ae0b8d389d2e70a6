#pragma once
// The two short answers of the reader command set, shared by the command files.

#include "PluginState.h"

namespace ostrel {

inline constexpr std::uint8_t kCrDone = 0x00;
inline constexpr std::uint8_t kCrRefused = 0x02;
inline constexpr std::uint8_t kCrForbidden = 0x03;
inline constexpr std::uint8_t kCrCardUnusable = 0x10;
inline constexpr std::uint8_t kCrNotPowered = 0x11;
inline constexpr std::uint8_t kCrStillPresent = 0x12;
inline constexpr std::uint8_t kCrWrongLength = 0x13;
inline constexpr std::uint8_t kCrAlreadyPowered = 0x14;
inline constexpr std::uint8_t kCrBadFrequency = 0x15;
inline constexpr std::uint8_t kCrCounterError = 0x16;
inline constexpr std::uint8_t kCrCardAbsent = 0x17;

inline constexpr std::uint32_t kStateAnswerLength = 3;

// Report code alone. Even one byte needs room: a capacity of 0 writes nothing.
inline DetailCode answerCode(const Exchange& x, std::uint8_t code)
{
    if (x.capacity < 1) return kDetailBufferTooSmall;
    x.response[0] = code;
    *x.length = 1;
    return kDetailOk;
}

// Report code, card state and change counter. Callers have checked the capacity.
inline DetailCode answerState(const Exchange& x, std::uint8_t code)
{
    if (x.capacity < kStateAnswerLength) return kDetailBufferTooSmall;
    x.response[0] = code;
    x.response[1] = x.entry.cardState;
    x.response[2] = x.entry.cardCounter;
    *x.length = kStateAnswerLength;
    return kDetailOk;
}

}  // namespace ostrel
