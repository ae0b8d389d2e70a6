// The sheets' commands and the patient card sheet's automatic chain against
// the scripted API.

#include <string>

#include <gtest/gtest.h>

#include "FausseApi.h"
#include "TestSupport.h"
#include "pages/CTestAmbrel.h"
#include "pages/CTestCps.h"
#include "pages/CTestHN.h"

using namespace quintor;
using namespace quintor::test;

namespace {

using Noms = std::vector<std::string>;

class AutoChaineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installer(m_etat.Table);
        m_etat.presentateur = &m_presentateur;
        m_feuille.setObservateur(&m_observateur);
        m_feuille.ouvrir();
        m_observateur.pagesActivees.clear();
        m_observateur.evenements.clear();
    }

    EtatProgramme m_etat;
    PresentateurEnregistreur m_presentateur;
    ObservateurEnregistreur m_observateur;
    CTestAmbrel m_feuille{m_etat};
};

TEST_F(AutoChaineTest, AllStepsSucceed)
{
    m_feuille.m_ouverture.m_NoSession = "99";
    m_feuille.m_ouverture.m_CodeErreur = "98";
    m_feuille.m_introduction.m_TempsAttente = "-1";
    m_feuille.m_lecture.m_LgDataOut = "131068";
    fausse().session = 0x1234;
    fausse().donnees = std::string("\x01\xab", 2);
    fausse().lgSortie = 3;

    m_feuille.Auto();

    EXPECT_EQ(fausse().noms(),
              (Noms{"Lec_OuvertureSessionAmbrel", "Lec_IntroductionMstAmbrel", "Lec_LectureAmbrel",
                    "Lec_RetraitMhtAmbrel", "Lec_FermetureSessionAmbrel"}));
    // Null path, the application name, and neither session nor error from the fields.
    EXPECT_EQ(fausse().appels[0].args,
              (Noms{"null", std::string("Test_ah") + std::string(25, '\0'), "0", "0"}));
    for (std::size_t i = 1; i < fausse().appels.size(); ++i) {
        EXPECT_EQ(fausse().appels[i].args[0], "4660") << fausse().appels[i].nom;
    }
    EXPECT_EQ(fausse().appels[1].args[1], "-1");
    EXPECT_EQ(fausse().appels[2].args[3], "131068");
    EXPECT_EQ(m_observateur.pagesActivees, (std::vector<int>{0, 2, 4, 3, 1, 4}));
    EXPECT_EQ(m_feuille.pageActive(), CTestAmbrel::kLecture);
    EXPECT_EQ(m_etat.SessionAmbrel, 0x1234);
    EXPECT_EQ(m_feuille.m_ouverture.m_NoSession, "4660 (0x1234)");
    EXPECT_EQ(m_feuille.m_introduction.m_NoSession, "4660 (0x1234)");
    EXPECT_EQ(m_feuille.m_introduction.m_TempsAttente, "-1 (0xffffffff)");
    EXPECT_EQ(m_feuille.m_lecture.m_DataOut, "01 ab 00 ");
    EXPECT_EQ(m_feuille.m_lecture.m_LgDataOut, "3 (0x0003)");
    EXPECT_EQ(m_feuille.m_retrait.m_CodeRetour, "0 (0x0000)");
    EXPECT_EQ(m_feuille.m_fermeture.m_NoSession, "4660 (0x1234)");
    EXPECT_EQ(m_observateur.evenements.front(), "attente");
    EXPECT_EQ(m_observateur.evenements[1], "boutons inactifs");
    EXPECT_EQ(m_observateur.evenements.back(), "fin attente");
    EXPECT_EQ(m_observateur.evenements[m_observateur.evenements.size() - 2], "boutons actifs");
}

TEST_F(AutoChaineTest, FailedOpeningSkipsEverything)
{
    fausse().retours["Lec_OuvertureSessionAmbrel"] = 1;
    m_feuille.Auto();
    EXPECT_EQ(fausse().noms(), Noms{"Lec_OuvertureSessionAmbrel"});
    EXPECT_EQ(m_observateur.pagesActivees, (std::vector<int>{0, 4}));
    EXPECT_EQ(m_feuille.m_ouverture.m_CodeRetour, "1 (0x0001)");
}

