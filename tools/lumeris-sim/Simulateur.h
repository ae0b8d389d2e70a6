#pragma once
// State and behaviour of the stand-in card-reading API. One instance lives in
// the library; the exports forward to it (LumerisExports.cpp).

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "CodesLumeris.h"
#include "DonneesSimulees.h"

namespace lumeris::sim {

class Simulateur {
public:
    // `repertoireModule`: where the library itself lies (with its separator);
    // used when a caller passes a null path before any path was accepted.
    explicit Simulateur(std::string repertoireModule);

    Code ouvrirSession(bool cps, const char* chemin, const char* appli, std::uint16_t& session);
    Code fermerSession(bool cps, std::uint16_t session);
    Code introduireAmbrel(std::uint16_t session, std::int16_t& etat);
    Code retirer(bool cps, std::uint16_t session);
    Code lireAmbrel(std::uint16_t session, char* data, std::uint32_t& lgData);
    Code introduireCps(std::uint16_t session, char* code, char* nom, std::int16_t& etat);
    Code controlerCps(std::uint16_t session, const char* pin, char* periode, char* appli, char* type,
                      char* present, char* categorie, std::uint16_t& err);
    Code dictionnaire(const char* chemin, std::int16_t table, const char* code, const char* periode,
                      char* libelle, std::int16_t& lgLibelle);
    Code informations(const char* chemin, std::uint16_t& lgInfos, char* infos);

    Code hnInit(const char* chemin, std::uint16_t& mode);
    Code hnFinir();
    Code hnLireAmbrel(char* data, std::uint32_t& lgData, std::int16_t& etat);
    Code hnIntroduireCps(char* code, char* nom, char* present, std::int16_t& etat);
    Code hnRetirerCps();
    Code hnControlerCps(const char* pin, char* periode, char* type, char* present, char* categorie,
                        std::uint16_t& err);
    Code hnTestPresence(std::uint16_t coupleur, unsigned char& statut);

private:
    struct Session {
        bool cps;
        std::string repertoire;
        bool carteIntroduite = false;
    };

    // Resolves the data directory for a call taking `chemin`: 32 when the
    // files are not there, 1 when the path is longer than 511 characters.
    Code resoudre(const char* chemin, std::string& repertoire);
    Session* trouver(bool cps, std::uint16_t session);
    Code copierDonneesAmbrel(const std::string& repertoire, char* data, std::uint32_t& lgData);
    Code verifierCode(const std::string& repertoire, const char* pin, std::uint16_t& err);
    int essaisRestants(const std::string& repertoire) const;

    std::string m_repertoireModule;
    std::string m_dernierRepertoire;
    std::map<std::uint16_t, Session> m_sessions;
    std::uint16_t m_prochaineSession = 1;
    // Wrong holder codes per simulated card (one card per data directory).
    std::map<std::string, int> m_echecs;

    bool m_hnInitialise = false;
    std::string m_hnRepertoire;
    bool m_hnCpsIntroduite = false;
};

// Copies `texte` into a fixed-width field of `largeur` characters, padded with
// blanks and without terminator.
void remplirChamp(char* champ, std::size_t largeur, const std::string& texte);

}  // namespace lumeris::sim
