#pragma once
// High-level initialisation: Hn_Init. Its path field is loaded once, when the
// page's window is created.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_Init : public PageTest {
public:
    explicit CTest_Hn_Init(EtatProgramme& etat);

    std::string m_Chemin;
    std::string m_Mode;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Init"; }
    int modele() const override { return 154; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
    void surCreation() override;
};

}  // namespace quintor
