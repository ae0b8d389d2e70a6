#pragma once
// Patient card reading: Lec_LectureAmbrel into the page's own data buffer.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_LectureAmbrel : public PageTest {
public:
    explicit CTest_Lec_LectureAmbrel(EtatProgramme& etat);

    std::string m_NoSession;
    std::string m_NoSessionCPS;
    std::string m_LgDataOut;
    std::string m_DataOut;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    // kTailleDonnees bytes offered to the API, plus one byte kept at zero so
    // the text always ends inside the buffer.
    char* donnees() { return m_donnees.data(); }

    std::string titre() const override { return "Lec_LectureAmbrel"; }
    int modele() const override { return 143; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override
    {
        return {kBoutonRappelSession, kBoutonRappelSessionCps, kBoutonDonnees};
    }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;

private:
    std::vector<char> m_donnees;
};

}  // namespace quintor
