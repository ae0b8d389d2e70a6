#pragma once
// The access manager knows only status codes: nothing thrown inside the plug-in may
// reach it. An exception is answered as an internal error.

#include "PluginState.h"

#include <cstdint>

namespace ostrel {

inline constexpr std::uint16_t kStatusInternal = 0x0001;

// `state` is read only after a throw, so it may be the pointer that `call` sets up on
// first use; while it is still null there are no registers to keep the detail in.
template <typename Call>
std::uint16_t answerWithoutThrowing(PluginState* const& state, Call&& call) noexcept
{
    try {
        return call();
    } catch (...) {
        if (state == nullptr) return kStatusInternal;
        return state->SetLastStatus(kDetailInternal);
    }
}

}  // namespace ostrel
