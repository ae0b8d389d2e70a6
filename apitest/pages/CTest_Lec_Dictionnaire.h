#pragma once
// Table look-up: Lec_Dictionnaire, with the label shown laid out by ">>".

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_Dictionnaire : public PageTest {
public:
    explicit CTest_Lec_Dictionnaire(EtatProgramme& etat);

    // Label buffer size offered to the API.
    static constexpr std::size_t kTailleLibelle = 5000;

    std::string m_Chemin;
    std::string m_NoTable;
    std::string m_NoCode;
    std::string m_PeriodeETMCouv;
    std::string m_Libelle;
    std::string m_LgLibelle;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    std::string titre() const override { return "Lec_Dictionnaire"; }
    int modele() const override { return 144; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonLibelle}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;
    void surActivation() override;
};

}  // namespace quintor
