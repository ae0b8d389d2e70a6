#pragma once
// High-level CPS card removal: Hn_RetraitMhtCPS.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_RetraitMhtCPS : public PageTest {
public:
    explicit CTest_Hn_RetraitMhtCPS(EtatProgramme& etat);

    std::string m_sTempsAttente;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "HN_RetraitMhtCPS"; }
    int modele() const override { return 158; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
};

}  // namespace quintor
