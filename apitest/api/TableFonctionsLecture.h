#pragma once
// The table of the API's 19 entry points and the functions that fill and empty it.

#include <cstdint>
#include <string>

#include "api/LumerisApi.h"

namespace quintor {

// File name of the API library for the platform's standard search.
#ifdef _WIN32
inline constexpr const char* kNomLumeris = "lumeris.dll";
#else
inline constexpr const char* kNomLumeris = "liblumeris.so";
#endif

struct TableFonctionsLecture {
    // Null while no library is held.
    void* module = nullptr;

    lumeris::FnLecOuvertureSession* Lec_OuvertureSessionAmbrel = nullptr;
    lumeris::FnLecFermetureSession* Lec_FermetureSessionAmbrel = nullptr;
    lumeris::FnLecIntroductionMstAmbrel* Lec_IntroductionMstAmbrel = nullptr;
    lumeris::FnLecRetraitMht* Lec_RetraitMhtAmbrel = nullptr;
    lumeris::FnLecLectureAmbrel* Lec_LectureAmbrel = nullptr;
    lumeris::FnLecOuvertureSession* Lec_OuvertureSessionCPS = nullptr;
    lumeris::FnLecFermetureSession* Lec_FermetureSessionCPS = nullptr;
    lumeris::FnLecIntroductionMstCps* Lec_IntroductionMstCPS = nullptr;
    lumeris::FnLecRetraitMht* Lec_RetraitMhtCPS = nullptr;
    lumeris::FnLecControleCps* Lec_ControleCPS = nullptr;
    lumeris::FnLecDictionnaire* Lec_Dictionnaire = nullptr;
    lumeris::FnLecInformationsApi* Lec_InformationsAPI = nullptr;
    lumeris::FnHnInit* Hn_Init = nullptr;
    lumeris::FnHnFinir* Hn_Finir = nullptr;
    lumeris::FnHnLectureAmbrel* Hn_LectureAmbrel = nullptr;
    lumeris::FnHnIntroductionMstCps* Hn_IntroductionMstCPS = nullptr;
    lumeris::FnHnRetraitMhtCps* Hn_RetraitMhtCPS = nullptr;
    lumeris::FnHnControleCps* Hn_ControleCPS = nullptr;
    lumeris::FnHnTestPresence* Hn_TestPresence = nullptr;

    // System error value of the last failed load (why the file could not be
    // used; 0 after a missing entry point), for the load-failure message.
    std::uint32_t erreurSysteme = 0;
    // The loader's description of the last failure, empty when none.
    std::string erreurChargeur;

    void effacerPointeurs();
};

inline constexpr int kNombreFonctions = 19;

// Names in the order in which they are resolved.
extern const char* const kNomsFonctions[kNombreFonctions];

// 0: library loaded (or already held) and all 19 entry points bound;
// 1: the library could not be loaded;
// 2: the library lacks at least one entry point; it has been released again.
// A library already held is not loaded a second time; its names are resolved again.
std::uint16_t ChargerLumeris(TableFonctionsLecture& table, const char* nomFichier = kNomLumeris);

// 1 when no library was held (nothing changes), otherwise 0 after releasing it
// and clearing the handle and every entry point.
std::uint16_t LibererLumeris(TableFonctionsLecture& table);

}  // namespace quintor
