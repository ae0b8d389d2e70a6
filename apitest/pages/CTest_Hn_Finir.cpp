#include "pages/CTest_Hn_Finir.h"

namespace quintor {

CTest_Hn_Finir::CTest_Hn_Finir(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Hn_Finir::champs()
{
    return {{1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void CTest_Hn_Finir::Raz()
{
    Effacer();
}

void CTest_Hn_Finir::Executer()
{
    auto* fonction = m_etat.Table.Hn_Finir;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(&err);

    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
