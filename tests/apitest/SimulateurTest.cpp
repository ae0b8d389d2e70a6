// The whole road against the stand-in API, loaded by file name: every page's
// execution step, the rendering of the simulated card, the path rule and the
// holder code check. Each test works on its own copy of the data files and
// loads the library afresh, so the simulated cards start unused.

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "common/ProfileFile.h"
#include "TestSupport.h"
#include "pages/CTestAmbrel.h"
#include "pages/CTestCps.h"
#include "pages/CTestHN.h"

using namespace quintor;
using namespace quintor::test;

namespace {

const char* const kOk = "0 (0x0000)";

class SimulateurTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ChargerLumeris(m_etat.Table, LUMERIS_SIM_PATH), 0) << m_etat.Table.erreurChargeur;
        for (const char* fichier : {"lumeris.ini", "ambrel.xml", "tables.ini"}) {
            std::filesystem::copy_file(std::filesystem::path(LUMERIS_DATA_DIR) / fichier,
                                       m_donnees.path() / fichier);
        }
        m_etat.CheminPartage = avecSeparateur(m_donnees);
        m_etat.presentateur = &m_presentateur;
    }

    void TearDown() override { LibererLumeris(m_etat.Table); }

    void regler(const char* section, const char* cle, const char* valeur)
    {
        const std::string ini = avecSeparateur(m_donnees) + "lumeris.ini";
        ASSERT_TRUE(common::writeProfileString(section, cle, valeur, ini.c_str()));
    }

    // "<<" then "E&xécuter", as the user does on a session page.
    static void rappelerEtExecuter(PageTest& page)
    {
        page.commande(kBoutonRappelSession);
        page.Executer();
    }

    TempDir m_donnees;
    EtatProgramme m_etat;
    PresentateurEnregistreur m_presentateur;
};

const char* const kListeAmbrel =
    "Carte\r\n"
    " NumeroSerie: 0012345678\r\n"
    " DateFinValidite: 20291231\r\n"
    "Assure\r\n"
    " Nir: 2 85 02 75 123 456\r\n"
    " Nom: MARTIN\r\n"
    " Prenom: Claire\r\n"
    " Adresse\r\n"
    "  Ligne: 12 rue des Lilas\r\n"
    // ISO-8859-1 as the document declares: TinyXML hands the bytes over unchanged.
    "  Ligne: B\xe2t. A & B\r\n"
    "  CodePostal: 75011\r\n"
    "  Ville: PARIS\r\n"
    "Beneficiaires\r\n"
    " Beneficiaire: Assur\xe9 principal\r\n"
    "  Nom: MARTIN\r\n"
    "  Couverture\r\n"
    "   Regime: 01\r\n"
    "   Caisse: 751\r\n"
    "   Mutuelle: Mutuelle \"Les Tilleuls\" <MTL>\r\n"
    " Beneficiaire: Enfant\r\n"
    "  Nom: MARTIN\r\n"
    "  Prenom: Louis\r\n";

TEST_F(SimulateurTest, PatientCardRoadThroughEveryPage)
{
    CTestAmbrel feuille(m_etat);
    feuille.ouvrir();
    feuille.m_ouverture.Executer();
    EXPECT_EQ(feuille.m_ouverture.m_CodeRetour, kOk);
    ASSERT_NE(m_etat.SessionAmbrel, 0);
    EXPECT_EQ(feuille.m_ouverture.m_NoSession, CodeAffiche(m_etat.SessionAmbrel));
    EXPECT_EQ(m_etat.CheminPartage, avecSeparateur(m_donnees));

    rappelerEtExecuter(feuille.m_introduction);
    EXPECT_EQ(feuille.m_introduction.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_introduction.m_EtatCarte, "1 (0x0001)");

    rappelerEtExecuter(feuille.m_lecture);
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, kOk);
    const auto taille = std::filesystem::file_size(m_donnees.path() / "ambrel.xml");
    EXPECT_EQ(feuille.m_lecture.m_LgDataOut, CodeAffiche(static_cast<std::uint32_t>(taille)));
    EXPECT_EQ(feuille.m_lecture.m_DataOut.substr(0, 5), "<?xml");
    feuille.m_lecture.commande(kBoutonDonnees);
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].titre, "Données Ambrel");
    EXPECT_EQ(m_presentateur.textes[0].texte, kListeAmbrel);

    rappelerEtExecuter(feuille.m_retrait);
    EXPECT_EQ(feuille.m_retrait.m_CodeRetour, kOk);
    // Reading after removal: the card is no longer in.
    feuille.m_lecture.Executer();
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, "4 (0x0004)");

    rappelerEtExecuter(feuille.m_fermeture);
    EXPECT_EQ(feuille.m_fermeture.m_CodeRetour, kOk);
    feuille.m_fermeture.Executer();
    EXPECT_EQ(feuille.m_fermeture.m_CodeRetour, "2 (0x0002)");
}

