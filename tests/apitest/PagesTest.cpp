// Page logic against the scripted API: what each page hands the API and how
// it writes every argument and result back.

#include <functional>
#include <map>
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

std::string zeros(std::size_t n)
{
    return std::string(n, '\0');
}

// Pads `texte` with zero bytes to `n`.
std::string fixe(const std::string& texte, std::size_t n)
{
    return texte + zeros(n - texte.size());
}

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installer(m_etat.Table);
        m_etat.presentateur = &m_presentateur;
        m_etat.CheminPartage = "/donnees/";
    }

    EtatProgramme m_etat;
    PresentateurEnregistreur m_presentateur;
};

TEST_F(PagesTest, OpeningPassesItsFieldsAndStoresTheSession)
{
    CTest_Lec_OuvertureSession page(m_etat, kTitreOuvertureAmbrel);
    page.surActivation();
    page.m_NoSession = "5";
    page.m_CodeErreur = "9";
    fausse().session = 65535;
    fausse().err = 3;

    page.Executer();

    ASSERT_EQ(fausse().noms(), std::vector<std::string>{"Lec_OuvertureSessionAmbrel"});
    EXPECT_EQ(fausse().dernier().args,
              (std::vector<std::string>{"/donnees/", fixe("Test_ah", 32), "5", "9"}));
    EXPECT_EQ(page.m_NomApplication, "Test_ah");
    EXPECT_EQ(page.m_NoSession, "65535 (0xffff)");
    EXPECT_EQ(page.m_CodeErreur, "3 (0x0003)");
    EXPECT_EQ(page.m_CodeRetour, "0 (0x0000)");
    EXPECT_EQ(m_etat.SessionAmbrel, 65535);
    EXPECT_EQ(m_etat.CheminPartage, "/donnees/");
}

TEST_F(PagesTest, CpsOpeningCallsTheCpsFunctionAndStoresItsSession)
{
    CTest_Lec_OuvertureSession page(m_etat, kTitreOuvertureCps);
    EXPECT_EQ(page.ModePage(), 2);
    EXPECT_EQ(page.titre(), "Lec_OuvertureSessionCPS");
    fausse().session = 12;
    page.Executer();
    EXPECT_EQ(fausse().noms(), std::vector<std::string>{"Lec_OuvertureSessionCPS"});
    EXPECT_EQ(m_etat.SessionCps, 12);
    EXPECT_EQ(m_etat.SessionAmbrel, 0);
}

TEST_F(PagesTest, PathRuleAppendsTheSuffixOnThirtyTwoOnly)
{
    CTest_Lec_OuvertureSession page(m_etat, kTitreOuvertureAmbrel);
    page.surActivation();
    fausse().retours["Lec_OuvertureSessionAmbrel"] = 32;
    page.Executer();
    EXPECT_EQ(page.m_Chemin, "/donnees/ (fichiers introuvables)");
    EXPECT_EQ(m_etat.CheminPartage, "/donnees/ (fichiers introuvables)");
    // Session numbers are stored whatever the result.
    EXPECT_EQ(m_etat.SessionAmbrel, 7);

    // The next page that loads the shared path shows the suffix.
    CTest_Lec_Dictionnaire dictionnaire(m_etat);
    dictionnaire.surActivation();
    EXPECT_EQ(dictionnaire.m_Chemin, "/donnees/ (fichiers introuvables)");

    fausse().retours["Lec_OuvertureSessionAmbrel"] = 33;
    page.m_Chemin = "/autre/";
    page.Executer();
    EXPECT_EQ(page.m_Chemin, "/autre/");
    EXPECT_EQ(m_etat.CheminPartage, "/autre/");
}

TEST_F(PagesTest, WholeTextCopiesAreCutToTheirBuffers)
{
    CTest_Lec_OuvertureSession page(m_etat, kTitreOuvertureAmbrel);
    page.m_Chemin = std::string(600, 'c');
    page.m_NomApplication = std::string(40, 'a');
    fausse().retours["Lec_OuvertureSessionAmbrel"] = 32;
    page.Executer();
    // 511 characters and the terminator; 31 and the terminator.
    EXPECT_EQ(fausse().dernier().args[0], std::string(511, 'c'));
    EXPECT_EQ(fausse().dernier().args[1], std::string(31, 'a') + '\0');
    EXPECT_EQ(page.m_NomApplication, std::string(31, 'a'));
    EXPECT_EQ(page.m_Chemin, std::string(511, 'c') + " (fichiers introuvables)");
}

