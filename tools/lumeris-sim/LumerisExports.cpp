// The 19 exports of the stand-in API: each checks its pointers, takes the one
// lock, forwards to the simulator and never lets an exception out.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#define LUMERIS_EXPORT extern "C"
#else
#include <dlfcn.h>
#define LUMERIS_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#include "api/LumerisApi.h"
#include "Simulateur.h"

using lumeris::sim::Code;
using lumeris::sim::Simulateur;

namespace {

std::string repertoireDuModule()
{
    std::string fichier;
#ifdef _WIN32
    HMODULE module = nullptr;
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(&repertoireDuModule), &module)) {
        char nom[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(module, nom, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            fichier = nom;
        }
    }
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&repertoireDuModule), &info) != 0 && info.dli_fname != nullptr) {
        fichier = info.dli_fname;
    }
#endif
    std::error_code erreur;
    std::filesystem::path chemin = std::filesystem::absolute(fichier, erreur);
    if (erreur || fichier.empty()) {
        return {};
    }
    std::string repertoire = chemin.parent_path().string();
    repertoire += static_cast<char>(std::filesystem::path::preferred_separator);
    return repertoire;
}

Simulateur& simulateur()
{
    static Simulateur instance(repertoireDuModule());
    return instance;
}

std::mutex& verrou()
{
    static std::mutex instance;
    return instance;
}

// Runs one call: the error word receives the code, or the tries left after a
// wrong or blocked holder code.
template <typename Appel>
std::uint16_t garde(std::uint16_t* err, Appel&& appel)
{
    if (err == nullptr) {
        return lumeris::sim::kArgumentInvalide;
    }
    Code code = lumeris::sim::kErreurInterne;
    std::uint16_t detail = 0;
    try {
        std::lock_guard<std::mutex> lock(verrou());
        code = appel(simulateur(), detail);
    } catch (...) {
        code = lumeris::sim::kErreurInterne;
    }
    const bool essais = code == lumeris::sim::kCodePorteurFaux || code == lumeris::sim::kCarteBloquee;
    *err = essais ? detail : static_cast<std::uint16_t>(code);
    return code;
}

template <typename... P>
bool nonNuls(const P*... pointeurs)
{
    return ((pointeurs != nullptr) && ...);
}