TEST_F(AutoChaineTest, FailedInsertionSkipsReadingAndRemovalButCloses)
{
    fausse().retours["Lec_IntroductionMstAmbrel"] = 3;
    m_feuille.Auto();
    EXPECT_EQ(fausse().noms(), (Noms{"Lec_OuvertureSessionAmbrel", "Lec_IntroductionMstAmbrel",
                                     "Lec_FermetureSessionAmbrel"}));
    EXPECT_EQ(m_observateur.pagesActivees, (std::vector<int>{0, 2, 1, 4}));
}

TEST_F(AutoChaineTest, FailedReadingStillRemoves)
{
    fausse().retours["Lec_LectureAmbrel"] = 4;
    m_feuille.Auto();
    EXPECT_EQ(fausse().noms(),
              (Noms{"Lec_OuvertureSessionAmbrel", "Lec_IntroductionMstAmbrel", "Lec_LectureAmbrel",
                    "Lec_RetraitMhtAmbrel", "Lec_FermetureSessionAmbrel"}));
    EXPECT_EQ(m_feuille.m_lecture.m_CodeRetour, "4 (0x0004)");
}

TEST_F(AutoChaineTest, LengthBeyondTheBufferIsRenderedUpToTheBufferOnly)
{
    fausse().donnees = "abc";
    fausse().lgSortie = 0xFFFFFFFF;
    m_feuille.Auto();
    EXPECT_EQ(m_feuille.m_lecture.m_DataOut.size(), kTailleDonnees * 3);
    EXPECT_EQ(m_feuille.m_lecture.m_DataOut.substr(0, 12), "61 62 63 00 ");
    EXPECT_EQ(m_feuille.m_lecture.m_LgDataOut, "-1 (0xffffffff)");
}

TEST_F(AutoChaineTest, MissingEntryPointCountsAsAFailedStep)
{
    m_etat.Table.Lec_IntroductionMstAmbrel = nullptr;
    m_feuille.Auto();
    EXPECT_EQ(fausse().noms(), (Noms{"Lec_OuvertureSessionAmbrel", "Lec_FermetureSessionAmbrel"}));
    EXPECT_EQ(m_presentateur.messages, Noms{"Fonction non chargée\nAppel non effectué"});
}

TEST_F(AutoChaineTest, EachStepReadsItsPageBeforeCallingAndRefreshesItAfter)
{
    fausse().retours["Lec_IntroductionMstAmbrel"] = 3;
    m_feuille.Auto();
    // Each activation first exchanges the page being left, so what was typed on
    // the page shown when "&Auto" was pressed reaches the chain.
    EXPECT_EQ(m_observateur.evenements,
              (Noms{"attente", "boutons inactifs", "lit 0", "active 0", "lit 0", "ecrit 0", "lit 0",
                    "active 2", "lit 2", "ecrit 2", "lit 2", "active 1", "lit 1", "ecrit 1", "lit 1",
                    "active 4", "boutons actifs", "fin attente"}));
}

TEST(Feuilles, ExecuterRunsTheActivePageBetweenDisabledButtons)
{
    EtatProgramme etat;
    installer(etat.Table);
    ObservateurEnregistreur observateur;
    CTestHN feuille(etat);
    feuille.setObservateur(&observateur);
    feuille.ActiverPage(1);
    observateur.evenements.clear();
    feuille.Executer();
    EXPECT_EQ(fausse().noms(), Noms{"Hn_Finir"});
    EXPECT_EQ(observateur.evenements,
              (Noms{"attente", "boutons inactifs", "lit 1", "ecrit 1", "boutons actifs", "fin attente"}));
}

TEST(Feuilles, RazOnTheOpeningPageClearsTheSheetsSession)
{
    EtatProgramme etat;
    installer(etat.Table);
    etat.SessionCps = 5;
    etat.SessionAmbrel = 6;
    CTestCps feuille(etat);
    feuille.ActiverPage(0);
    feuille.Raz();
    EXPECT_EQ(etat.SessionCps, 0);
    EXPECT_EQ(etat.SessionAmbrel, 6);
    feuille.m_retrait.commande(kBoutonRappelSession);
    EXPECT_EQ(feuille.m_retrait.m_NoSession, "0 (0x0000)");

    // On another page the session stays.
    etat.SessionCps = 5;
    feuille.ActiverPage(2);
    feuille.Raz();
    EXPECT_EQ(etat.SessionCps, 5);
}

