#include "pages/CTest_Hn_Init.h"

#include <array>

namespace quintor {

CTest_Hn_Init::CTest_Hn_Init(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Hn_Init::champs()
{
    return {{1100, &m_Chemin}, {1074, &m_Mode}, {1021, &m_CodeErreur}, {1032, &m_CodeRetour}};
}

void CTest_Hn_Init::Raz()
{
    Effacer();
}

void CTest_Hn_Init::surCreation()
{
    m_Chemin = m_etat.CheminPartage;
}

void CTest_Hn_Init::Executer()
{
    auto* fonction = m_etat.Table.Hn_Init;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    std::array<char, 512> chemin{};
    copierTexte(chemin.data(), chemin.size(), m_Chemin);
    std::uint16_t mode = 0;
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));

    Effacer();
    const std::uint16_t retour = fonction(chemin.data(), &mode, &err);

    m_Mode = Code16(mode);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
    appliquerRegleChemin(m_Chemin, chemin.data(), retour);
}

}  // namespace quintor
