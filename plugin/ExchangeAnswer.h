#pragma once
// The two short answers of the reader command set, shared by the command files.

#include "OstrelCodes.h"
#include "PluginState.h"

namespace ostrel {

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
