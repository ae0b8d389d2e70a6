// Profile files: any file content, read in every form into buffers of the
// exact size (a byte written past one is caught), then one write: the key
// written reads back as written and every other readable key keeps its value.
// The first two bytes choose the section and the key written.

#include "FuzzCheck.h"
#include "common/ProfileFile.h"
#include "tests/common/TempDir.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// getProfileString into a heap buffer of exactly `taille` bytes.
std::string lire(const char* section, const char* cle, std::uint32_t taille, const std::string& chemin)
{
    std::vector<char> tampon(taille);
    const std::uint32_t n =
        common::getProfileString(section, cle, "defaut", tampon.data(), taille, chemin.c_str());
    if (taille == 0) {
        FUZZ_CHECK(n == 0);
        return {};
    }
    FUZZ_CHECK(n < taille && tampon[n] == '\0');
    return std::string(tampon.data(), n);
}

std::vector<std::string> noms(const std::string& liste)
{
    std::vector<std::string> resultat;
    for (std::size_t debut = 0; debut < liste.size();) {
        const std::size_t fin = liste.find('\0', debut);
        resultat.push_back(liste.substr(debut, fin - debut));
        debut = fin == std::string::npos ? liste.size() : fin + 1;
    }
    return resultat;
}

using Valeurs = std::map<std::pair<std::string, std::string>, std::string>;

// Every value readable by the section and key names the file lists.
Valeurs toutLire(const std::string& chemin, std::vector<std::string>& sections, bool formesCourtes)
{
    constexpr std::uint32_t kGrand = 1 << 17;
    Valeurs valeurs;
    sections = noms(lire(nullptr, nullptr, kGrand, chemin));
    for (const std::string& section : sections) {
        for (const std::string& cle : noms(lire(section.c_str(), nullptr, kGrand, chemin))) {
            const std::string valeur = lire(section.c_str(), cle.c_str(), kGrand, chemin);
            valeurs[{section, cle}] = valeur;
            if (!formesCourtes) {
                continue;
            }
            const auto taille = static_cast<std::uint32_t>(valeur.size());
            FUZZ_CHECK(lire(section.c_str(), cle.c_str(), taille + 1, chemin) == valeur);
            FUZZ_CHECK(lire(section.c_str(), cle.c_str(), taille, chemin) ==
                       valeur.substr(0, taille ? taille - 1 : 0));
            FUZZ_CHECK(common::readProfileString(chemin, section, cle, "defaut", valeur.size()) == valeur);
            common::getProfileInt(section.c_str(), cle.c_str(), -1, chemin.c_str());
        }
    }
    return valeurs;
}

bool bordTabulation(char c)
{
    return c == '\t' || c == '\v';
}

// Whether two names given to the calls reach the same entry: the calls strip
// spaces from both ends and compare without regard to case (" " and "" are one
// section).
bool memeNom(const std::string& a, const std::string& b)
{
    const auto nu = [](const std::string& nom) {
        const std::size_t debut = nom.find_first_not_of(' ');
        return debut == std::string::npos ? std::string()
                                          : nom.substr(debut, nom.find_last_not_of(' ') - debut + 1);
    };
    const std::string x = nu(a);
    const std::string y = nu(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(),
                      [](unsigned char p, unsigned char q) { return std::tolower(p) == std::tolower(q); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TempDir dossier;
    static const std::string chemin = dossier.file("fuzz.ini");
    FuzzedDataProvider entree(data, size);
    const auto choixSection = entree.ConsumeIntegral<std::uint8_t>();
    const auto choixCle = entree.ConsumeIntegral<std::uint8_t>();
    const std::string contenu = entree.ConsumeRemainingBytesAsString();
    dossier.write("fuzz.ini", contenu);

    std::vector<std::string> sections;
    const Valeurs avant = toutLire(chemin, sections, true);

    std::string section = "FuzzSection";
    std::string cle = "NouvelleCle";
    if (!sections.empty() && choixSection % 2 == 0) {
        section = sections[choixSection / 2 % sections.size()];
        const std::vector<std::string> cles = noms(lire(section.c_str(), nullptr, 1 << 17, chemin));
        if (!cles.empty() && choixCle % 2 == 0) {
            cle = cles[choixCle / 2 % cles.size()];
        }
    }
    // Like Windows, the calls strip only spaces from the names they are given,
    // while the file's names lose tabs and vertical tabs too: a name that
    // starts or ends with one cannot be found again (a NUL in a file's name
    // splits it in the listing and can leave one there).
    for (std::string* nom : {&section, &cle}) {
        if (!nom->empty() && (bordTabulation(nom->front()) || bordTabulation(nom->back()))) {
            *nom = nom == &section ? "FuzzSection" : "NouvelleCle";
        }
    }
    const std::string valeur = "valeur-" + std::to_string(size);
    if (!common::writeProfileString(section.c_str(), cle.c_str(), valeur.c_str(), chemin.c_str())) {
        FUZZ_CHECK(TempDir::read(chemin) == contenu);  // a refused write changes nothing
        return 0;
    }
    FUZZ_CHECK(lire(section.c_str(), cle.c_str(), 1 << 17, chemin) == valeur);
    std::vector<std::string> sectionsApres;
    const Valeurs apres = toutLire(chemin, sectionsApres, false);
    for (const auto& [nom, ancienne] : avant) {
        if (memeNom(nom.first, section) && memeNom(nom.second, cle)) {
            continue;
        }
        FUZZ_CHECK(lire(nom.first.c_str(), nom.second.c_str(), 1 << 17, chemin) == ancienne);
    }
    return 0;
}
