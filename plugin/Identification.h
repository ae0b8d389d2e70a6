#pragma once
// What the plug-in says about itself: the record that ProIdentify fills and the texts
// of the version resource and of the stamp lines in the library's data.

#include "Version.h"

#include <cstddef>
#include <cstdint>

namespace ostrel {

inline constexpr char kProtocolName[] = OSTREL_PROTOCOL_NAME;
inline constexpr char kVersionText[] = OSTREL_VERSION_TEXT;
inline constexpr char kStatusText[] = "Erreur PCSC";

// Little-endian interface record of 106 bytes.
struct IdentificationRecord {
    char protocolName[100];
    std::uint8_t protocolNumber[2];
    // '0', '1', '0', '9': the digits of "01.09" as characters, without the dot.
    char version[4];
};
static_assert(sizeof(IdentificationRecord) == 106);
static_assert(offsetof(IdentificationRecord, protocolNumber) == 100);
static_assert(offsetof(IdentificationRecord, version) == 102);

// Writes the name with its terminator (21 bytes), the protocol number and the version
// characters; the rest of the name field keeps whatever the caller had there.
void fillIdentification(unsigned char* record, std::uint16_t protocolNumber);

}  // namespace ostrel
