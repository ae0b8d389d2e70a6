#pragma once
// What the logic asks of the user interface: message boxes and the modal text
// dialog. The program answers with real dialogs, tests with scripted ones.

#include <string>

namespace quintor {

class CTexteDlg;

class Presentateur {
public:
    virtual ~Presentateur() = default;

    // Information box with an OK button.
    virtual void avertir(const std::string& texte) = 0;

    // Runs the text dialog modally over the given logic object (its title and
    // text are already set); returns the dialog's result.
    virtual int afficherTexte(CTexteDlg& dialogue) = 0;
};

inline constexpr const char* kFonctionNonChargee = "Fonction non chargée\nAppel non effectué";
inline constexpr const char* kFonctionNonImplementee = "Fonction non implémentée";
inline constexpr const char* kErreurAllocation =
    "Erreur d'allocation mémoire\nExécution de la fonction impossible";

}  // namespace quintor
