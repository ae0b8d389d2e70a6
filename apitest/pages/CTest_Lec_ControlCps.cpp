#include "pages/CTest_Lec_ControlCps.h"

#include <array>

namespace quintor {

CTest_Lec_ControlCps::CTest_Lec_ControlCps(EtatProgramme& etat) : PageTest(etat)
{
    Raz();
}

std::vector<Champ> CTest_Lec_ControlCps::champs()
{
    constexpr int n = kLongueurChamps;
    return {{1012, &m_NoSession, n},       {1018, &m_PinCode, n},    {1019, &m_TypeCarte, n},
            {1020, &m_DateFinValidite, n}, {1021, &m_CodeErreur, n}, {1022, &m_IdentApplication, n},
            {1023, &m_PresentPINCode, n},  {1024, &m_Categorie, n},  {1032, &m_CodeRetour, n}};
}

void CTest_Lec_ControlCps::Raz()
{
    Effacer();
    m_NoSession = CodeAffiche(m_etat.SessionCps);
}

void CTest_Lec_ControlCps::commande(int bouton)
{
    if (bouton == kBoutonRappelSession) {
        m_NoSession = CodeAffiche(m_etat.SessionCps);
    }
}

void CTest_Lec_ControlCps::Executer()
{
    auto* fonction = m_etat.Table.Lec_ControleCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    const auto session = static_cast<std::uint16_t>(ValeurEntiere(m_NoSession));
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    std::array<char, lumeris::kLgPinCode> pin{};
    remplirFixe(pin.data(), pin.size(), m_PinCode);
    std::array<char, lumeris::kLgPeriode> periode{};
    remplirFixe(periode.data(), periode.size(), m_DateFinValidite);
    std::array<char, lumeris::kLgAppli> appli{};
    remplirFixe(appli.data(), appli.size(), m_IdentApplication);
    std::array<char, lumeris::kLgType> type{};
    remplirFixe(type.data(), type.size(), m_TypeCarte);
    std::array<char, lumeris::kLgPresent> present{};
    remplirFixe(present.data(), present.size(), m_PresentPINCode);
    std::array<char, lumeris::kLgCategorie> categorie{};
    remplirFixe(categorie.data(), categorie.size(), m_Categorie);

    Effacer();
    const std::uint16_t retour = fonction(session, pin.data(), periode.data(), appli.data(), type.data(),
                                          present.data(), categorie.data(), &err);

    m_NoSession = Code16(session);
    m_PinCode = OctetsVersTexte(pin.data(), pin.size());
    m_TypeCarte = OctetsVersTexte(type.data(), type.size());
    m_DateFinValidite = OctetsVersTexte(periode.data(), periode.size());
    m_IdentApplication = OctetsVersTexte(appli.data(), appli.size());
    // Only the first byte of the indicator is significant here.
    m_PresentPINCode = OctetsVersTexte(present.data(), 1);
    m_Categorie = OctetsVersTexte(categorie.data(), categorie.size());
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
