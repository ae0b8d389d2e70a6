#pragma once
// Session closing page, shared by both card families like the opening page.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_FermetureSession : public PageTest {
public:
    CTest_Lec_FermetureSession(EtatProgramme& etat, int idTitre);

    std::string m_NoSession;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    int ModePage() const { return m_mode; }

    std::string titre() const override;
    int modele() const override { return 137; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;

private:
    std::int32_t sessionDuMode() const;

    int m_idTitre;
    int m_mode;
};

}  // namespace quintor
