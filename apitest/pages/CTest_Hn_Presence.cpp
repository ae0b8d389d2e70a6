#include "pages/CTest_Hn_Presence.h"

namespace quintor {

CTest_Hn_Presence::CTest_Hn_Presence(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Hn_Presence::champs()
{
    return {{1077, &m_usCoupleur}, {1078, &m_usStatut}, {1032, &m_CodeRetour}, {1033, &m_CodeErreur}};
}

void CTest_Hn_Presence::Raz()
{
    Effacer();
}

void CTest_Hn_Presence::Executer()
{
    auto* fonction = m_etat.Table.Hn_TestPresence;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto coupleur = static_cast<std::uint16_t>(ValeurEntiere(m_usCoupleur));
    auto statut = static_cast<unsigned char>(ValeurEntiere(m_usStatut) & 0xFF);
    // This page's error field is not an input; the word starts at 0 so an API
    // that leaves it alone shows no stale value.
    std::uint16_t err = 0;

    Effacer();
    const std::uint16_t retour = fonction(coupleur, &statut, &err);

    m_usStatut = CodeAffiche(std::int32_t{statut});
    m_usCoupleur = Code16(coupleur);
    m_CodeRetour = Code16(retour);
    m_CodeErreur = Code16(err);
}

}  // namespace quintor
