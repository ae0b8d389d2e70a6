#include "api/ChargeurBibliotheque.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>
#endif

namespace quintor::plateforme {

#ifdef _WIN32

void* chargerBibliotheque(const char* nom)
{
    return reinterpret_cast<void*>(LoadLibraryA(nom));
}

void* trouverSymbole(void* module, const char* nom)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), nom));
}

bool libererBibliotheque(void* module)
{
    return FreeLibrary(static_cast<HMODULE>(module)) != 0;
}

std::uint32_t erreurSysteme()
{
    return static_cast<std::uint32_t>(GetLastError());
}

void effacerErreurSysteme()
{
    SetLastError(0);
}

// The system's text for the last error, as the loader left it.
std::string derniereErreurChargeur()
{
    const DWORD erreur = GetLastError();
    if (erreur == 0) {
        return {};
    }
    char texte[512] = {};
    const DWORD longueur =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, erreur,
                       0, texte, sizeof texte, nullptr);
    std::string resultat(texte, longueur);
    while (!resultat.empty() && (resultat.back() == '\n' || resultat.back() == '\r')) {
        resultat.pop_back();
    }
    if (resultat.empty()) {
        resultat = "erreur " + std::to_string(erreur);
    }
    SetLastError(erreur);
    return resultat;
}

#else

namespace {
// dlerror() forgets its text once read, so keep it for the caller.
thread_local std::string t_derniereErreur;

void retenirErreur()
{
    const char* texte = dlerror();
    t_derniereErreur = texte ? texte : "";
}
}  // namespace

// The program's own directory, with its separator; empty when unknown.
std::string repertoireProgramme()
{
    std::error_code erreur;
    const auto programme = std::filesystem::read_symlink("/proc/self/exe", erreur);
    if (erreur) {
        return {};
    }
    return programme.parent_path().string() + "/";
}

void* chargerBibliotheque(const char* nom)
{
    errno = 0;
    void* module = dlopen(nom, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        // dlopen may leave errno at the failure of its last file probe (ENOENT
        // for a missing library), the closest match to the Windows error code.
        const int erreur = errno;
        retenirErreur();
        // A bare name is also looked for beside the program, as the Windows
        // search does. The run path normally covers it, but a sanitizer's dlopen
        // interceptor hides the program's run path from the loader.
        if (nom != nullptr && std::strchr(nom, '/') == nullptr) {
            const std::string repertoire = repertoireProgramme();
            if (!repertoire.empty()) {
                module = dlopen((repertoire + nom).c_str(), RTLD_NOW | RTLD_LOCAL);
            }
        }
        errno = erreur;
    }
    return module;
}

void* trouverSymbole(void* module, const char* nom)
{
    dlerror();
    void* adresse = dlsym(module, nom);
    if (adresse == nullptr) {
        retenirErreur();
    }
    return adresse;
}

bool libererBibliotheque(void* module)
{
    if (dlclose(module) != 0) {
        retenirErreur();
        return false;
    }
    return true;
}

std::uint32_t erreurSysteme()
{
    return static_cast<std::uint32_t>(errno);
}

void effacerErreurSysteme()
{
    errno = 0;
}

std::string derniereErreurChargeur()
{
    return t_derniereErreur;
}

#endif

}  // namespace quintor::plateforme
