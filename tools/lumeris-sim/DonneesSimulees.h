#pragma once
// The stand-in's data files: lumeris.ini (cards, readers), the patient card's
// XML document and tables.ini (dictionary). They are read at each call, so a
// test or a technician can change the simulated cards between two calls.

#include <optional>
#include <string>

namespace lumeris::sim {

inline constexpr const char* kFichierConfiguration = "lumeris.ini";
inline constexpr const char* kFichierTables = "tables.ini";

struct CarteCps {
    bool present = false;
    std::string codeCivilite;
    std::string nom;
    std::string codePorteur;
    std::string finValidite;
    std::string application;
    std::string type;
    std::string categorie;
};

class DonneesSimulees {
public:
    // `repertoire` ends with a path separator (or is empty for the current directory).
    explicit DonneesSimulees(std::string repertoire);

    // True when the configuration file is there.
    bool presentes() const;

    bool ambrelPresente() const;
    // The patient card's XML text; nothing when its file cannot be read.
    std::optional<std::string> donneesAmbrel() const;
    CarteCps carteCps() const;
    int modeHautNiveau() const;
    int nombreCoupleurs() const;
    // Card family served by a reader ("CPS" or "Ambrel"), empty when none.
    std::string carteDuCoupleur(int coupleur) const;

    // Label of `code` in table `table`, escapes (\t, \n, \r, \\) decoded;
    // nothing when the table file, the table or the code is missing.
    std::optional<std::string> libelle(int table, const std::string& code) const;
    bool tablesPresentes() const;

private:
    std::string valeur(const char* section, const char* cle, const char* defaut) const;

    std::string m_repertoire;
};

// Decodes \t, \n, \r and \\ in a value read from a profile file.
std::string decoderEchappements(const std::string& valeur);

}  // namespace lumeris::sim
