#pragma once
// The patient card sheet, with its automatic chain: open a session, insert,
// read, remove, close.

#include "pages/CTestPropSheet.h"
#include "pages/CTest_Lec_Dictionnaire.h"
#include "pages/CTest_Lec_FermetureSession.h"
#include "pages/CTest_Lec_IntroAmbrel.h"
#include "pages/CTest_Lec_LectureAmbrel.h"
#include "pages/CTest_Lec_OuvertureSession.h"
#include "pages/CTest_Lec_RetraitAmbrel.h"

namespace quintor {

class CTestAmbrel : public CTestPropSheet {
public:
    explicit CTestAmbrel(EtatProgramme& etat);

    static constexpr int kMasque = 15;

    // Page indexes, which are also the tab order.
    enum : int { kOuverture = 0, kFermeture, kIntroduction, kRetrait, kLecture, kDictionnaire };

    CTest_Lec_OuvertureSession m_ouverture;
    CTest_Lec_FermetureSession m_fermeture;
    CTest_Lec_IntroAmbrel m_introduction;
    CTest_Lec_RetraitAmbrel m_retrait;
    CTest_Lec_LectureAmbrel m_lecture;
    CTest_Lec_Dictionnaire m_dictionnaire;

    // Runs the chain on the pages' own fields. Each step activates its page
    // (reported through ObservateurFeuille::pageActivee) before reading it; a
    // step after a failure is skipped as the chain's dependencies require, and
    // a missing entry point counts as a failure after its message.
    void Auto() override;

protected:
    std::int32_t* sessionDePremierePage() override { return &m_etat.SessionAmbrel; }

private:
    bool ouvrirSession(std::uint16_t& session);
    bool introduireCarte(std::uint16_t session);
    void lireCarte(std::uint16_t session);
    void retirerCarte(std::uint16_t session);
    void fermerSession(std::uint16_t session);
};

}  // namespace quintor
