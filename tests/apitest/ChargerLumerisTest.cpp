#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#endif

#include <string>

#include "TestSupport.h"
#include "api/TableFonctionsLecture.h"

using namespace quintor;

namespace {

// Non-null slots of the table, in resolution order.
int pointeursLies(const TableFonctionsLecture& t)
{
    const void* slots[] = {
        reinterpret_cast<const void*>(t.Lec_OuvertureSessionAmbrel),
        reinterpret_cast<const void*>(t.Lec_FermetureSessionAmbrel),
        reinterpret_cast<const void*>(t.Lec_IntroductionMstAmbrel),
        reinterpret_cast<const void*>(t.Lec_RetraitMhtAmbrel),
        reinterpret_cast<const void*>(t.Lec_LectureAmbrel),
        reinterpret_cast<const void*>(t.Lec_OuvertureSessionCPS),
        reinterpret_cast<const void*>(t.Lec_FermetureSessionCPS),
        reinterpret_cast<const void*>(t.Lec_IntroductionMstCPS),
        reinterpret_cast<const void*>(t.Lec_RetraitMhtCPS),
        reinterpret_cast<const void*>(t.Lec_ControleCPS),
        reinterpret_cast<const void*>(t.Lec_Dictionnaire),
        reinterpret_cast<const void*>(t.Lec_InformationsAPI),
        reinterpret_cast<const void*>(t.Hn_Init),
        reinterpret_cast<const void*>(t.Hn_Finir),
        reinterpret_cast<const void*>(t.Hn_LectureAmbrel),
        reinterpret_cast<const void*>(t.Hn_IntroductionMstCPS),
        reinterpret_cast<const void*>(t.Hn_RetraitMhtCPS),
        reinterpret_cast<const void*>(t.Hn_ControleCPS),
        reinterpret_cast<const void*>(t.Hn_TestPresence),
    };
    int n = 0;
    for (const void* slot : slots) {
        n += slot != nullptr;
    }
    return n;
}

std::uint16_t LUMERIS_CALL finirSentinelle(std::uint16_t*)
{
    return 0;
}

#ifndef _WIN32
// True while the process still holds the library (RTLD_NOLOAD never loads).
bool encoreCharge(const char* chemin)
{
    void* module = dlopen(chemin, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) {
        return false;
    }
    dlclose(module);
    return true;
}
#endif

TEST(ChargerLumeris, BindsAllNineteenEntryPointsOfTheStandIn)
{
    TableFonctionsLecture table;
    ASSERT_EQ(ChargerLumeris(table, LUMERIS_SIM_PATH), 0) << table.erreurChargeur;
    EXPECT_NE(table.module, nullptr);
    EXPECT_EQ(pointeursLies(table), kNombreFonctions);
    EXPECT_EQ(LibererLumeris(table), 0);
    EXPECT_EQ(table.module, nullptr);
    EXPECT_EQ(pointeursLies(table), 0);
}

TEST(ChargerLumeris, FindsTheBundledLibraryByTheStandardSearch)
{
    TableFonctionsLecture table;
    ASSERT_EQ(ChargerLumeris(table), 0) << table.erreurChargeur;
    EXPECT_EQ(pointeursLies(table), kNombreFonctions);
    EXPECT_EQ(LibererLumeris(table), 0);
}

TEST(ChargerLumeris, DoesNotLoadABoundLibraryAgain)
{
    TableFonctionsLecture table;
    ASSERT_EQ(ChargerLumeris(table, LUMERIS_SIM_PATH), 0);
    void* premier = table.module;
    // A second call only resolves the names again, even given another file.
    EXPECT_EQ(ChargerLumeris(table, "/nonexistent/liblumeris.so"), 0);
    EXPECT_EQ(table.module, premier);
    EXPECT_EQ(pointeursLies(table), kNombreFonctions);
    EXPECT_EQ(LibererLumeris(table), 0);
#ifndef _WIN32
    // One release suffices: the library was held once.
    EXPECT_FALSE(encoreCharge(LUMERIS_SIM_PATH));
#endif
}

#ifndef _WIN32
// One way for the library file to be unusable: how to make it, and the system
// value the failure message must then carry.
struct FichierInutilisable {
    const char* nom;
    // Writes the file into the folder; returns the name handed to the loader.
    std::string (*preparer)(const std::filesystem::path& dossier);
    std::uint32_t erreur;
    // Opened by a user who may not read the file (root reads everything).
    bool sansDroits = false;
};

std::string copieStandIn(const std::filesystem::path& dossier)
{
    const auto copie = dossier / "liblumeris.so";
    std::filesystem::copy_file(LUMERIS_SIM_PATH, copie);
    return copie.string();
}

// The stand-in's bytes with one ELF header byte changed.
std::string standInModifie(const std::filesystem::path& dossier, std::size_t position,
                           unsigned char (*valeur)(unsigned char))
{
    std::ifstream entree(LUMERIS_SIM_PATH, std::ios::binary);
    std::string octets((std::istreambuf_iterator<char>(entree)), std::istreambuf_iterator<char>());
    const auto copie = dossier / "liblumeris.so";
    if (octets.size() > position) {
        octets[position] = static_cast<char>(valeur(static_cast<unsigned char>(octets[position])));
    }
    std::ofstream(copie, std::ios::binary) << octets;
    return copie.string();
}

const FichierInutilisable kFichiersInutilisables[] = {
    {"Absent", [](const std::filesystem::path& d) { return (d / "liblumeris.so").string(); }, ENOENT},
    {"NomNuSansFichierNullePart",
     [](const std::filesystem::path&) { return std::string("liblumeris-absente-partout.so"); }, ENOENT},
    {"Texte",
     [](const std::filesystem::path& d) {
         std::ofstream(d / "liblumeris.so") << "pas une bibliotheque\n";
         return (d / "liblumeris.so").string();
     },
     ENOEXEC},
    {"Dossier",
     [](const std::filesystem::path& d) {
         std::filesystem::create_directory(d / "liblumeris.so");
         return (d / "liblumeris.so").string();
     },
     EISDIR},
    // e_machine: a machine other than ours (AArch64, or x86-64 on AArch64).
    {"AutreArchitecture",
     [](const std::filesystem::path& d) {
         return standInModifie(d, 18, [](unsigned char m) -> unsigned char { return m == 183 ? 62 : 183; });
     },
     ENOEXEC},
    // EI_CLASS: the other word size.
    {"AutreClasse",
     [](const std::filesystem::path& d) {
         return standInModifie(d, 4, [](unsigned char c) -> unsigned char { return c == 1 ? 2 : 1; });
     },
     ENOEXEC},
    {"Illisible",
     [](const std::filesystem::path& d) {
         const std::string chemin = copieStandIn(d);
         chmod(chemin.c_str(), 0);
         return chemin;
     },
     EACCES, true},
};

void PrintTo(const FichierInutilisable& cas, std::ostream* sortie)
{
    *sortie << cas.nom;
}

class FichierInutilisableTest : public ::testing::TestWithParam<FichierInutilisable> {};

// Loads in a child process under an unprivileged user when the tests run as
// root; the child's exit status carries the load result and the system value.
std::pair<int, std::uint32_t> chargerSansDroits(const std::string& nom)
{
    const pid_t enfant = fork();
    if (enfant == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(255);
        }
        TableFonctionsLecture table;
        const int resultat = ChargerLumeris(table, nom.c_str());
        _exit(resultat * 100 + static_cast<int>(table.erreurSysteme % 100));
    }
    int etat = 0;
    if (enfant < 0 || waitpid(enfant, &etat, 0) != enfant || !WIFEXITED(etat)) {
        return {-1, 0};
    }
    const int code = WEXITSTATUS(etat);
    return {code / 100, static_cast<std::uint32_t>(code % 100)};
}

