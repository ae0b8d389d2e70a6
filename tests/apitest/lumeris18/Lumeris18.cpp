// A library with 18 of the API's 19 entry points (Hn_TestPresence is missing),
// for the binding's incomplete-library path. The bodies are never called.

#include <cstdint>

#if defined(_WIN32)
#define EXPORTE extern "C" __declspec(dllexport)
#else
#define EXPORTE extern "C" __attribute__((visibility("default")))
#endif

#define POINT_ENTREE(nom)       \
    EXPORTE std::uint16_t nom() \
    {                           \
        return 0;               \
    }

POINT_ENTREE(Lec_OuvertureSessionAmbrel)
POINT_ENTREE(Lec_FermetureSessionAmbrel)
POINT_ENTREE(Lec_IntroductionMstAmbrel)
POINT_ENTREE(Lec_RetraitMhtAmbrel)
POINT_ENTREE(Lec_LectureAmbrel)
POINT_ENTREE(Lec_OuvertureSessionCPS)
POINT_ENTREE(Lec_FermetureSessionCPS)
POINT_ENTREE(Lec_IntroductionMstCPS)
POINT_ENTREE(Lec_RetraitMhtCPS)
POINT_ENTREE(Lec_ControleCPS)
POINT_ENTREE(Lec_Dictionnaire)
POINT_ENTREE(Lec_InformationsAPI)
POINT_ENTREE(Hn_Init)
POINT_ENTREE(Hn_Finir)
POINT_ENTREE(Hn_LectureAmbrel)
POINT_ENTREE(Hn_IntroductionMstCPS)
POINT_ENTREE(Hn_RetraitMhtCPS)
POINT_ENTREE(Hn_ControleCPS)
