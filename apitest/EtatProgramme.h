#pragma once
// Program-wide state shared by the sheets, pages and dialogs: the API table,
// the configuration path and the last session numbers. The program has one
// instance (etatProgramme()); tests build their own over a fake table.

#include <cstdint>
#include <string>

#include "api/TableFonctionsLecture.h"

namespace quintor {

class Presentateur;

struct EtatProgramme {
    TableFonctionsLecture Table;
    std::string CheminPartage;
    std::int32_t SessionAmbrel = 0;
    std::int32_t SessionCps = 0;
    // Null means messages are dropped (nothing to show them on).
    Presentateur* presentateur = nullptr;

    // Shows a message through the presenter when there is one.
    void avertir(const std::string& texte) const;
};

// The platform's path separator, appended to the current directory.
#ifdef _WIN32
inline constexpr char kSeparateur = '\\';
#else
inline constexpr char kSeparateur = '/';
#endif

// Capacity of the buffer the current directory is read into, NUL included.
inline constexpr std::size_t kTailleRepertoire = 512;

// The current directory followed by the separator. A directory that does not
// fit the 512-byte buffer with its separator (or cannot be read) gives the
// relative form "." + separator, which names the same directory.
std::string cheminInitial();

// Same rule for a given directory text, so the limit can be tested.
std::string cheminDepuisRepertoire(const std::string& repertoire);

// The program's single instance; CheminPartage is built on first use.
EtatProgramme& etatProgramme();

}  // namespace quintor
