#include "pages/CTest_Hn_IntroMstCPS.h"

#include <array>

namespace quintor {

CTest_Hn_IntroMstCPS::CTest_Hn_IntroMstCPS(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Hn_IntroMstCPS::champs()
{
    return {{1025, &m_sTempsAttente},  {1026, &m_CodeCivilite}, {1027, &m_NomPatronymique},
            {1023, &m_PresentPINCode}, {1028, &m_EtatCarte},    {1021, &m_CodeErreur},
            {1032, &m_CodeRetour}};
}

void CTest_Hn_IntroMstCPS::Raz()
{
    Effacer();
}

void CTest_Hn_IntroMstCPS::Executer()
{
    auto* fonction = m_etat.Table.Hn_IntroductionMstCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_sTempsAttente));
    auto etat = static_cast<std::int16_t>(ValeurEntiere(m_EtatCarte));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    std::array<char, lumeris::kLgCodeCivilite> code{};
    remplirFixe(code.data(), code.size(), m_CodeCivilite);
    std::array<char, lumeris::kLgNom> nom{};
    remplirFixe(nom.data(), nom.size(), m_NomPatronymique);
    std::array<char, lumeris::kLgPresent> present{};
    remplirFixe(present.data(), present.size(), m_PresentPINCode);

    Effacer();
    const std::uint16_t retour = fonction(temps, code.data(), nom.data(), present.data(), &etat, &err);

    m_sTempsAttente = CodeSigne16(temps);
    m_CodeCivilite = OctetsVersTexte(code.data(), code.size());
    m_NomPatronymique = OctetsVersTexte(nom.data(), nom.size());
    // Two characters of the indicator are significant at this level.
    m_PresentPINCode = OctetsVersTexte(present.data(), 2);
    m_EtatCarte = CodeSigne16(etat);
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
