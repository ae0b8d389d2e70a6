#pragma once
// Card presence per reader: Hn_TestPresence. Return code and error code sit
// in controls 1032 and 1033 on this template.

#include "pages/PageTest.h"

namespace quintor {

class CTest_Hn_Presence : public PageTest {
public:
    explicit CTest_Hn_Presence(EtatProgramme& etat);

    std::string m_usCoupleur;
    std::string m_usStatut;
    std::string m_CodeRetour;
    std::string m_CodeErreur;

    std::string titre() const override { return "Présence Carte"; }
    int modele() const override { return 156; }
    std::vector<Champ> champs() override;
    void Raz() override;
    void Executer() override;
};

}  // namespace quintor