TEST_F(PagesTest, ControlPageFillsFixedWidthBuffersAndShowsOneIndicatorCharacter)
{
    CTest_Lec_ControlCps page(m_etat);
    page.m_NoSession = "4";
    page.m_PinCode = "123456";
    page.m_DateFinValidite = "2029";
    page.m_IdentApplication = "APPLI";
    page.m_TypeCarte = "T";
    page.m_PresentPINCode = "P";
    page.m_Categorie = "CAT";
    page.m_CodeErreur = "-1";
    fausse().fixes = {{"pin", "9999"}, {"periode", "20291231"}, {"appli", "ABCDEFGHIJ"},
                      {"type", "01"},  {"present", "1Z"},       {"categorie", "10"}};
    fausse().retours["Lec_ControleCPS"] = 6;

    page.Executer();

    EXPECT_EQ(fausse().dernier().args,
              (std::vector<std::string>{"4", "1234", fixe("2029", 8), fixe("APPLI", 10), fixe("T", 2),
                                        fixe("P", 32), "CA", "65535"}));
    EXPECT_EQ(page.m_NoSession, "4 (0x0004)");
    EXPECT_EQ(page.m_PinCode, "9999");
    EXPECT_EQ(page.m_DateFinValidite, "20291231");
    EXPECT_EQ(page.m_IdentApplication, "ABCDEFGHIJ");
    EXPECT_EQ(page.m_TypeCarte, "01");
    EXPECT_EQ(page.m_PresentPINCode, "1");
    EXPECT_EQ(page.m_Categorie, "10");
    EXPECT_EQ(page.m_CodeErreur, "65535 (0xffff)");
    EXPECT_EQ(page.m_CodeRetour, "6 (0x0006)");
    for (const Champ& champ : page.champs()) {
        EXPECT_EQ(champ.longueurMax, 30) << champ.controle;
    }
}

TEST_F(PagesTest, HighLevelInsertionShowsTwoIndicatorCharacters)
{
    CTest_Hn_IntroMstCPS page(m_etat);
    page.m_sTempsAttente = "-1";
    fausse().fixes = {{"code", "22"}, {"nom", "DURAND"}, {"present", "13"}};
    fausse().etat = -2;
    page.Executer();
    EXPECT_EQ(page.m_PresentPINCode, "13");
    EXPECT_EQ(page.m_CodeCivilite, "22");
    EXPECT_EQ(page.m_NomPatronymique, "DURAND");
    EXPECT_EQ(page.m_sTempsAttente, "-1 (0xffffffff)");
    EXPECT_EQ(page.m_EtatCarte, "-2 (0xfffffffe)");
}

TEST_F(PagesTest, SessionReadingEmptiesItsBufferAndBoundsTheCapacity)
{
    CTest_Lec_LectureAmbrel page(m_etat);
    page.donnees()[0] = 'x';
    page.m_NoSession = "3";
    page.m_NoSessionCPS = "70000";
    fausse().donnees = "<a/>";

    struct Cas {
        const char* saisie;
        const char* capacite;
    };
    for (const Cas& cas : {Cas{"131068", "131068"}, Cas{"999999", "131068"}, Cas{"-1", "131068"},
                           Cas{"100", "100"}, Cas{"", "0"}}) {
        page.m_LgDataOut = cas.saisie;
        page.Executer();
        EXPECT_EQ(fausse().dernier().args[3], cas.capacite) << cas.saisie;
    }
    EXPECT_EQ(fausse().appels.front().args[2], std::string(1, '\0'));
    EXPECT_EQ(fausse().dernier().args[1], "4464");
    EXPECT_EQ(page.m_NoSessionCPS, "4464 (0x1170)");
    EXPECT_EQ(page.m_DataOut, "<a/>");
    EXPECT_EQ(page.m_LgDataOut, "4 (0x0004)");
}

TEST_F(PagesTest, HighLevelReadingKeepsItsBufferAndShowsThe32BitLength)
{
    CTest_Hn_LectureAmbrel page(m_etat);
    fausse().donnees = "premier";
    page.Executer();
    fausse().donnees = "x";
    fausse().lgSortie = 0x1FFFC;
    page.Executer();
    // The second call finds the first call's data still in the buffer.
    EXPECT_EQ(fausse().dernier().args[1], "p");
    EXPECT_EQ(page.m_LgDataOut, "131068 (0x1fffc)");
    EXPECT_EQ(page.m_DataOut, "x");
}

