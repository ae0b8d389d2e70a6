#include "pages/CTest_Lec_RetraitAmbrel.h"

namespace quintor {

CTest_Lec_RetraitAmbrel::CTest_Lec_RetraitAmbrel(EtatProgramme& etat)
    : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Lec_RetraitAmbrel::champs()
{
    return {{1012, &m_NoSession}, {1025, &m_TempsAttente}, {1021, &m_CodeErreur},
            {1032, &m_CodeRetour}};
}

void CTest_Lec_RetraitAmbrel::Effacer()
{
    for (const Champ& champ : champs()) {
        champ.texte->clear();
    }
}

void CTest_Lec_RetraitAmbrel::Raz()
{
    Effacer();
    m_NoSession = Decimal(m_etat.SessionAmbrel);
}

void CTest_Lec_RetraitAmbrel::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(m_etat.SessionAmbrel);
    }
}

void CTest_Lec_RetraitAmbrel::Executer()
{
    auto* fonction = m_etat.Table.Lec_RetraitMhtAmbrel;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_TempsAttente));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(session, temps, &err);

    m_NoSession = Code16(session);
    m_TempsAttente = CodeSigne16(temps);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
