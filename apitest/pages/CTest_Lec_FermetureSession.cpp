#include "pages/CTest_Lec_FermetureSession.h"

#include "pages/CTest_Lec_OuvertureSession.h"

namespace quintor {

CTest_Lec_FermetureSession::CTest_Lec_FermetureSession(EtatProgramme& etat, int idTitre)
    : PageTest(etat), m_idTitre(idTitre), m_mode(modePourTitre(idTitre))
{
    Raz();
}

std::string CTest_Lec_FermetureSession::titre() const
{
    return texteTitreSession(m_idTitre);
}

std::vector<Champ> CTest_Lec_FermetureSession::champs()
{
    return {{1012, &m_NoSession}, {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

std::int32_t CTest_Lec_FermetureSession::sessionDuMode() const
{
    return m_mode == 1 ? m_etat.SessionAmbrel : m_etat.SessionCps;
}

void CTest_Lec_FermetureSession::Raz()
{
    Effacer();
    m_NoSession = Decimal(sessionDuMode());
}

void CTest_Lec_FermetureSession::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(sessionDuMode());
    }
}

void CTest_Lec_FermetureSession::Executer()
{
    auto* fonction =
        m_mode == 1 ? m_etat.Table.Lec_FermetureSessionAmbrel : m_etat.Table.Lec_FermetureSessionCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(session, &err);

    m_NoSession = Code16(session);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