TEST_F(PagesTest, DictionaryPassesItsBuffersAndBoundsTheLabelCapacity)
{
    CTest_Lec_Dictionnaire page(m_etat);
    page.surActivation();
    page.m_NoTable = "70000";
    page.m_NoCode = "ABCDEFGHIJK";
    page.m_PeriodeETMCouv = std::string(60, 'p');
    page.m_Libelle = std::string(6000, 'l');
    page.m_LgLibelle = "9000";
    fausse().fixes = {{"code", "ZZ"}};
    fausse().libelle = "\t\tREGIME\nsuite";
    fausse().retours["Lec_Dictionnaire"] = 32;

    page.Executer();

    const auto& args = fausse().dernier().args;
    EXPECT_EQ(args[0], "/donnees/");
    EXPECT_EQ(args[1], "4464");
    EXPECT_EQ(args[2], "ABCDEFGHI");
    EXPECT_EQ(args[3], std::string(50, 'p') + '\0');
    EXPECT_EQ(args[4], std::string(4999, 'l'));
    EXPECT_EQ(args[5], "5000");
    EXPECT_EQ(page.m_NoTable, "4464");
    EXPECT_EQ(page.m_NoCode, "ZZCDEFGHI");
    EXPECT_EQ(page.m_PeriodeETMCouv, std::string(50, 'p'));
    EXPECT_EQ(page.m_Libelle, "\t\tREGIME\nsuite");
    EXPECT_EQ(page.m_LgLibelle, "14 (0x000e)");
    EXPECT_EQ(page.m_Chemin, "/donnees/ (fichiers introuvables)");

    page.m_LgLibelle = "-5";
    page.Executer();
    EXPECT_EQ(fausse().dernier().args[5], "0");
}

TEST_F(PagesTest, DictionaryLabelButtonShowsTheCentredLabel)
{
    CTest_Lec_Dictionnaire page(m_etat);
    page.m_Libelle = "\t\tABCDE\nF";
    page.commande(kBoutonLibelle);
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].titre, "Libellé");
    EXPECT_EQ(m_presentateur.textes[0].texte, std::string(31, ' ') + "ABCDE\r\nF");
}

TEST_F(PagesTest, ReadingDataButtonRendersTheBufferUnderThePatientCardRoot)
{
    CTest_Lec_LectureAmbrel page(m_etat);
    fausse().donnees = "<t_AsnDonneesAmbrel><A>1</A></t_AsnDonneesAmbrel>";
    page.Executer();
    page.commande(kBoutonDonnees);
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].titre, "Données Ambrel");
    EXPECT_EQ(m_presentateur.textes[0].texte, "A: 1\r\n");
}

TEST_F(PagesTest, PresenceStartsTheErrorWordAtZeroAndTakesTheLowStatusByte)
{
    CTest_Hn_Presence page(m_etat);
    page.m_usCoupleur = "65537";
    page.m_usStatut = "513";
    page.m_CodeErreur = "77";
    page.Executer();
    EXPECT_EQ(fausse().dernier().args, (std::vector<std::string>{"1", "1", "0"}));
    EXPECT_EQ(page.m_usStatut, "65 (0x0041)");
    EXPECT_EQ(page.m_usCoupleur, "1 (0x0001)");
    EXPECT_EQ(page.m_CodeErreur, "0 (0x0000)");
}

TEST_F(PagesTest, HighLevelInitStartsModeAtZeroAndAppliesThePathRule)
{
    CTest_Hn_Init page(m_etat);
    page.surCreation();
    m_etat.CheminPartage = "/plus-tard/";
    // Activation does not reload this page's path.
    page.surActivation();
    EXPECT_EQ(page.m_Chemin, "/donnees/");
    fausse().retours["Hn_Init"] = 32;
    page.Executer();
    EXPECT_EQ(fausse().dernier().args, (std::vector<std::string>{"/donnees/", "0", "0"}));
    EXPECT_EQ(page.m_Mode, "3 (0x0003)");
    EXPECT_EQ(m_etat.CheminPartage, "/donnees/ (fichiers introuvables)");
}

TEST_F(PagesTest, UnboundEntryPointShowsTheMessageAndLeavesTheFields)
{
    m_etat.Table.Lec_IntroductionMstAmbrel = nullptr;
    CTest_Lec_IntroAmbrel page(m_etat);
    page.m_TempsAttente = "10";
    page.Executer();
    EXPECT_TRUE(fausse().appels.empty());
    EXPECT_EQ(m_presentateur.messages, std::vector<std::string>{"Fonction non chargée\nAppel non effectué"});
    EXPECT_EQ(page.m_TempsAttente, "10");
    EXPECT_EQ(page.m_NoSession, "0");
}

// Starting values after the reset step, page by page: (control, text) pairs;
// a path field keeps what it held.
struct CasRaz {
    const char* nom;
    std::function<PageTest&(CTestAmbrel&, CTestCps&, CTestHN&)> page;
    std::map<int, std::string> attendu;
};

