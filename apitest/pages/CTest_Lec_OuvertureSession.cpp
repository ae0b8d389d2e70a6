#include "pages/CTest_Lec_OuvertureSession.h"

#include <array>

namespace quintor {

int modePourTitre(int idTitre)
{
    return (idTitre == kTitreOuvertureCps || idTitre == kTitreFermetureCps) ? 2 : 1;
}

std::string texteTitreSession(int idTitre)
{
    switch (idTitre) {
    case kTitreOuvertureAmbrel: return "Lec_OuvertureSessionAmbrel";
    case kTitreFermetureAmbrel: return "Lec_FermetureSessionAmbrel";
    case kTitreOuvertureCps: return "Lec_OuvertureSessionCPS";
    case kTitreFermetureCps: return "Lec_FermetureSessionCPS";
    default: return {};
    }
}

CTest_Lec_OuvertureSession::CTest_Lec_OuvertureSession(EtatProgramme& etat, int idTitre)
    : PageTest(etat), m_idTitre(idTitre), m_mode(modePourTitre(idTitre))
{
    Raz();
}

std::string CTest_Lec_OuvertureSession::titre() const
{
    return texteTitreSession(m_idTitre);
}

std::vector<Champ> CTest_Lec_OuvertureSession::champs()
{
    return {{1100, &m_Chemin},
            {1030, &m_NomApplication},
            {1012, &m_NoSession},
            {1021, &m_CodeErreur},
            {1032, &m_CodeRetour}};
}

void CTest_Lec_OuvertureSession::Raz()
{
    Effacer();
    m_NomApplication = "Test_ah";
}

void CTest_Lec_OuvertureSession::surActivation()
{
    m_Chemin = m_etat.CheminPartage;
}

void CTest_Lec_OuvertureSession::Executer()
{
    auto* fonction =
        m_mode == 1 ? m_etat.Table.Lec_OuvertureSessionAmbrel : m_etat.Table.Lec_OuvertureSessionCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    std::array<char, 512> chemin{};
    copierTexte(chemin.data(), chemin.size(), m_Chemin);
    std::array<char, 32> appli{};
    copierTexte(appli.data(), appli.size(), m_NomApplication);
    auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(chemin.data(), appli.data(), &session, &err);

    m_NomApplication = OctetsVersTexte(appli.data(), appli.size());
    m_CodeErreur = Code16(err);
    m_NoSession = Code16(session);
    m_CodeRetour = Code16(retour);
    appliquerRegleChemin(m_Chemin, chemin.data(), retour);
    // The opening's result is not tested: whatever number came back is the
    // one the other pages recall.
    (m_mode == 1 ? m_etat.SessionAmbrel : m_etat.SessionCps) = session;
}

}  // namespace quintor
