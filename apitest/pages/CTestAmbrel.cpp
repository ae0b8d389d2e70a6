#include "pages/CTestAmbrel.h"

#include <algorithm>
#include <array>

namespace quintor {

CTestAmbrel::CTestAmbrel(EtatProgramme& etat)
    : CTestPropSheet(etat, "Test des fonctions Ambrel 1", kMasque),
      m_ouverture(etat, kTitreOuvertureAmbrel),
      m_fermeture(etat, kTitreFermetureAmbrel),
      m_introduction(etat),
      m_retrait(etat),
      m_lecture(etat),
      m_dictionnaire(etat)
{
    ajouterPage(m_ouverture);
    ajouterPage(m_fermeture);
    ajouterPage(m_introduction);
    ajouterPage(m_retrait);
    ajouterPage(m_lecture);
    ajouterPage(m_dictionnaire);
}

void CTestAmbrel::Auto()
{
    m_obs->curseurAttente(true);
    m_obs->activerBoutons(false);

    std::uint16_t session = 0;
    const bool ouvert = ouvrirSession(session);
    if (ouvert) {
        const bool insere = introduireCarte(session);
        if (insere) {
            lireCarte(session);
            // Removal follows an insertion whatever the reading gave.
            retirerCarte(session);
        }
        fermerSession(session);
    }

    ActiverPage(kLecture);
    m_obs->activerBoutons(true);
    m_obs->curseurAttente(false);
}

bool CTestAmbrel::ouvrirSession(std::uint16_t& session)
{
    ActiverPage(kOuverture);
    m_obs->lireChamps(kOuverture);
    auto* fonction = m_etat.Table.Lec_OuvertureSessionAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return false;
    }
    std::array<char, 32> appli{};
    copierTexte(appli.data(), appli.size(), m_ouverture.m_NomApplication);
    // Neither word takes a starting value from the fields here.
    session = 0;
    std::uint16_t err = 0;
    // A null path lets the API use its own configuration location.
    const std::uint16_t retour = fonction(nullptr, appli.data(), &session, &err);

    m_ouverture.m_NomApplication = OctetsVersTexte(appli.data(), appli.size());
    m_ouverture.m_CodeErreur = Code16(err);
    m_ouverture.m_NoSession = Code16(session);
    m_ouverture.m_CodeRetour = Code16(retour);
    m_etat.SessionAmbrel = session;
    m_obs->ecrireChamps(kOuverture);
    return retour == 0;
}

bool CTestAmbrel::introduireCarte(std::uint16_t session)
{
    ActiverPage(kIntroduction);
    m_obs->lireChamps(kIntroduction);
    auto* fonction = m_etat.Table.Lec_IntroductionMstAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return false;
    }
    CTest_Lec_IntroAmbrel& p = m_introduction;
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(p.m_TempsAttente));
    auto etat = static_cast<std::int16_t>(ValeurEntiere(p.m_EtatCarte));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(p.m_CodeErreur));
    const std::uint16_t retour = fonction(session, temps, &etat, &err);

    p.m_NoSession = Code16(session);
    p.m_TempsAttente = CodeSigne16(temps);
    p.m_EtatCarte = CodeSigne16(etat);
    p.m_CodeErreur = Code16(err);
    p.m_CodeRetour = Code16(retour);
    m_obs->ecrireChamps(kIntroduction);
    return retour == 0;
}

void CTestAmbrel::lireCarte(std::uint16_t session)
{
    ActiverPage(kLecture);
    m_obs->lireChamps(kLecture);
    auto* fonction = m_etat.Table.Lec_LectureAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    CTest_Lec_LectureAmbrel& p = m_lecture;
    const auto sessionCps = static_cast<std::uint16_t>(ValeurEntiere(p.m_NoSessionCPS));
    std::uint32_t longueur = capaciteBornee(ValeurEntiere(p.m_LgDataOut), kTailleDonnees);
    auto err = static_cast<std::uint16_t>(ValeurEntiere(p.m_CodeErreur));
    const std::uint16_t retour = fonction(session, sessionCps, p.donnees(), &longueur, &err);

    p.m_NoSession = Code16(session);
    p.m_NoSessionCPS = Code16(sessionCps);
    // The length comes from the API; never render past the buffer.
    const auto rendu = static_cast<std::int32_t>(
        std::min<std::uint32_t>(longueur, static_cast<std::uint32_t>(kTailleDonnees)));
    FormaterValeur(rendu, reinterpret_cast<const unsigned char*>(p.donnees()), 2, p.m_DataOut);
    p.m_LgDataOut = CodeAffiche(longueur);
    p.m_CodeErreur = Code16(err);
    p.m_CodeRetour = Code16(retour);
    m_obs->ecrireChamps(kLecture);
}

void CTestAmbrel::retirerCarte(std::uint16_t session)
{
    ActiverPage(kRetrait);
    m_obs->lireChamps(kRetrait);
    auto* fonction = m_etat.Table.Lec_RetraitMhtAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    CTest_Lec_RetraitAmbrel& p = m_retrait;
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(p.m_TempsAttente));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(p.m_CodeErreur));
    const std::uint16_t retour = fonction(session, temps, &err);

    p.m_NoSession = Code16(session);
    p.m_TempsAttente = CodeSigne16(temps);
    p.m_CodeErreur = Code16(err);
    p.m_CodeRetour = Code16(retour);
    m_obs->ecrireChamps(kRetrait);
}

void CTestAmbrel::fermerSession(std::uint16_t session)
{
    ActiverPage(kFermeture);
    m_obs->lireChamps(kFermeture);
    auto* fonction = m_etat.Table.Lec_FermetureSessionAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    CTest_Lec_FermetureSession& p = m_fermeture;
    auto err = static_cast<std::uint16_t>(ValeurEntiere(p.m_CodeErreur));
    const std::uint16_t retour = fonction(session, &err);

    p.m_NoSession = Code16(session);
    p.m_CodeErreur = Code16(err);
    p.m_CodeRetour = Code16(retour);
    m_obs->ecrireChamps(kFermeture);
}

}  // namespace quintor