TEST_P(FichierInutilisableTest, GivesOneWithTheSystemValueAndTheLoadersReason)
{
    const FichierInutilisable& cas = GetParam();
    TempDir dossier;
    const std::string nom = cas.preparer(dossier.path());
    if (cas.sansDroits) {
        const auto [resultat, erreur] = chargerSansDroits(nom);
        EXPECT_EQ(resultat, 1);
        EXPECT_EQ(erreur, cas.erreur);
        return;
    }
    TableFonctionsLecture table;
    EXPECT_EQ(ChargerLumeris(table, nom.c_str()), 1);
    EXPECT_EQ(table.erreurSysteme, cas.erreur) << table.erreurChargeur;
    EXPECT_EQ(table.module, nullptr);
    EXPECT_EQ(pointeursLies(table), 0);
    // The loader's words name the file or the fault for the message's second line.
    EXPECT_FALSE(table.erreurChargeur.empty());
}

INSTANTIATE_TEST_SUITE_P(ChargerLumeris, FichierInutilisableTest, ::testing::ValuesIn(kFichiersInutilisables),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST(ChargerLumeris, AfterAFailureASoundLibraryStillBinds)
{
    // The diagnosis of a failure must not leave anything that spoils the next load.
    TableFonctionsLecture table;
    EXPECT_EQ(ChargerLumeris(table, "/nonexistent/liblumeris.so"), 1);
    ASSERT_EQ(ChargerLumeris(table, LUMERIS_SIM_PATH), 0) << table.erreurChargeur;
    EXPECT_EQ(table.erreurSysteme, 0u);
    EXPECT_TRUE(table.erreurChargeur.empty());
    EXPECT_EQ(LibererLumeris(table), 0);
}
#endif

TEST(ChargerLumeris, MissingLibraryGivesOneAndKeepsTheTable)
{
    TableFonctionsLecture table;
    EXPECT_EQ(ChargerLumeris(table, "/nonexistent/liblumeris.so"), 1);
    EXPECT_EQ(table.module, nullptr);
    EXPECT_EQ(pointeursLies(table), 0);
    EXPECT_FALSE(table.erreurChargeur.empty());
}

TEST(ChargerLumeris, LibraryMissingOneNameGivesTwoAndIsNotKept)
{
    TableFonctionsLecture table;
    EXPECT_EQ(ChargerLumeris(table, LUMERIS_INCOMPLETE_PATH), 2);
    EXPECT_EQ(table.module, nullptr);
    EXPECT_EQ(table.erreurSysteme, 0u);
    // The 18 addresses found would point into the released library.
    EXPECT_EQ(pointeursLies(table), 0);
#ifndef _WIN32
    EXPECT_FALSE(encoreCharge(LUMERIS_INCOMPLETE_PATH));
#endif
}

// Calls through the bound table reach the stand-in with the API's convention
// (__stdcall on 32-bit Windows): arguments of every width arrive, results come back.
TEST(ChargerLumeris, BoundEntryPointsAnswerThroughTheTable)
{
    TableFonctionsLecture table;
    ASSERT_EQ(ChargerLumeris(table, LUMERIS_SIM_PATH), 0) << table.erreurChargeur;
    const std::string chemin = std::string(LUMERIS_DATA_DIR) + "/";

    EXPECT_EQ(table.Hn_Finir(nullptr), 1);
    char appli[32] = "essai";
    std::uint16_t session = 0;
    std::uint16_t err = 99;
    ASSERT_EQ(table.Lec_OuvertureSessionAmbrel(chemin.c_str(), appli, &session, &err), 0);
    EXPECT_EQ(err, 0);
    EXPECT_NE(session, 0);

    char code[9] = {'0', '1', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    char periode[60] = {};
    char libelle[100] = {};
    std::int16_t lgLibelle = sizeof libelle;
    EXPECT_EQ(table.Lec_Dictionnaire(chemin.c_str(), 1, code, periode, libelle, &lgLibelle, &err), 0);
    EXPECT_EQ(std::string(libelle), "\t\tREGIME GENERAL\nSalari\xE9s et assimil\xE9s");

    EXPECT_EQ(table.Lec_FermetureSessionAmbrel(session, &err), 0);
    // A closed session cannot be closed again.
    const std::uint16_t encore = table.Lec_FermetureSessionAmbrel(session, &err);
    EXPECT_NE(encore, 0);
    EXPECT_EQ(err, encore);

    // Files missing at the given path: the API's own code, through the same call.
    const std::string ailleurs = std::string(LUMERIS_DATA_DIR) + "/absent/";
    EXPECT_EQ(table.Lec_OuvertureSessionAmbrel(ailleurs.c_str(), appli, &session, &err),
              lumeris::kFichiersIntrouvables);
    EXPECT_EQ(LibererLumeris(table), 0);
}

TEST(LibererLumeris, WithoutLibraryReturnsOneAndChangesNothing)
{
    TableFonctionsLecture table;
    lumeris::FnHnFinir* sentinelle = &finirSentinelle;
    table.Hn_Finir = sentinelle;
    EXPECT_EQ(LibererLumeris(table), 1);
    EXPECT_EQ(table.Hn_Finir, sentinelle);
    EXPECT_EQ(table.module, nullptr);
}

}  // namespace
