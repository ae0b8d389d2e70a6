// The text dialog's "Executer" step against the scripted API.

#include <string>

#include <gtest/gtest.h>

#include "CTexteDlg.h"
#include "FausseApi.h"
#include "TestSupport.h"

using namespace quintor;
using namespace quintor::test;

namespace {

class TexteDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installer(m_etat.Table);
        m_etat.presentateur = &m_presentateur;
        m_etat.CheminPartage = "/cfg/";
        m_dialogue.initialiser();
    }

    EtatProgramme m_etat;
    PresentateurEnregistreur m_presentateur;
    CTexteDlg m_dialogue{m_etat};
};

TEST_F(TexteDlgTest, SuccessRendersTheInformationListing)
{
    m_dialogue.text = "ancienne liste";
    m_dialogue.path = "/edite/";
    fausse().infos = "<InformationsAPI><Version>5.0</Version></InformationsAPI>";
    m_dialogue.OnExecuter();
    EXPECT_EQ(fausse().dernier().args,
              (std::vector<std::string>{"/edite/", "2500", std::string(1, '\0'), "0"}));
    EXPECT_EQ(m_dialogue.text, "Version: 5.0\r\n");
    EXPECT_EQ(m_etat.CheminPartage, "/edite/");
}

TEST_F(TexteDlgTest, FailureShowsBothCodes)
{
    fausse().retours["Lec_InformationsAPI"] = 0x1234;
    fausse().err = 3;
    m_dialogue.OnExecuter();
    EXPECT_EQ(m_dialogue.text, "Code erreur: 3 (0x0003)\r\nCode retour: 4660 (0x1234)");
    EXPECT_EQ(m_dialogue.path, "/cfg/");
}

TEST_F(TexteDlgTest, ErrorWordStartsAtZero)
{
    fausse().retours["Lec_InformationsAPI"] = 5;
    m_dialogue.OnExecuter();
    EXPECT_EQ(m_dialogue.text, "Code erreur: 0 (0x0000)\r\nCode retour: 5 (0x0005)");
}

TEST_F(TexteDlgTest, ThirtyTwoTwiceAppendsTheSuffixTwice)
{
    fausse().retours["Lec_InformationsAPI"] = 32;
    fausse().err = 3;
    m_dialogue.OnExecuter();
    EXPECT_EQ(m_dialogue.text, "Code erreur: 3 (0x0003)\r\nCode retour: 32 (0x0020)");
    m_dialogue.OnExecuter();
    EXPECT_EQ(fausse().dernier().args[0], "/cfg/ (fichiers introuvables)");
    EXPECT_EQ(m_dialogue.path, "/cfg/ (fichiers introuvables) (fichiers introuvables)");
    EXPECT_EQ(m_etat.CheminPartage, m_dialogue.path);
}

TEST_F(TexteDlgTest, PathOfExactly512CharactersIsPassedWhole)
{
    m_dialogue.path = std::string(512, 'p');
    m_dialogue.OnExecuter();
    EXPECT_EQ(fausse().dernier().args[0], std::string(512, 'p'));
    m_dialogue.path = std::string(520, 'q');
    m_dialogue.OnExecuter();
    EXPECT_EQ(fausse().dernier().args[0], std::string(512, 'q'));
}

TEST_F(TexteDlgTest, AnswerFillingTheWholeBufferStaysInside)
{
    // 2500 bytes without a terminator: the spare zero byte ends the text.
    fausse().infosSansZero = true;
    m_dialogue.OnExecuter();
    EXPECT_EQ(m_dialogue.text, "");
}

TEST_F(TexteDlgTest, UnboundEntryPointShowsTheMessage)
{
    m_etat.Table.Lec_InformationsAPI = nullptr;
    m_dialogue.text = "liste";
    m_dialogue.OnExecuter();
    EXPECT_EQ(m_presentateur.messages, std::vector<std::string>{"Fonction non chargée\nAppel non effectué"});
    EXPECT_EQ(m_dialogue.text, "liste");
    EXPECT_TRUE(fausse().appels.empty());
}

TEST_F(TexteDlgTest, ExecuterFromAReadingPageReplacesTheCardListing)
{
    fausse().infos = "<InformationsAPI><Nom>Lumeris</Nom></InformationsAPI>";
    m_presentateur.pendantDialogue = [](CTexteDlg& dialogue) {
        EXPECT_EQ(dialogue.text, "A: 1\r\n");
        dialogue.OnExecuter();
    };
    CTexteDlg donnees(m_etat);
    donnees.text = "A: 1\r\n";
    donnees.Afficher("Données Ambrel");
    ASSERT_EQ(m_presentateur.textes.size(), 1u);
    EXPECT_EQ(m_presentateur.textes[0].texte, "Nom: Lumeris\r\n");
}

}  // namespace
