#pragma once
// The high-level functions sheet.

#include "pages/CTestPropSheet.h"
#include "pages/CTest_Hn_ControleCPS.h"
#include "pages/CTest_Hn_Finir.h"
#include "pages/CTest_Hn_Init.h"
#include "pages/CTest_Hn_IntroMstCPS.h"
#include "pages/CTest_Hn_LectureAmbrel.h"
#include "pages/CTest_Hn_Presence.h"
#include "pages/CTest_Hn_RetraitMhtCPS.h"

namespace quintor {

class CTestHN : public CTestPropSheet {
public:
    explicit CTestHN(EtatProgramme& etat);

    static constexpr int kMasque = 7;

    CTest_Hn_Init m_init;
    CTest_Hn_Finir m_finir;
    CTest_Hn_Presence m_presence;
    CTest_Hn_LectureAmbrel m_lecture;
    CTest_Hn_IntroMstCPS m_introduction;
    CTest_Hn_RetraitMhtCPS m_retrait;
    CTest_Hn_ControleCPS m_controle;
};

}  // namespace quintor
