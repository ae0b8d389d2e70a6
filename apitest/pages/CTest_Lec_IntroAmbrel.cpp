#include "pages/CTest_Lec_IntroAmbrel.h"

namespace quintor {

CTest_Lec_IntroAmbrel::CTest_Lec_IntroAmbrel(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Lec_IntroAmbrel::champs()
{
    return {{1012, &m_NoSession},
            {1025, &m_TempsAttente},
            {1028, &m_EtatCarte},
            {1021, &m_CodeErreur},
            {1032, &m_CodeRetour}};
}

void CTest_Lec_IntroAmbrel::Raz()
{
    Effacer();
    m_NoSession = Decimal(m_etat.SessionAmbrel);
}

void CTest_Lec_IntroAmbrel::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(m_etat.SessionAmbrel);
    }
}

void CTest_Lec_IntroAmbrel::Executer()
{
    auto* fonction = m_etat.Table.Lec_IntroductionMstAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_TempsAttente));
    auto etat = static_cast<std::int16_t>(ValeurEntiere(m_EtatCarte));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(session, temps, &etat, &err);

    m_NoSession = Code16(session);
    m_TempsAttente = CodeSigne16(temps);
    m_EtatCarte = CodeSigne16(etat);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
