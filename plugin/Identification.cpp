#include "Identification.h"

#include <cstring>

namespace ostrel {

void fillIdentification(unsigned char* record, std::uint16_t protocolNumber)
{
    std::memcpy(record + offsetof(IdentificationRecord, protocolName), kProtocolName, sizeof kProtocolName);
    unsigned char* number = record + offsetof(IdentificationRecord, protocolNumber);
    number[0] = static_cast<unsigned char>(protocolNumber & 0xFF);
    number[1] = static_cast<unsigned char>(protocolNumber >> 8);
    char* version = reinterpret_cast<char*>(record + offsetof(IdentificationRecord, version));
    version[0] = kVersionText[0];
    version[1] = kVersionText[1];
    version[2] = kVersionText[3];
    version[3] = kVersionText[4];
}

}  // namespace ostrel
