#pragma once
// Patient card removal: Lec_RetraitMhtAmbrel.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_RetraitAmbrel : public PageTest {
public:
    explicit CTest_Lec_RetraitAmbrel(EtatProgramme& etat);

    std::string m_NoSession;
    std::string m_TempsAttente;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Lec_RetraitMhtAmbrel"; }
    int modele() const override { return 142; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Effacer() override;
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;
};

}  // namespace quintor
