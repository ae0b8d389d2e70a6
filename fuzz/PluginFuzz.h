#pragma once
// What the plug-in targets share: the statuses its exports document and a
// fake PC/SC service that lists two readers.

#include "FakePcsc.h"

#include <cstdint>

namespace ostrel::fuzz {

inline bool statutDocumente(std::uint16_t statut)
{
    switch (statut) {
    case 0x0000:
    case 0x0001:
    case 0x0004:
    case 0x0008:
    case 0x0010:
    case 0x0040:
    case 0x0200:
    case 0x0400:
    case 0x4000:
    case 0x800A:
    case 0x800C:
    case 0x800F: return true;
    default: return false;
    }
}

inline void deuxLecteurs(test::FakePcsc& pcsc)
{
    pcsc.setDefault("ListReaderGroups", test::names({"SCard$DefaultReaders"}));
    pcsc.setDefault("ListReaders", test::names({"Lecteur A 00 00", "Lecteur B 00 00"}));
}

}  // namespace ostrel::fuzz
