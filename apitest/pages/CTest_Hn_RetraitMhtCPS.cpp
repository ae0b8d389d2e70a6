#include "pages/CTest_Hn_RetraitMhtCPS.h"

namespace quintor {

CTest_Hn_RetraitMhtCPS::CTest_Hn_RetraitMhtCPS(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Hn_RetraitMhtCPS::champs()
{
    return {{1025, &m_sTempsAttente}, {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void CTest_Hn_RetraitMhtCPS::Raz()
{
    Effacer();
}

void CTest_Hn_RetraitMhtCPS::Executer()
{
    auto* fonction = m_etat.Table.Hn_RetraitMhtCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_sTempsAttente));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(temps, &err);

    m_sTempsAttente = CodeSigne16(temps);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
