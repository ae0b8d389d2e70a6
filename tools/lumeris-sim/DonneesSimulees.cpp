#include "DonneesSimulees.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/ProfileFile.h"

namespace lumeris::sim {

namespace {
// Longest value read from a profile file; labels stay well below it.
constexpr std::size_t kValeurMax = 8192;
// The patient card document cannot be larger than a reading buffer.
constexpr std::uintmax_t kDocumentMax = 1u << 20;

bool fichierExiste(const std::string& chemin)
{
    std::error_code erreur;
    return std::filesystem::is_regular_file(chemin, erreur);
}
}  // namespace

DonneesSimulees::DonneesSimulees(std::string repertoire) : m_repertoire(std::move(repertoire)) {}

std::string DonneesSimulees::valeur(const char* section, const char* cle, const char* defaut) const
{
    return common::readProfileString(m_repertoire + kFichierConfiguration, section, cle, defaut, kValeurMax);
}

bool DonneesSimulees::presentes() const
{
    return fichierExiste(m_repertoire + kFichierConfiguration);
}

bool DonneesSimulees::ambrelPresente() const
{
    return valeur("Ambrel", "Present", "0") == "1";
}

std::optional<std::string> DonneesSimulees::donneesAmbrel() const
{
    const std::string fichier = m_repertoire + valeur("Ambrel", "Donnees", "ambrel.xml");
    std::error_code erreur;
    const auto taille = std::filesystem::file_size(fichier, erreur);
    if (erreur || taille > kDocumentMax) {
        return std::nullopt;
    }
    std::ifstream flux(fichier, std::ios::binary);
    if (!flux) {
        return std::nullopt;
    }
    std::ostringstream contenu;
    contenu << flux.rdbuf();
    std::string texte = contenu.str();
    // The API hands out terminated text: an embedded zero would end it early.
    if (const auto zero = texte.find('\0'); zero != std::string::npos) {
        texte.resize(zero);
    }
    return texte;
}

CarteCps DonneesSimulees::carteCps() const
{
    CarteCps carte;
    carte.present = valeur("CPS", "Present", "0") == "1";
    carte.codeCivilite = valeur("CPS", "CodeCivilite", "");
    carte.nom = valeur("CPS", "Nom", "");
    carte.codePorteur = valeur("CPS", "CodePorteur", "");
    carte.finValidite = valeur("CPS", "FinValidite", "");
    carte.application = valeur("CPS", "Application", "");
    carte.type = valeur("CPS", "Type", "");
    carte.categorie = valeur("CPS", "Categorie", "");
    return carte;
}

int DonneesSimulees::modeHautNiveau() const
{
    return static_cast<int>(
        common::getProfileInt("API", "Mode", 1, (m_repertoire + kFichierConfiguration).c_str()));
}

int DonneesSimulees::nombreCoupleurs() const
{
    const auto n =
        common::getProfileInt("Lecteurs", "Nombre", 0, (m_repertoire + kFichierConfiguration).c_str());
    return n > 64 ? 64 : static_cast<int>(n);
}

std::string DonneesSimulees::carteDuCoupleur(int coupleur) const
{
    const std::string cle = "Coupleur" + std::to_string(coupleur);
    return valeur("Lecteurs", cle.c_str(), "");
}

bool DonneesSimulees::tablesPresentes() const
{
    return fichierExiste(m_repertoire + kFichierTables);
}

std::optional<std::string> DonneesSimulees::libelle(int table, const std::string& code) const
{
    if (code.empty()) {
        return std::nullopt;
    }
    // A sentinel default tells a missing key from an empty label.
    static constexpr const char* kAbsent = "\x01";
    const std::string section = "Table" + std::to_string(table);
    const std::string brut =
        common::readProfileString(m_repertoire + kFichierTables, section, code, kAbsent, kValeurMax);
    if (brut == kAbsent) {
        return std::nullopt;
    }
    return decoderEchappements(brut);
}

std::string decoderEchappements(const std::string& valeur)
{
    std::string texte;
    texte.reserve(valeur.size());
    for (std::size_t i = 0; i < valeur.size(); ++i) {
        if (valeur[i] != '\\' || i + 1 == valeur.size()) {
            texte += valeur[i];
            continue;
        }
        switch (valeur[++i]) {
        case 't': texte += '\t'; break;
        case 'n': texte += '\n'; break;
        case 'r': texte += '\r'; break;
        case '\\': texte += '\\'; break;
        default:
            texte += '\\';
            texte += valeur[i];
            break;
        }
    }
    return texte;
}

}  // namespace lumeris::sim
