#pragma once
// A scripted stand-in for the API table: every entry point records its name
// and arguments (buffers as raw bytes) and answers with the scripted values.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "EtatProgramme.h"

namespace quintor::test {

struct Appel {
    std::string nom;
    std::vector<std::string> args;
};

struct FausseApi {
    std::vector<Appel> appels;
    // Return code per entry point name; 0 when absent.
    std::map<std::string, std::uint16_t> retours;
    // Written into the error word when set; left alone otherwise.
    std::optional<std::uint16_t> err;
    std::uint16_t session = 7;
    std::int16_t etat = 1;
    std::uint16_t mode = 3;
    unsigned char statut = 0x41;
    // Data of the readings, written with its terminator unless sansZero.
    std::string donnees;
    // Length written back by the readings; the data length when absent.
    std::optional<std::uint32_t> lgSortie;
    std::string libelle;
    std::string infos;
    // Fill the whole information buffer with 'x' and no terminator.
    bool infosSansZero = false;
    // Fixed-width outputs by argument name (code, nom, periode, appli, type,
    // present, categorie), copied over the start of the caller's buffer.
    std::map<std::string, std::string> fixes;

    const Appel& dernier() const { return appels.back(); }
    std::vector<std::string> noms() const;
};

// The single fake; reset by installer().
FausseApi& fausse();

// Resets the fake and points every slot of the table at it.
void installer(TableFonctionsLecture& table);

}  // namespace quintor::test
