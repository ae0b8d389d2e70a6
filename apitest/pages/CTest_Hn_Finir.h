#pragma once
// High-level termination: Hn_Finir.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_Finir : public PageTest {
public:
    explicit CTest_Hn_Finir(EtatProgramme& etat);

    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Finir"; }
    int modele() const override { return 155; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
};

}  // namespace quintor
