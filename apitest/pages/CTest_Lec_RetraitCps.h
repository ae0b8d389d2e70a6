#pragma once
// CPS card removal: Lec_RetraitMhtCPS.

#include "pages/PageRetraitMht.h"

namespace quintor {

class CTest_Lec_RetraitCps : public PageRetraitMht {
public:
    explicit CTest_Lec_RetraitCps(EtatProgramme& etat)
        : PageRetraitMht(etat, &EtatProgramme::SessionCps, &TableFonctionsLecture::Lec_RetraitMhtCPS)
    {
        Raz();
    }

    std::string titre() const override { return "Lec_RetraitMhtCPS "; }
    int modele() const override { return 139; }
};

}  // namespace quintor
