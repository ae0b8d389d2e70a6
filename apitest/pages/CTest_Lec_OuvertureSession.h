#pragma once
// Session opening page, shared by both card families: the caption string
// number chooses the patient card (32775, 32776) or the CPS card (32777, 32778).

#include "pages/PageTest.h"

namespace quintor {

inline constexpr int kTitreOuvertureAmbrel = 32775;
inline constexpr int kTitreFermetureAmbrel = 32776;
inline constexpr int kTitreOuvertureCps = 32777;
inline constexpr int kTitreFermetureCps = 32778;

// 1 patient card, 2 CPS card.
int modePourTitre(int idTitre);
// Text of one of the four caption strings above.
std::string texteTitreSession(int idTitre);

class CTest_Lec_OuvertureSession : public PageTest {
public:
    CTest_Lec_OuvertureSession(EtatProgramme& etat, int idTitre);

    std::string m_Chemin;
    std::string m_NomApplication;
    std::string m_NoSession;
    std::string m_CodeErreur;
    std::string m_CodeRetour;

    int ModePage() const { return m_mode; }

    std::string titre() const override;
    int modele() const override { return 136; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
    void surActivation() override;

private:
    int m_idTitre;
    int m_mode;
};

}  // namespace quintor
