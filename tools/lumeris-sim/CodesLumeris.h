#pragma once
// Return codes of the stand-in card-reading API (documented in README.md).

#include <cstdint>

namespace lumeris::sim {

enum Code : std::uint16_t {
    kOk = 0,
    kArgumentInvalide = 1,
    kSessionInconnue = 2,
    kCarteAbsente = 3,
    kCarteNonIntroduite = 4,
    kTamponTropPetit = 5,
    kCodePorteurFaux = 6,
    kCarteBloquee = 7,
    kNonInitialise = 8,
    kDejaInitialise = 9,
    kCodeIntrouvable = 10,
    kTropDeSessions = 11,
    kCoupleurInconnu = 12,
    kFichiersIntrouvables = 32,
    kErreurInterne = 99,
};

// Wrong holder codes accepted before the card blocks.
inline constexpr int kEssaisCodePorteur = 3;
// Open sessions per card family.
inline constexpr int kSessionsMax = 16;

}  // namespace lumeris::sim
