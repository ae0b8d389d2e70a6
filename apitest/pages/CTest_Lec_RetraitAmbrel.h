#pragma once
// Patient card removal: Lec_RetraitMhtAmbrel.

#include "pages/PageRetraitMht.h"

namespace quintor {

class CTest_Lec_RetraitAmbrel : public PageRetraitMht {
public:
    explicit CTest_Lec_RetraitAmbrel(EtatProgramme& etat)
        : PageRetraitMht(etat, &EtatProgramme::SessionAmbrel, &TableFonctionsLecture::Lec_RetraitMhtAmbrel)
    {
        Raz();
    }

    std::string titre() const override { return "Lec_RetraitMhtAmbrel"; }
    int modele() const override { return 142; }
};

}  // namespace quintor