TEST_F(PagesTest, ResetStepsGiveTheStartingValues)
{
    m_etat.SessionAmbrel = 65535;
    m_etat.SessionCps = 9;
    CTestAmbrel ambrel(m_etat);
    CTestCps cps(m_etat);
    CTestHN hn(m_etat);
    const std::vector<CasRaz> cas = {
        {"ouverture",
         [](auto& a, auto&, auto&) -> PageTest& { return a.m_ouverture; },
         {{1030, "Test_ah"}, {1012, ""}, {1021, ""}, {1032, ""}}},
        {"fermeture ambrel",
         [](auto& a, auto&, auto&) -> PageTest& { return a.m_fermeture; },
         {{1012, "65535"}, {1021, ""}, {1032, ""}}},
        {"fermeture cps", [](auto&, auto& c, auto&) -> PageTest& { return c.m_fermeture; }, {{1012, "9"}}},
        {"intro cps",
         [](auto&, auto& c, auto&) -> PageTest& { return c.m_introduction; },
         {{1012, "9"}, {1025, ""}, {1026, ""}, {1027, ""}, {1028, ""}}},
        {"retrait cps",
         [](auto&, auto& c, auto&) -> PageTest& { return c.m_retrait; },
         {{1012, "9"}, {1025, ""}}},
        {"controle cps",
         [](auto&, auto& c, auto&) -> PageTest& { return c.m_controle; },
         {{1012, "9 (0x0009)"}, {1018, ""}, {1023, ""}}},
        {"intro ambrel",
         [](auto& a, auto&, auto&) -> PageTest& { return a.m_introduction; },
         {{1012, "65535"}, {1028, ""}}},
        {"retrait ambrel", [](auto& a, auto&, auto&) -> PageTest& { return a.m_retrait; }, {{1012, "65535"}}},
        {"lecture",
         [](auto& a, auto&, auto&) -> PageTest& { return a.m_lecture; },
         {{1012, "65535"}, {1013, "9"}, {1036, "131068"}, {1037, ""}}},
        {"dictionnaire",
         [](auto& a, auto&, auto&) -> PageTest& { return a.m_dictionnaire; },
         {{1101, "sale"}, {1046, "500"}, {1042, ""}, {1040, ""}}},
        {"hn init",
         [](auto&, auto&, auto& h) -> PageTest& { return h.m_init; },
         {{1100, "sale"}, {1074, ""}}},
        {"hn lecture",
         [](auto&, auto&, auto& h) -> PageTest& { return h.m_lecture; },
         {{1036, "131068"}, {1025, ""}}},
        {"hn controle",
         [](auto&, auto&, auto& h) -> PageTest& { return h.m_controle; },
         {{1018, ""}, {1019, "01"}}},
    };
    for (const CasRaz& c : cas) {
        PageTest& page = c.page(ambrel, cps, hn);
        // Dirty every field, except the card type kept by one page's reset.
        for (const Champ& champ : page.champs()) {
            *champ.texte = champ.controle == 1019 ? "01" : "sale";
        }
        page.Raz();
        for (const Champ& champ : page.champs()) {
            const auto it = c.attendu.find(champ.controle);
            if (it != c.attendu.end()) {
                EXPECT_EQ(*champ.texte, it->second) << c.nom << " " << champ.controle;
            }
        }
    }
}

TEST_F(PagesTest, HighLevelControlStartsWithTheDefaultCode)
{
    CTest_Hn_ControleCPS page(m_etat);
    for (const Champ& champ : page.champs()) {
        EXPECT_EQ(*champ.texte, champ.controle == 1018 ? "5831" : "") << champ.controle;
    }
}

TEST_F(PagesTest, SessionRecallUsesTheDisplayForm)
{
    CTestCps cps(m_etat);
    m_etat.SessionCps = 12;
    for (PageTest* page :
         std::vector<PageTest*>{&cps.m_fermeture, &cps.m_introduction, &cps.m_retrait, &cps.m_controle}) {
        ASSERT_EQ(page->boutons().front(), kBoutonRappelSession);
        page->commande(kBoutonRappelSession);
        EXPECT_EQ(*page->champs().front().texte, "12 (0x000c)") << page->titre();
    }
    CTestAmbrel ambrel(m_etat);
    m_etat.SessionAmbrel = 3;
    ambrel.m_lecture.commande(kBoutonRappelSession);
    ambrel.m_lecture.commande(kBoutonRappelSessionCps);
    EXPECT_EQ(ambrel.m_lecture.m_NoSession, "3 (0x0003)");
    EXPECT_EQ(ambrel.m_lecture.m_NoSessionCPS, "12 (0x000c)");
}

}  // namespace
