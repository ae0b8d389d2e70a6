#pragma once
// The CPS card sheet: session opening and closing, insertion, removal, code check.

#include "pages/CTestPropSheet.h"
#include "pages/CTest_Lec_ControlCps.h"
#include "pages/CTest_Lec_FermetureSession.h"
#include "pages/CTest_Lec_IntroCps.h"
#include "pages/CTest_Lec_OuvertureSession.h"
#include "pages/CTest_Lec_RetraitCps.h"

namespace quintor {

class CTestCps : public CTestPropSheet {
public:
    explicit CTestCps(EtatProgramme& etat);

    static constexpr int kMasque = 7;

    CTest_Lec_OuvertureSession m_ouverture;
    CTest_Lec_FermetureSession m_fermeture;
    CTest_Lec_IntroCps m_introduction;
    CTest_Lec_RetraitCps m_retrait;
    CTest_Lec_ControlCps m_controle;

    // This sheet has no chain: its "&Auto" does nothing.
    void Auto() override {}

protected:
    std::int32_t* sessionDePremierePage() override { return &m_etat.SessionCps; }
};

}  // namespace quintor
