#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#endif

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
