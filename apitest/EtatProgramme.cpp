#include "EtatProgramme.h"

#include <filesystem>
#include <system_error>

#include "Presentateur.h"

namespace quintor {

void EtatProgramme::avertir(const std::string& texte) const
{
    if (presentateur != nullptr) {
        presentateur->avertir(texte);
    }
}

std::string cheminDepuisRepertoire(const std::string& repertoire)
{
    // The separator and the NUL must fit beside the directory.
    if (repertoire.empty() || repertoire.size() > kTailleRepertoire - 2) {
        return std::string(".") + kSeparateur;
    }
    std::string chemin = repertoire;
    if (chemin.back() != kSeparateur) {
        chemin += kSeparateur;
    }
    return chemin;
}

std::string cheminInitial()
{
    std::error_code erreur;
    const std::filesystem::path courant = std::filesystem::current_path(erreur);
    if (erreur) {
        return cheminDepuisRepertoire({});
    }
    return cheminDepuisRepertoire(courant.string());
}

EtatProgramme& etatProgramme()
{
    static EtatProgramme etat{{}, cheminInitial(), 0, 0, nullptr};
    return etat;
}

}  // namespace quintor
