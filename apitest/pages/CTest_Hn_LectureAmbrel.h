#pragma once
// High-level patient card reading: Hn_LectureAmbrel. Unlike the session
// reading page, the data buffer is not emptied before the call.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_LectureAmbrel : public PageTest {
public:
    explicit CTest_Hn_LectureAmbrel(EtatProgramme& etat);

    std::string m_TempsAttente;
    std::string m_LgDataOut;
    std::string m_DataOut;
    std::string m_EtatCarte;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    char* donnees() { return m_donnees.data(); }

    std::string titre() const override { return "Lecture Ambrel"; }
    int modele() const override { return 153; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonDonnees}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;

private:
    std::vector<char> m_donnees;
};

}  // namespace quintor