TEST_F(SimulateurTest, ReadingCapacityTooSmallGivesTheLengthNeeded)
{
    CTestAmbrel feuille(m_etat);
    feuille.ouvrir();
    feuille.m_ouverture.Executer();
    rappelerEtExecuter(feuille.m_introduction);
    feuille.m_lecture.commande(kBoutonRappelSession);
    feuille.m_lecture.m_LgDataOut = "10";
    feuille.m_lecture.Executer();
    const auto taille = std::filesystem::file_size(m_donnees.path() / "ambrel.xml");
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, "5 (0x0005)");
    EXPECT_EQ(feuille.m_lecture.m_LgDataOut, CodeAffiche(static_cast<std::uint32_t>(taille + 1)));
    EXPECT_EQ(feuille.m_lecture.m_DataOut, "");
}

TEST_F(SimulateurTest, MissingFilesGiveThirtyTwoTwiceWithTheSuffixTwice)
{
    m_etat.CheminPartage = avecSeparateur(m_donnees) + "absent/";
    CTestCps feuille(m_etat);
    feuille.ouvrir();
    feuille.m_ouverture.Executer();
    EXPECT_EQ(feuille.m_ouverture.m_CodeRetour, "32 (0x0020)");
    EXPECT_EQ(m_etat.CheminPartage, avecSeparateur(m_donnees) + "absent/ (fichiers introuvables)");

    feuille.ActiverPage(1);
    feuille.ActiverPage(0);
    feuille.m_ouverture.Executer();
    EXPECT_EQ(feuille.m_ouverture.m_CodeRetour, "32 (0x0020)");
    EXPECT_EQ(feuille.m_ouverture.m_Chemin,
              avecSeparateur(m_donnees) + "absent/ (fichiers introuvables) (fichiers introuvables)");

    CTexteDlg dialogue(m_etat);
    dialogue.initialiser();
    dialogue.OnExecuter();
    dialogue.OnExecuter();
    EXPECT_EQ(dialogue.text, "Code erreur: 32 (0x0020)\r\nCode retour: 32 (0x0020)");
    EXPECT_EQ(m_etat.CheminPartage, avecSeparateur(m_donnees) + "absent/" +
                                        " (fichiers introuvables) (fichiers introuvables)"
                                        " (fichiers introuvables) (fichiers introuvables)");
}

TEST_F(SimulateurTest, HolderCodeCheckCountsWrongCodesAndBlocks)
{
    CTestCps feuille(m_etat);
    feuille.ouvrir();
    feuille.m_ouverture.Executer();
    ASSERT_EQ(feuille.m_ouverture.m_CodeRetour, kOk);
    rappelerEtExecuter(feuille.m_introduction);
    EXPECT_EQ(feuille.m_introduction.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_introduction.m_CodeCivilite, "22");
    EXPECT_EQ(feuille.m_introduction.m_NomPatronymique, "DURAND CLAIRE" + std::string(14, ' '));

    CTest_Lec_ControlCps& controle = feuille.m_controle;
    auto essayer = [&](const char* code) {
        controle.commande(kBoutonRappelSession);
        controle.m_PinCode = code;
        controle.Executer();
    };

    essayer("0000");
    EXPECT_EQ(controle.m_CodeRetour, "6 (0x0006)");
    EXPECT_EQ(controle.m_CodeErreur, "2 (0x0002)");
    EXPECT_EQ(controle.m_PresentPINCode, "0");

    // A right code resets the count and gives the card's data.
    essayer("5831");
    EXPECT_EQ(controle.m_CodeRetour, kOk);
    EXPECT_EQ(controle.m_DateFinValidite, "20291231");
    EXPECT_EQ(controle.m_IdentApplication, "CPS3-SIM01");
    EXPECT_EQ(controle.m_TypeCarte, "00");
    EXPECT_EQ(controle.m_Categorie, "10");
    EXPECT_EQ(controle.m_PresentPINCode, "1");

    const char* const attendus[][2] = {
        {"6 (0x0006)", "2 (0x0002)"}, {"6 (0x0006)", "1 (0x0001)"}, {"7 (0x0007)", "0 (0x0000)"}};
    for (const auto& attendu : attendus) {
        essayer("1111");
        EXPECT_EQ(controle.m_CodeRetour, attendu[0]);
        EXPECT_EQ(controle.m_CodeErreur, attendu[1]);
    }
    essayer("5831");
    EXPECT_EQ(controle.m_CodeRetour, "7 (0x0007)");

    rappelerEtExecuter(feuille.m_retrait);
    EXPECT_EQ(feuille.m_retrait.m_CodeRetour, kOk);
    rappelerEtExecuter(feuille.m_fermeture);
    EXPECT_EQ(feuille.m_fermeture.m_CodeRetour, kOk);
}

