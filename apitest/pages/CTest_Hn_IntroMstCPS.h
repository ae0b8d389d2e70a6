#pragma once
// High-level CPS card insertion: Hn_IntroductionMstCPS.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_IntroMstCPS : public PageTest {
public:
    explicit CTest_Hn_IntroMstCPS(EtatProgramme& etat);

    std::string m_sTempsAttente;
    std::string m_CodeCivilite;
    std::string m_NomPatronymique;
    std::string m_PresentPINCode;
    std::string m_EtatCarte;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "HN_IntroductionMstCPS"; }
    int modele() const override { return 157; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
};

}  // namespace quintor
