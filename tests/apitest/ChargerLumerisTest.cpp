#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <string>

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
    EXPECT_EQ(std::string(libelle), "\t\tREGIME GENERAL\nSalaries et assimiles");

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