TEST_F(SimulateurTest, HighLevelPagesWorkOnlyBetweenInitAndFinir)
{
    CTestHN feuille(m_etat);
    feuille.ouvrir();
    feuille.m_finir.Executer();
    EXPECT_EQ(feuille.m_finir.m_CodeRetour, "8 (0x0008)");
    feuille.m_presence.Executer();
    EXPECT_EQ(feuille.m_presence.m_CodeRetour, "8 (0x0008)");

    feuille.m_init.Executer();
    EXPECT_EQ(feuille.m_init.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_init.m_Mode, "1 (0x0001)");
    feuille.m_init.Executer();
    EXPECT_EQ(feuille.m_init.m_CodeRetour, "9 (0x0009)");

    struct Presence {
        const char* coupleur;
        const char* retour;
        const char* statut;
    };
    for (const Presence& p : {Presence{"0", kOk, "1 (0x0001)"}, Presence{"1", kOk, "1 (0x0001)"},
                              Presence{"2", "12 (0x000c)", "0 (0x0000)"}}) {
        feuille.m_presence.m_usCoupleur = p.coupleur;
        feuille.m_presence.m_usStatut = "0";
        feuille.m_presence.Executer();
        EXPECT_EQ(feuille.m_presence.m_CodeRetour, p.retour) << p.coupleur;
        EXPECT_EQ(feuille.m_presence.m_CodeErreur, p.retour) << p.coupleur;
        EXPECT_EQ(feuille.m_presence.m_usStatut, p.statut) << p.coupleur;
    }

    feuille.m_lecture.Executer();
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_lecture.m_EtatCarte, "1 (0x0001)");
    feuille.m_lecture.commande(kBoutonDonnees);
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].texte, kListeAmbrel);

    feuille.m_controle.Executer();
    EXPECT_EQ(feuille.m_controle.m_CodeRetour, "4 (0x0004)");

    feuille.m_introduction.Executer();
    EXPECT_EQ(feuille.m_introduction.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_introduction.m_PresentPINCode, "13");
    EXPECT_EQ(feuille.m_introduction.m_NomPatronymique, "DURAND CLAIRE" + std::string(14, ' '));

    feuille.m_controle.m_PinCode = "5831";
    feuille.m_controle.Executer();
    EXPECT_EQ(feuille.m_controle.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_controle.m_DateFinValidite, "20291231");
    EXPECT_EQ(feuille.m_controle.m_TypeCarte, "00");
    EXPECT_EQ(feuille.m_controle.m_Categorie, "10");
    EXPECT_EQ(feuille.m_controle.m_PresentPinCode, "1");

    feuille.m_retrait.Executer();
    EXPECT_EQ(feuille.m_retrait.m_CodeRetour, kOk);
    feuille.m_finir.Executer();
    EXPECT_EQ(feuille.m_finir.m_CodeRetour, kOk);
    feuille.m_lecture.Executer();
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, "8 (0x0008)");
}

TEST_F(SimulateurTest, DictionaryLooksUpLabelsWithTabsAndLineFeeds)
{
    CTestAmbrel feuille(m_etat);
    feuille.ActiverPage(CTestAmbrel::kDictionnaire);
    CTest_Lec_Dictionnaire& page = feuille.m_dictionnaire;
    page.m_NoTable = "1";
    page.m_NoCode = "01";
    page.Executer();
    // The table file is Windows-1252: the label's accents arrive as those bytes.
    const std::string libelle = "\t\tREGIME GENERAL\nSalari\xe9s et assimil\xe9s";
    EXPECT_EQ(page.m_CodeRetour, kOk);
    EXPECT_EQ(page.m_Libelle, libelle);
    EXPECT_EQ(page.m_LgLibelle, CodeAffiche(static_cast<std::int32_t>(libelle.size())));
    page.commande(kBoutonLibelle);
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].texte,
              std::string(26, ' ') + "REGIME GENERAL\r\nSalari\xe9s et assimil\xe9s");

    struct Cas {
        const char* table;
        const char* code;
        const char* capacite;
        const char* retour;
    };
    for (const Cas& c : {Cas{"1", "01", "10", "5 (0x0005)"}, Cas{"1", "99", "500", "10 (0x000a)"},
                         Cas{"9", "01", "500", "10 (0x000a)"}, Cas{"3", "22", "500", kOk}}) {
        page.m_NoTable = c.table;
        page.m_NoCode = c.code;
        page.m_LgLibelle = c.capacite;
        page.m_Libelle.clear();
        page.Executer();
        EXPECT_EQ(page.m_CodeRetour, c.retour) << c.table << "/" << c.code;
    }
    EXPECT_EQ(page.m_Libelle, "Chirurgien-dentiste");
}

