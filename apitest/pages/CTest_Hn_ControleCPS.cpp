#include "pages/CTest_Hn_ControleCPS.h"

#include <array>

namespace quintor {

CTest_Hn_ControleCPS::CTest_Hn_ControleCPS(EtatProgramme& etat) : PageTest(etat), m_PinCode("5831") {}

std::vector<Champ> CTest_Hn_ControleCPS::champs()
{
    return {{1018, &m_PinCode},   {1020, &m_DateFinValidite}, {1023, &m_PresentPinCode}, {1024, &m_Categorie},
            {1019, &m_TypeCarte}, {1021, &m_CodeErreur},      {1032, &m_CodeRetour}};
}

// This page keeps its card type when it is emptied.
void CTest_Hn_ControleCPS::Effacer()
{
    for (const Champ& champ : champs()) {
        if (champ.texte != &m_TypeCarte) {
            champ.texte->clear();
        }
    }
}

void CTest_Hn_ControleCPS::Raz()
{
    Effacer();
}

void CTest_Hn_ControleCPS::Executer()
{
    auto* fonction = m_etat.Table.Hn_ControleCPS;
    if (!verifierLiaison(fonction != nullptr)) {
        return;
    }
    auto err = static_cast<std::uint16_t>(ValeurEntiere(m_CodeErreur));
    std::array<char, lumeris::kLgPinCode> pin{};
    remplirFixe(pin.data(), pin.size(), m_PinCode);
    std::array<char, lumeris::kLgPeriode> periode{};
    remplirFixe(periode.data(), periode.size(), m_DateFinValidite);
    std::array<char, lumeris::kLgPresent> present{};
    remplirFixe(present.data(), present.size(), m_PresentPinCode);
    std::array<char, lumeris::kLgCategorie> categorie{};
    remplirFixe(categorie.data(), categorie.size(), m_Categorie);
    std::array<char, lumeris::kLgType> type{};
    remplirFixe(type.data(), type.size(), m_TypeCarte);

    Effacer();
    const std::uint16_t retour =
        fonction(pin.data(), periode.data(), type.data(), present.data(), categorie.data(), &err);

    m_PinCode = OctetsVersTexte(pin.data(), pin.size());
    m_DateFinValidite = OctetsVersTexte(periode.data(), periode.size());
    m_PresentPinCode = OctetsVersTexte(present.data(), 1);
    m_Categorie = OctetsVersTexte(categorie.data(), categorie.size());
    m_TypeCarte = OctetsVersTexte(type.data(), type.size());
    m_CodeErreur = Code16(err);
    m_CodeRetour = Code16(retour);
}

}  // namespace quintor
