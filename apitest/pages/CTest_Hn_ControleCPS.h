#pragma once
// High-level CPS holder code check: Hn_ControleCPS. Built with the code "5831"
// filled in; its reset leaves the card type as it was.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_ControleCPS : public PageTest {
public:
    explicit CTest_Hn_ControleCPS(EtatProgramme& etat);

    std::string m_PinCode;
    std::string m_DateFinValidite;
    std::string m_PresentPinCode;
    std::string m_Categorie;
    std::string m_TypeCarte;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "HN_ControleCPS"; }
    int modele() const override { return 159; }
    std::vector<Champ> champs() override;
    void Effacer() override;
    void Raz() override;
    void Executer() override;
};

}  // namespace quintor
