#pragma once
// CPS card removal: Lec_RetraitMhtCPS.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_RetraitCps : public PageTest {
public:
    explicit CTest_Lec_RetraitCps(EtatProgramme& etat);

    std::string m_NoSession;
    std::string m_TempsAttente;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Lec_RetraitMhtCPS "; }
    int modele() const override { return 139; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Effacer() override;
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;
};

}  // namespace quintor