constexpr Code kInvalide = lumeris::sim::kArgumentInvalide;

}  // namespace

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_OuvertureSessionAmbrel(const char* chemin, char* appli,
                                                                     std::uint16_t* session,
                                                                     std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(session) ? s.ouvrirSession(false, chemin, appli, *session) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_OuvertureSessionCPS(const char* chemin, char* appli,
                                                                  std::uint16_t* session, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(session) ? s.ouvrirSession(true, chemin, appli, *session) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_FermetureSessionAmbrel(std::uint16_t session,
                                                                     std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.fermerSession(false, session); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_FermetureSessionCPS(std::uint16_t session, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.fermerSession(true, session); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_IntroductionMstAmbrel(std::uint16_t session,
                                                                    std::int16_t /*tempsAttente*/,
                                                                    std::int16_t* etat, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(etat) ? s.introduireAmbrel(session, *etat) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_RetraitMhtAmbrel(std::uint16_t session,
                                                               std::int16_t /*tempsAttente*/,
                                                               std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.retirer(false, session); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_RetraitMhtCPS(std::uint16_t session,
                                                            std::int16_t /*tempsAttente*/, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.retirer(true, session); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_LectureAmbrel(std::uint16_t session,
                                                            std::uint16_t /*sessionCps*/, char* data,
                                                            std::uint32_t* lgData, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(data, lgData) ? s.lireAmbrel(session, data, *lgData) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_IntroductionMstCPS(std::uint16_t session,
                                                                 std::int16_t /*tempsAttente*/, char* code,
                                                                 char* nom, std::int16_t* etat,
                                                                 std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(code, nom, etat) ? s.introduireCps(session, code, nom, *etat) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_ControleCPS(std::uint16_t session, char* pinCode, char* periode,
                                                          char* appli, char* type, char* present,
                                                          char* categorie, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t& detail) {
        return nonNuls(pinCode, periode, appli, type, present, categorie)
                   ? s.controlerCps(session, pinCode, periode, appli, type, present, categorie, detail)
                   : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_Dictionnaire(const char* chemin, std::int16_t table, char* code,
                                                           char* periode, char* libelle,
                                                           std::int16_t* lgLibelle, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(code, periode, libelle, lgLibelle)
                   ? s.dictionnaire(chemin, table, code, periode, libelle, *lgLibelle)
                   : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Lec_InformationsAPI(const char* chemin, std::uint16_t* lgInfos,
                                                              char* infos, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(lgInfos, infos) ? s.informations(chemin, *lgInfos, infos) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_Init(const char* chemin, std::uint16_t* mode, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(mode) ? s.hnInit(chemin, *mode) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_Finir(std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.hnFinir(); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_LectureAmbrel(std::int16_t /*tempsAttente*/, char* data,
                                                           std::uint32_t* lgData, std::int16_t* etat,
                                                           std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(data, lgData, etat) ? s.hnLireAmbrel(data, *lgData, *etat) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_IntroductionMstCPS(std::int16_t /*tempsAttente*/, char* code,
                                                                char* nom, char* present, std::int16_t* etat,
                                                                std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(code, nom, present, etat) ? s.hnIntroduireCps(code, nom, present, *etat) : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_RetraitMhtCPS(std::int16_t /*tempsAttente*/, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) { return s.hnRetirerCps(); });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_ControleCPS(char* pinCode, char* periode, char* type,
                                                         char* present, char* categorie, std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t& detail) {
        return nonNuls(pinCode, periode, type, present, categorie)
                   ? s.hnControlerCps(pinCode, periode, type, present, categorie, detail)
                   : kInvalide;
    });
}

LUMERIS_EXPORT std::uint16_t LUMERIS_CALL Hn_TestPresence(std::uint16_t coupleur, unsigned char* status,
                                                          std::uint16_t* err)
{
    return garde(err, [&](Simulateur& s, std::uint16_t&) {
        return nonNuls(status) ? s.hnTestPresence(coupleur, *status) : kInvalide;
    });
}

// The exports must match the signatures the test program binds to.
static_assert(std::is_same_v<decltype(Lec_OuvertureSessionAmbrel), lumeris::FnLecOuvertureSession>);
static_assert(std::is_same_v<decltype(Lec_OuvertureSessionCPS), lumeris::FnLecOuvertureSession>);
static_assert(std::is_same_v<decltype(Lec_FermetureSessionAmbrel), lumeris::FnLecFermetureSession>);
static_assert(std::is_same_v<decltype(Lec_FermetureSessionCPS), lumeris::FnLecFermetureSession>);
static_assert(std::is_same_v<decltype(Lec_IntroductionMstAmbrel), lumeris::FnLecIntroductionMstAmbrel>);
static_assert(std::is_same_v<decltype(Lec_RetraitMhtAmbrel), lumeris::FnLecRetraitMht>);
static_assert(std::is_same_v<decltype(Lec_RetraitMhtCPS), lumeris::FnLecRetraitMht>);
static_assert(std::is_same_v<decltype(Lec_LectureAmbrel), lumeris::FnLecLectureAmbrel>);
static_assert(std::is_same_v<decltype(Lec_IntroductionMstCPS), lumeris::FnLecIntroductionMstCps>);
static_assert(std::is_same_v<decltype(Lec_ControleCPS), lumeris::FnLecControleCps>);
static_assert(std::is_same_v<decltype(Lec_Dictionnaire), lumeris::FnLecDictionnaire>);
static_assert(std::is_same_v<decltype(Lec_InformationsAPI), lumeris::FnLecInformationsApi>);
static_assert(std::is_same_v<decltype(Hn_Init), lumeris::FnHnInit>);
static_assert(std::is_same_v<decltype(Hn_Finir), lumeris::FnHnFinir>);
static_assert(std::is_same_v<decltype(Hn_LectureAmbrel), lumeris::FnHnLectureAmbrel>);
static_assert(std::is_same_v<decltype(Hn_IntroductionMstCPS), lumeris::FnHnIntroductionMstCps>);
static_assert(std::is_same_v<decltype(Hn_RetraitMhtCPS), lumeris::FnHnRetraitMhtCps>);
static_assert(std::is_same_v<decltype(Hn_ControleCPS), lumeris::FnHnControleCps>);
static_assert(std::is_same_v<decltype(Hn_TestPresence), lumeris::FnHnTestPresence>);
