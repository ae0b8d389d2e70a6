#pragma once
// An ATR taken apart as ISO/IEC 7816-3 lays it out, offline: convention, format byte,
// interface bytes, protocols, historical bytes and check byte, and the card type the
// plug-in's table gives for it.

#include "Commands.h"

#include <string>
#include <vector>

namespace tuvex_host {

struct AtrByte {
    std::string name;  // "TS", "T0", "TA1", ..., "TCK"
    std::uint8_t value = 0;
    std::string meaning;
};

struct AtrDecoding {
    std::string error;  // empty when the ATR is complete
    std::vector<AtrByte> bytes;
    std::vector<unsigned> protocols;  // offered, in order; T=0 when no TD1
    Bytes historical;
    bool tckPresent = false;
    bool tckCorrect = false;
    std::string cardType;  // from the plug-in's card-type table
    std::string issuer;
    bool recognised = false;
};

AtrDecoding decodeAtr(const Bytes& atr);

// The decoding as indented text lines, each ending in a line break.
std::string atrText(const AtrDecoding& decoding);

}  // namespace tuvex_host