TEST_F(SimulateurTest, InformationRequestRendersTheComponents)
{
    CTexteDlg dialogue(m_etat);
    dialogue.initialiser();
    dialogue.OnExecuter();
    const std::string debut = "Composant\r\n Nom: Lumeris\r\n Version: 5.0.0\r\n Description: API";
    EXPECT_EQ(dialogue.text.substr(0, debut.size()), debut);
    EXPECT_NE(dialogue.text.find(" Chemin: " + avecSeparateur(m_donnees) + "\r\n"), std::string::npos);
}

TEST_F(SimulateurTest, AutomaticChainWithTheBundledDataFiles)
{
    // A fresh library given no path uses the data files beside itself.
    CTestAmbrel feuille(m_etat);
    feuille.Auto();
    EXPECT_EQ(feuille.m_ouverture.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_introduction.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_lecture.m_DataOut.substr(0, 15), "3c 3f 78 6d 6c ");
    EXPECT_EQ(feuille.m_retrait.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_fermeture.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.pageActive(), CTestAmbrel::kLecture);
}

TEST_F(SimulateurTest, AutomaticChainWithoutCardStillCloses)
{
    regler("Ambrel", "Present", "0");
    CTestAmbrel feuille(m_etat);
    feuille.ouvrir();
    // An opening with a path makes it the API's configuration location.
    feuille.m_ouverture.Executer();
    rappelerEtExecuter(feuille.m_fermeture);
    ASSERT_EQ(feuille.m_fermeture.m_CodeRetour, kOk);
    feuille.m_lecture.m_CodeRetour = "inchange";
    feuille.m_retrait.m_CodeRetour = "inchange";

    feuille.Auto();
    EXPECT_EQ(feuille.m_ouverture.m_CodeRetour, kOk);
    EXPECT_EQ(feuille.m_introduction.m_CodeRetour, "3 (0x0003)");
    EXPECT_EQ(feuille.m_introduction.m_EtatCarte, "0 (0x0000)");
    EXPECT_EQ(feuille.m_lecture.m_CodeRetour, "inchange");
    EXPECT_EQ(feuille.m_retrait.m_CodeRetour, "inchange");
    EXPECT_EQ(feuille.m_fermeture.m_CodeRetour, kOk);
}

TEST_F(SimulateurTest, DirectCallsCheckTheirArgumentsAndCapacities)
{
    const TableFonctionsLecture& t = m_etat.Table;
    const std::string chemin = avecSeparateur(m_donnees);
    char appli[32] = "essai";
    std::uint16_t session = 0;
    std::uint16_t err = 99;
    EXPECT_EQ(t.Lec_OuvertureSessionAmbrel(chemin.c_str(), appli, nullptr, &err), 1);
    EXPECT_EQ(err, 1);
    EXPECT_EQ(t.Lec_OuvertureSessionAmbrel(chemin.c_str(), appli, &session, nullptr), 1);
    const std::string long600(600, 'x');
    EXPECT_EQ(t.Lec_OuvertureSessionAmbrel(long600.c_str(), appli, &session, &err), 1);
    EXPECT_EQ(t.Hn_Finir(nullptr), 1);

    // Too small a capacity: the length needed comes back, the buffer is untouched.
    char infos[2500];
    std::fill(std::begin(infos), std::end(infos), '#');
    std::uint16_t lgInfos = 10;
    EXPECT_EQ(t.Lec_InformationsAPI(chemin.c_str(), &lgInfos, infos, &err), 5);
    EXPECT_EQ(err, 5);
    EXPECT_GT(lgInfos, 10);
    EXPECT_EQ(infos[0], '#');
    const std::uint16_t requis = lgInfos;
    EXPECT_EQ(t.Lec_InformationsAPI(chemin.c_str(), &lgInfos, infos, &err), 0);
    EXPECT_EQ(lgInfos + 1, requis);
    EXPECT_EQ(infos[lgInfos], '\0');

    // The accepted path stays in force for a null one; a full 50-character
    // period without terminator is read no further.
    char code[9] = {'0', '1', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    char periode[60];
    std::fill(std::begin(periode), std::end(periode), 'p');
    char libelle[100] = {};
    std::int16_t lgLibelle = sizeof libelle;
    EXPECT_EQ(t.Lec_Dictionnaire(nullptr, 1, code, periode, libelle, &lgLibelle, &err), 0);
    EXPECT_EQ(std::string(libelle), "\t\tREGIME GENERAL\nSalari\xe9s et assimil\xe9s");
}

}  // namespace
