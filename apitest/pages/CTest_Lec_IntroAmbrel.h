#pragma once
// Patient card insertion: Lec_IntroductionMstAmbrel.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_IntroAmbrel : public PageTest {
public:
    explicit CTest_Lec_IntroAmbrel(EtatProgramme& etat);

    std::string m_NoSession;
    std::string m_TempsAttente;
    std::string m_EtatCarte;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Lec_IntroductionMstAmbrel"; }
    int modele() const override { return 141; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;
};

}  // namespace quintor