TEST(Feuilles, PageButtonRunsBetweenReadingAndRefreshingTheActivePage)
{
    EtatProgramme etat;
    installer(etat.Table);
    etat.SessionCps = 42;
    ObservateurEnregistreur observateur;
    CTestCps feuille(etat);
    feuille.setObservateur(&observateur);
    feuille.ActiverPage(3);
    observateur.evenements.clear();
    feuille.CommandePage(kBoutonRappelSession);
    EXPECT_EQ(feuille.m_retrait.m_NoSession, "42 (0x002a)");
    EXPECT_EQ(observateur.evenements, (Noms{"lit 3", "ecrit 3"}));
}

TEST(Feuilles, AutoOnOtherSheets)
{
    EtatProgramme etat;
    installer(etat.Table);
    PresentateurEnregistreur presentateur;
    etat.presentateur = &presentateur;
    CTestCps cps(etat);
    cps.Auto();
    EXPECT_TRUE(presentateur.messages.empty());
    CTestHN hn(etat);
    hn.Auto();
    EXPECT_EQ(presentateur.messages, Noms{"Fonction non implémentée"});
    EXPECT_TRUE(fausse().appels.empty());
}

TEST(Feuilles, PagesAndCaptionsInTabOrder)
{
    EtatProgramme etat;
    CTestAmbrel ambrel(etat);
    CTestCps cps(etat);
    CTestHN hn(etat);
    auto titres = [](CTestPropSheet& f) {
        Noms t;
        for (int i = 0; i < f.nombrePages(); ++i) {
            t.push_back(f.page(i).titre());
        }
        return t;
    };
    EXPECT_EQ(titres(ambrel),
              (Noms{"Lec_OuvertureSessionAmbrel", "Lec_FermetureSessionAmbrel", "Lec_IntroductionMstAmbrel",
                    "Lec_RetraitMhtAmbrel", "Lec_LectureAmbrel", "Lec_Dictionnaire"}));
    EXPECT_EQ(titres(cps), (Noms{"Lec_OuvertureSessionCPS", "Lec_FermetureSessionCPS",
                                 "Lec_IntroductionMstCPS ", "Lec_RetraitMhtCPS ", "Lec_ControleCPS "}));
    EXPECT_EQ(titres(hn), (Noms{"Init", "Finir", "Présence Carte", "Lecture Ambrel", "HN_IntroductionMstCPS",
                                "HN_RetraitMhtCPS", "HN_ControleCPS"}));
    EXPECT_EQ(ambrel.MasqueBoutons, 15);
    EXPECT_EQ(cps.MasqueBoutons, 7);
    EXPECT_EQ(hn.titre(), "Test des fonctions de Haut Niveau");
}

TEST(Feuilles, InitPagePathIsLoadedWhenItsWindowIsCreated)
{
    EtatProgramme etat;
    etat.CheminPartage = "/un/";
    CTestHN feuille(etat);
    feuille.ouvrir();
    EXPECT_EQ(feuille.m_init.m_Chemin, "/un/");
    etat.CheminPartage = "/deux/";
    feuille.ActiverPage(3);
    feuille.ActiverPage(0);
    EXPECT_EQ(feuille.m_init.m_Chemin, "/un/");
    // Closing destroys the page windows; reopening creates them again.
    feuille.fermer();
    EXPECT_EQ(feuille.FeuilleCreee, 0);
    feuille.ouvrir();
    EXPECT_EQ(feuille.m_init.m_Chemin, "/deux/");
}

struct CasBoutons {
    int masque;
    std::vector<std::pair<int, int>> commandesEtGauches;
};

TEST(PlacerBoutons, RowForEachMask)
{
    const std::vector<CasBoutons> cas = {
        {15, {{1, 6}, {2, 106}, {32773, 206}, {8, 308}}},
        {7, {{1, 6}, {2, 106}, {8, 308}}},
        {4 | 8, {{2, 100}, {32773, 200}, {8, 308}}},
        {8, {{32773, 100}, {8, 308}}},
        {0, {{8, 308}}},
    };
    for (const CasBoutons& c : cas) {
        const auto boutons = placerBoutons(c.masque, 400, 300);
        ASSERT_EQ(boutons.size(), c.commandesEtGauches.size()) << c.masque;
        for (std::size_t i = 0; i < boutons.size(); ++i) {
            EXPECT_EQ(boutons[i].commande, c.commandesEtGauches[i].first) << c.masque;
            EXPECT_EQ(boutons[i].gauche, c.commandesEtGauches[i].second) << c.masque;
            EXPECT_EQ(boutons[i].droite - boutons[i].gauche, 80);
            EXPECT_EQ(boutons[i].haut, 290);
            EXPECT_EQ(boutons[i].bas, 315);
        }
    }
}

}  // namespace
