#include "pages/CTest_Lec_IntroCps.h"

#include <array>

namespace quintor {

CTest_Lec_IntroCps::CTest_Lec_IntroCps(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Lec_IntroCps::champs()
{
    return {{1012, &m_NoSession},       {1025, &m_TempsAttente}, {1026, &m_CodeCivilite},
            {1027, &m_NomPatronymique}, {1028, &m_EtatCarte},    {1021, &m_CodeErreur},
            {1032, &m_CodeRetour}};
}

void CTest_Lec_IntroCps::Raz()
{
    Effacer();
    m_NoSession = Decimal(m_etat.SessionCps);
}

void CTest_Lec_IntroCps::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(m_etat.SessionCps);
    }
}

void CTest_Lec_IntroCps::Executer()
{
    auto* fonction = m_etat.Table.Lec_IntroductionMstCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    const auto temps = static_cast<std::int16_t>(ValeurEntiere(m_TempsAttente));
    auto etat = static_cast<std::int16_t>(ValeurEntiere(m_EtatCarte));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    std::array<char, lumeris::kLgCodeCivilite> code{};
    remplirFixe(code.data(), code.size(), m_CodeCivilite);
    std::array<char, lumeris::kLgNom> nom{};
    remplirFixe(nom.data(), nom.size(), m_NomPatronymique);

    Effacer();
    const std::uint16_t retour = fonction(session, temps, code.data(), nom.data(), &etat, &err);

    m_NoSession = Code16(session);
    m_TempsAttente = CodeSigne16(temps);
    m_EtatCarte = CodeSigne16(etat);
    m_CodeCivilite = OctetsVersTexte(code.data(), code.size());
    m_NomPatronymique = OctetsVersTexte(nom.data(), nom.size());
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
