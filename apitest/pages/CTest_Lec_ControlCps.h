#pragma once
// CPS holder code check: Lec_ControleCPS. Every field of this template is
// limited to 30 characters by its data exchange.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Lec_ControlCps : public PageTest {
public:
    explicit CTest_Lec_ControlCps(EtatProgramme& etat);

    static constexpr int kLongueurChamps = 30;

    std::string m_NoSession;
    std::string m_PinCode;
    std::string m_TypeCarte;
    std::string m_DateFinValidite;
    std::string m_CodeErreur;
    std::string m_IdentApplication;
    std::string m_PresentPINCode;
    std::string m_Categorie;
    std::string m_CodeRetour;

    std::string titre() const override { return "Lec_ControleCPS "; }
    int modele() const override { return 140; }
    std::vector<Champ> champs() override;
    std::vector<int> boutons() const override { return {kBoutonRappelSession}; }
    void Raz() override;
    void Executer() override;
    void commande(int bouton) override;
};

}  // namespace quintor
