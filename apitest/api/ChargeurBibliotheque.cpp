#include "api/ChargeurBibliotheque.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <filesystem>
#include <link.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>
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
    const DWORD longueur = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          erreur, 0, texte, sizeof texte, nullptr);
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

std::uint32_t diagnostiquerEchec(const char*)
{
    return erreurSysteme();
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

// The private library folder of an installed toolkit, seen from bin/.
#ifdef TOOLKIT_PRIVATE_LIBDIR
constexpr const char* kDossierPriveDepuisProgramme = "../" TOOLKIT_PRIVATE_LIBDIR "/";
#else
constexpr const char* kDossierPriveDepuisProgramme = "";
#endif

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
    void* module = dlopen(nom, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        // dlopen sets no error number of its own: diagnostiquerEchec finds one.
        retenirErreur();
        // A bare name is also looked for beside the program, as the Windows
        // search does, then in the installed toolkit's private library folder.
        // The run path normally covers both, but a sanitizer's dlopen
        // interceptor hides the program's run path from the loader.
        if (nom != nullptr && std::strchr(nom, '/') == nullptr) {
            const std::string repertoire = repertoireProgramme();
            for (const std::string& dossier : {repertoire, repertoire + kDossierPriveDepuisProgramme}) {
                struct stat etat {};
                if (repertoire.empty() || stat((dossier + nom).c_str(), &etat) != 0) {
                    continue;
                }
                module = dlopen((dossier + nom).c_str(), RTLD_NOW | RTLD_LOCAL);
                if (module == nullptr) {
                    // The file found is the one that failed: its reason says
                    // more than "not found" on the search path.
                    retenirErreur();
                }
                break;
            }
        }
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

namespace {

// Folders the loader searches for a bare name, in its order as far as it can
// be told: the program's own folder first (the run path is $ORIGIN, and the
// fallback above looks there), then what the loader reports for the program
// (LD_LIBRARY_PATH and the system folders).
std::vector<std::string> repertoiresRecherche()
{
    std::vector<std::string> repertoires;
    if (std::string programme = repertoireProgramme(); !programme.empty()) {
        repertoires.push_back(std::move(programme));
    }
#ifdef __GLIBC__
    if (void* principal = dlopen(nullptr, RTLD_LAZY)) {
        Dl_serinfo taille{};
        if (dlinfo(principal, RTLD_DI_SERINFOSIZE, &taille) == 0 && taille.dls_size > 0) {
            // dlinfo fills the block and the strings it points to in one go.
            std::vector<std::max_align_t> bloc((taille.dls_size + sizeof(std::max_align_t) - 1) /
                                               sizeof(std::max_align_t));
            auto* infos = reinterpret_cast<Dl_serinfo*>(bloc.data());
            *infos = taille;
            if (dlinfo(principal, RTLD_DI_SERINFOSIZE, infos) == 0 &&
                dlinfo(principal, RTLD_DI_SERINFO, infos) == 0) {
                for (unsigned i = 0; i < infos->dls_cnt; ++i) {
                    repertoires.push_back(std::string(infos->dls_serpath[i].dls_name) + "/");
                }
            }
        }
        dlclose(principal);
    }
#endif
    return repertoires;
}

// ELF identification, type and machine of an open file: 0 when it is a
// shared object for the same machine, class and byte order as the program.
int verifierElf(int fichier)
{
    unsigned char entete[EI_NIDENT + 4] = {};
    if (read(fichier, entete, sizeof entete) != static_cast<ssize_t>(sizeof entete) ||
        std::memcmp(entete, ELFMAG, SELFMAG) != 0) {
        return ENOEXEC;
    }
    unsigned char propre[EI_NIDENT + 4] = {};
    const int programme = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (programme >= 0) {
        const bool lu = read(programme, propre, sizeof propre) == static_cast<ssize_t>(sizeof propre);
        close(programme);
        if (lu && (entete[EI_CLASS] != propre[EI_CLASS] || entete[EI_DATA] != propre[EI_DATA] ||
                   std::memcmp(entete + EI_NIDENT + 2, propre + EI_NIDENT + 2, 2) != 0)) {
            return ENOEXEC;
        }
    }
    // e_type follows the identification in both classes; the byte order now matches ours.
    std::uint16_t type = 0;
    std::memcpy(&type, entete + EI_NIDENT, sizeof type);
    return type == ET_DYN ? 0 : ENOEXEC;
}

}  // namespace

std::uint32_t diagnostiquerEchec(const char* nom)
{
    if (nom == nullptr || *nom == '\0') {
        return ENOENT;
    }
    std::string fichier;
    if (std::strchr(nom, '/') != nullptr) {
        fichier = nom;
    } else {
        for (const std::string& repertoire : repertoiresRecherche()) {
            struct stat etat {};
            const std::string candidat = repertoire + nom;
            if (stat(candidat.c_str(), &etat) == 0) {
                fichier = candidat;
                break;
            }
            if (errno == EACCES) {
                return EACCES;
            }
        }
        if (fichier.empty()) {
            return ENOENT;
        }
    }
    const int descripteur = open(fichier.c_str(), O_RDONLY | O_CLOEXEC);
    if (descripteur < 0) {
        return static_cast<std::uint32_t>(errno);
    }
    struct stat etat {};
    int erreur = fstat(descripteur, &etat) == 0 && S_ISDIR(etat.st_mode) ? EISDIR : verifierElf(descripteur);
    close(descripteur);
    if (erreur == 0) {
        // A sound library of our kind that still did not load.
#ifdef ELIBACC
        erreur = ELIBACC;
#else
        erreur = ENOEXEC;
#endif
    }
    return static_cast<std::uint32_t>(erreur);
}

#endif

}  // namespace quintor::plateforme
