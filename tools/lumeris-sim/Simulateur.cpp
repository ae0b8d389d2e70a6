#include "Simulateur.h"

#include <cstring>

namespace lumeris::sim {

namespace {

// Longest path the API accepts, terminator excluded.
constexpr std::size_t kCheminMax = 511;

std::string echapperXml(const std::string& texte)
{
    std::string resultat;
    for (const char c : texte) {
        switch (c) {
        case '&': resultat += "&amp;"; break;
        case '<': resultat += "&lt;"; break;
        case '>': resultat += "&gt;"; break;
        case '"': resultat += "&quot;"; break;
        default: resultat += c; break;
        }
    }
    return resultat;
}

}  // namespace

void remplirChamp(char* champ, std::size_t largeur, const std::string& texte)
{
    std::memset(champ, ' ', largeur);
    std::memcpy(champ, texte.data(), texte.size() < largeur ? texte.size() : largeur);
}

Simulateur::Simulateur(std::string repertoireModule) : m_repertoireModule(std::move(repertoireModule)) {}

Code Simulateur::resoudre(const char* chemin, std::string& repertoire)
{
    if (chemin == nullptr) {
        // Like the real API, the last configuration location stays in force.
        repertoire = m_dernierRepertoire.empty() ? m_repertoireModule : m_dernierRepertoire;
    } else {
        const std::size_t longueur = strnlen(chemin, kCheminMax + 1);
        if (longueur > kCheminMax) {
            return kArgumentInvalide;
        }
        repertoire.assign(chemin, longueur);
    }
    if (!DonneesSimulees(repertoire).presentes()) {
        return kFichiersIntrouvables;
    }
    m_dernierRepertoire = repertoire;
    return kOk;
}

Simulateur::Session* Simulateur::trouver(bool cps, std::uint16_t session)
{
    const auto it = m_sessions.find(session);
    if (it == m_sessions.end() || it->second.cps != cps) {
        return nullptr;
    }
    return &it->second;
}

Code Simulateur::ouvrirSession(bool cps, const char* chemin, const char* appli, std::uint16_t& session)
{
    if (appli == nullptr) {
        return kArgumentInvalide;
    }
    std::string repertoire;
    if (const Code code = resoudre(chemin, repertoire); code != kOk) {
        return code;
    }
    int ouvertes = 0;
    for (const auto& [numero, existante] : m_sessions) {
        ouvertes += existante.cps == cps;
    }
    if (ouvertes >= kSessionsMax) {
        return kTropDeSessions;
    }
    // Numbers are never 0 and never reused while open.
    while (m_prochaineSession == 0 || m_sessions.count(m_prochaineSession) != 0) {
        ++m_prochaineSession;
    }
    session = m_prochaineSession++;
    m_sessions[session] = Session{cps, repertoire};
    return kOk;
}

Code Simulateur::fermerSession(bool cps, std::uint16_t session)
{
    if (trouver(cps, session) == nullptr) {
        return kSessionInconnue;
    }
    m_sessions.erase(session);
    return kOk;
}

Code Simulateur::introduireAmbrel(std::uint16_t session, std::int16_t& etat)
{
    Session* s = trouver(false, session);
    if (s == nullptr) {
        return kSessionInconnue;
    }
    s->carteIntroduite = DonneesSimulees(s->repertoire).ambrelPresente();
    etat = s->carteIntroduite ? 1 : 0;
    return s->carteIntroduite ? kOk : kCarteAbsente;
}

Code Simulateur::retirer(bool cps, std::uint16_t session)
{
    Session* s = trouver(cps, session);
    if (s == nullptr) {
        return kSessionInconnue;
    }
    s->carteIntroduite = false;
    return kOk;
}

Code Simulateur::copierDonneesAmbrel(const std::string& repertoire, char* data, std::uint32_t& lgData)
{
    const auto texte = DonneesSimulees(repertoire).donneesAmbrel();
    if (!texte) {
        return kFichiersIntrouvables;
    }
    const std::uint64_t requis = texte->size() + 1;
    if (lgData < requis) {
        lgData = static_cast<std::uint32_t>(requis);
        return kTamponTropPetit;
    }
    std::memcpy(data, texte->c_str(), texte->size() + 1);
    lgData = static_cast<std::uint32_t>(texte->size());
    return kOk;
}

Code Simulateur::lireAmbrel(std::uint16_t session, char* data, std::uint32_t& lgData)
{
    Session* s = trouver(false, session);
    if (s == nullptr) {
        return kSessionInconnue;
    }
    if (!s->carteIntroduite) {
        return kCarteNonIntroduite;
    }
    return copierDonneesAmbrel(s->repertoire, data, lgData);
}

Code Simulateur::introduireCps(std::uint16_t session, char* code, char* nom, std::int16_t& etat)
{
    Session* s = trouver(true, session);
    if (s == nullptr) {
        return kSessionInconnue;
    }
    const CarteCps carte = DonneesSimulees(s->repertoire).carteCps();
    s->carteIntroduite = carte.present;
    etat = carte.present ? 1 : 0;
    if (!carte.present) {
        return kCarteAbsente;
    }
    remplirChamp(code, 2, carte.codeCivilite);
    remplirChamp(nom, 27, carte.nom);
    return kOk;
}

int Simulateur::essaisRestants(const std::string& repertoire) const
{
    const auto it = m_echecs.find(repertoire);
    const int echecs = it == m_echecs.end() ? 0 : it->second;
    return echecs >= kEssaisCodePorteur ? 0 : kEssaisCodePorteur - echecs;
}

Code Simulateur::verifierCode(const std::string& repertoire, const char* pin, std::uint16_t& err)
{
    if (essaisRestants(repertoire) == 0) {
        return kCarteBloquee;
    }
    const CarteCps carte = DonneesSimulees(repertoire).carteCps();
    std::string attendu = carte.codePorteur;
    attendu.resize(4, ' ');
    if (std::memcmp(pin, attendu.data(), 4) != 0) {
        const int echecs = ++m_echecs[repertoire];
        err = static_cast<std::uint16_t>(essaisRestants(repertoire));
        return echecs >= kEssaisCodePorteur ? kCarteBloquee : kCodePorteurFaux;
    }
    m_echecs.erase(repertoire);
    return kOk;
}

Code Simulateur::controlerCps(std::uint16_t session, const char* pin, char* periode, char* appli, char* type,
                              char* present, char* categorie, std::uint16_t& err)
{
    Session* s = trouver(true, session);
    if (s == nullptr) {
        return kSessionInconnue;
    }
    if (!s->carteIntroduite) {
        return kCarteNonIntroduite;
    }
    const Code code = verifierCode(s->repertoire, pin, err);
    present[0] = code == kOk ? '1' : '0';
    if (code != kOk) {
        return code;
    }
    const CarteCps carte = DonneesSimulees(s->repertoire).carteCps();
    remplirChamp(periode, 8, carte.finValidite);
    remplirChamp(appli, 10, carte.application);
    remplirChamp(type, 2, carte.type);
    remplirChamp(categorie, 2, carte.categorie);
    return kOk;
}

Code Simulateur::dictionnaire(const char* chemin, std::int16_t table, const char* code, const char* periode,
                              char* libelle, std::int16_t& lgLibelle)
{
    std::string repertoire;
    if (const Code resultat = resoudre(chemin, repertoire); resultat != kOk) {
        return resultat;
    }
    DonneesSimulees donnees(repertoire);
    if (!donnees.tablesPresentes()) {
        return kFichiersIntrouvables;
    }
    // The period only has to be readable: the simulated tables do not change with it.
    (void)strnlen(periode, 50);
    std::string cle(code, 9);
    cle.erase(cle.find_last_not_of(std::string(" \0", 2)) + 1);
    const auto texte = donnees.libelle(table, cle);
    if (!texte) {
        return kCodeIntrouvable;
    }
    const std::size_t requis = texte->size() + 1;
    if (lgLibelle < 0 || static_cast<std::size_t>(lgLibelle) < requis) {
        lgLibelle = requis > 32767 ? std::int16_t{32767} : static_cast<std::int16_t>(requis);
        return kTamponTropPetit;
    }
    std::memcpy(libelle, texte->c_str(), requis);
    lgLibelle = static_cast<std::int16_t>(texte->size());
    return kOk;
}

Code Simulateur::informations(const char* chemin, std::uint16_t& lgInfos, char* infos)
{
    std::string repertoire;
    if (const Code code = resoudre(chemin, repertoire); code != kOk) {
        return code;
    }
    const std::string texte =
        // UTF-8, as declared: the folder's name is UTF-8 on this platform too.
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<InformationsAPI>\n"
        "  <Composant nom=\"lumeris\">\n"
        "    <Nom>Lumeris</Nom>\n"
        "    <Version>5.0.0</Version>\n"
        "    <Description>API de lecture simulée (tests &amp; démonstration)</Description>\n"
        "  </Composant>\n"
        "  <Composant nom=\"donnees\">\n"
        "    <Nom>Fichiers de configuration</Nom>\n"
        "    <Chemin>" +
        echapperXml(repertoire) +
        "</Chemin>\n"
        "  </Composant>\n"
        "</InformationsAPI>\n";
    const std::size_t requis = texte.size() + 1;
    if (lgInfos < requis) {
        lgInfos = requis > 65535 ? std::uint16_t{65535} : static_cast<std::uint16_t>(requis);
        return kTamponTropPetit;
    }
    std::memcpy(infos, texte.c_str(), requis);
    lgInfos = static_cast<std::uint16_t>(texte.size());
    return kOk;
}

Code Simulateur::hnInit(const char* chemin, std::uint16_t& mode)
{
    if (m_hnInitialise) {
        return kDejaInitialise;
    }
    std::string repertoire;
    if (const Code code = resoudre(chemin, repertoire); code != kOk) {
        return code;
    }
    m_hnInitialise = true;
    m_hnRepertoire = repertoire;
    m_hnCpsIntroduite = false;
    mode = static_cast<std::uint16_t>(DonneesSimulees(repertoire).modeHautNiveau());
    return kOk;
}

Code Simulateur::hnFinir()
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    m_hnInitialise = false;
    m_hnCpsIntroduite = false;
    return kOk;
}

Code Simulateur::hnLireAmbrel(char* data, std::uint32_t& lgData, std::int16_t& etat)
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    const bool presente = DonneesSimulees(m_hnRepertoire).ambrelPresente();
    etat = presente ? 1 : 0;
    if (!presente) {
        return kCarteAbsente;
    }
    return copierDonneesAmbrel(m_hnRepertoire, data, lgData);
}

Code Simulateur::hnIntroduireCps(char* code, char* nom, char* present, std::int16_t& etat)
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    const CarteCps carte = DonneesSimulees(m_hnRepertoire).carteCps();
    m_hnCpsIntroduite = carte.present;
    etat = carte.present ? 1 : 0;
    if (!carte.present) {
        return kCarteAbsente;
    }
    remplirChamp(code, 2, carte.codeCivilite);
    remplirChamp(nom, 27, carte.nom);
    // "1" = the holder code must be presented, then the tries left.
    present[0] = '1';
    present[1] = static_cast<char>('0' + essaisRestants(m_hnRepertoire));
    return kOk;
}

Code Simulateur::hnRetirerCps()
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    m_hnCpsIntroduite = false;
    return kOk;
}

Code Simulateur::hnControlerCps(const char* pin, char* periode, char* type, char* present, char* categorie,
                                std::uint16_t& err)
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    if (!m_hnCpsIntroduite) {
        return kCarteNonIntroduite;
    }
    const Code code = verifierCode(m_hnRepertoire, pin, err);
    present[0] = code == kOk ? '1' : '0';
    if (code != kOk) {
        return code;
    }
    const CarteCps carte = DonneesSimulees(m_hnRepertoire).carteCps();
    remplirChamp(periode, 8, carte.finValidite);
    remplirChamp(type, 2, carte.type);
    remplirChamp(categorie, 2, carte.categorie);
    return kOk;
}

Code Simulateur::hnTestPresence(std::uint16_t coupleur, unsigned char& statut)
{
    if (!m_hnInitialise) {
        return kNonInitialise;
    }
    DonneesSimulees donnees(m_hnRepertoire);
    if (coupleur >= donnees.nombreCoupleurs()) {
        return kCoupleurInconnu;
    }
    const std::string carte = donnees.carteDuCoupleur(coupleur);
    bool presente = false;
    if (carte == "CPS") {
        presente = donnees.carteCps().present;
    } else if (carte == "Ambrel") {
        presente = donnees.ambrelPresente();
    }
    statut = presente ? 1 : 0;
    return kOk;
}

}  // namespace lumeris::sim
