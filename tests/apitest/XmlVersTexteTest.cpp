#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "ProfondeurXml.h"
#include "XmlVersTexte.h"

using namespace quintor;
using quintor::test::profondeurAnalysee;

namespace {

std::string rendre(const std::string& xml, const char* racine = "R")
{
    EtatProgramme etat;
    CTexteDlg dialogue(etat);
    dialogue.text = "ancien";
    XmlVersTexte(xml.c_str(), dialogue, racine);
    return dialogue.text;
}

// "<e><e>...</e></e>" nested `profondeur` deep under R, with text at the bottom.
std::string imbrique(int profondeur)
{
    std::string xml = "<R>";
    for (int i = 0; i < profondeur; ++i) {
        xml += "<e>";
    }
    xml += "fond";
    for (int i = 0; i < profondeur; ++i) {
        xml += "</e>";
    }
    return xml + "</R>";
}

int compterLignes(const std::string& texte)
{
    int n = 0;
    for (std::size_t p = texte.find("\r\n"); p != std::string::npos; p = texte.find("\r\n", p + 2)) {
        ++n;
    }
    return n;
}

TEST(XmlVersTexte, RendersTheFiveLineExample)
{
    EXPECT_EQ(rendre("<R><A><B>1</B><C>2</C><E/></A><D>x<F>y</F></D></R>"),
              "A\r\n B: 1\r\n C: 2\r\nD: x\r\n F: y\r\n");
}

struct CasRendu {
    const char* nom;
    std::string xml;
    std::string attendu;
};

void PrintTo(const CasRendu& cas, std::ostream* os)
{
    *os << cas.nom;
}

class XmlVersTexteCas : public ::testing::TestWithParam<CasRendu> {};

TEST_P(XmlVersTexteCas, Renders)
{
    EXPECT_EQ(rendre(GetParam().xml), GetParam().attendu) << GetParam().nom;
}

INSTANTIATE_TEST_SUITE_P(
    Bords, XmlVersTexteCas,
    ::testing::Values(
        CasRendu{"racine vide", "<R></R>", ""}, CasRendu{"racine auto-fermante", "<R/>", ""},
        CasRendu{"commentaire en tete", "<R><!-- c --><A>1</A></R>", ""},
        CasRendu{"texte en tete", "<R>t<A>1</A></R>", ""},
        CasRendu{"texte apres commentaire", "<R><A><!-- c -->t</A><B>2</B></R>", "B: 2\r\n"},
        CasRendu{"attributs seuls", "<R><A x=\"1\" y=\"2\"/><B k=\"v\">2</B></R>", "B: 2\r\n"},
        CasRendu{"premiere racine seulement", "<R><A>1</A></R><R><B>2</B></R>", "A: 1\r\n"},
        CasRendu{"racine sensible a la casse", "<r><A>1</A></r>", ""},
        CasRendu{"racine absente", "<X><A>1</A></X>", ""},
        CasRendu{"declaration puis racine", "<?xml version=\"1.0\"?>\n<R>\n  <A>1</A>\n</R>", "A: 1\r\n"},
        CasRendu{"entites decodees", "<R><A>a &amp; b &lt;c&gt; &quot;d&quot;</A></R>",
                 "A: a & b <c> \"d\"\r\n"},
        CasRendu{"cdata", "<R><A><![CDATA[<x>]]></A></R>", "A: <x>\r\n"},
        CasRendu{"freres non elements sautes", "<R><A>1</A><!-- c -->t<B>2</B></R>", "A: 1\r\nB: 2\r\n"},
        CasRendu{"pas du xml", "bonjour", ""}, CasRendu{"texte vide", "", ""},
        // What the parser read before the break stays visible.
        CasRendu{"tronque", "<R><A>1</A><B><C>2</C><D>3", "A: 1\r\nB\r\n C: 2\r\n D: 3\r\n"},
        CasRendu{"fermeture erronee", "<R><A>1</A><B>2</C><G>3</G></R>", "A: 1\r\nB: 2\r\n"}));

TEST(XmlVersTexte, NullTextRendersNothing)
{
    EtatProgramme etat;
    CTexteDlg dialogue(etat);
    dialogue.text = "ancien";
    XmlVersTexte(nullptr, dialogue, "R");
    EXPECT_EQ(dialogue.text, "");
}

TEST(XmlVersTexte, StopsRenderingBelowLevel255)
{
    const std::string texte = rendre(imbrique(300));
    // Levels 0 to 255 each give one line; nothing deeper is shown.
    EXPECT_EQ(compterLignes(texte), 256);
    const std::string derniere = texte.substr(texte.rfind("\r\n", texte.size() - 3) + 2);
    EXPECT_EQ(derniere, std::string(255, ' ') + "e\r\n");
}

TEST(XmlVersTexte, ShowsTheDeepestLevelThatFits)
{
    const std::string texte = rendre(imbrique(256));
    EXPECT_EQ(compterLignes(texte), 256);
    EXPECT_NE(texte.find(std::string(255, ' ') + "e: fond\r\n"), std::string::npos);
}

TEST(XmlVersTexte, SurvivesAWholeBufferOfNesting)
{
    // 131067 characters of opening tags, the deepest document a reading can
    // return: the parser must not be driven into it, and what it read before
    // the cut still renders down to the deepest level.
    std::string xml = "<R>";
    while (xml.size() + 3 <= 131067) {
        xml += "<e>";
    }
    ASSERT_LE(xml.size(), 131067u);
    EXPECT_EQ(compterLignes(rendre(xml)), 256);
    EXPECT_EQ(compterLignes(rendre(xml.substr(0, 3 + 3 * 300) + "x")), 256);
}

// Documents that TinyXML reads as deeply nested elements while a tag scanner
// that reads markup its own way sees almost no nesting.
struct Hostile {
    const char* nom;
    std::string debut;
    std::string motif;  // repeated: each copy opens one more element for TinyXML
    int lignes;         // rendered from a full buffer: what lies before the cut

    std::string avec(std::size_t copies) const
    {
        std::string xml = debut;
        for (std::size_t i = 0; i < copies; ++i) {
            xml += motif;
        }
        return xml;
    }
    // As many copies as the largest reading buffer holds.
    std::string pleinTampon() const { return avec((131067 - debut.size()) / motif.size()); }
};

void PrintTo(const Hostile& cas, std::ostream* os)
{
    *os << cas.nom;
}

class DocumentHostile : public ::testing::TestWithParam<Hostile> {};

TEST_P(DocumentHostile, IsCutWhereTheParserWouldPassTheBound)
{
    const Hostile& cas = GetParam();
    const std::string xml = cas.avec(60);
    ASSERT_GE(profondeurAnalysee(xml), 60) << "not nested for TinyXML";
    for (int borne : {1, 8, 40}) {
        const std::size_t longueur = longueurAvantProfondeur(xml.c_str(), borne);
        EXPECT_LE(profondeurAnalysee(xml.substr(0, longueur)), borne) << borne;
        // Nothing is cut that the parser could read within the bound.
        EXPECT_EQ(profondeurAnalysee(xml.substr(0, longueur + cas.motif.size())), borne + 1) << borne;
    }
}

TEST_P(DocumentHostile, AFullBufferRendersWithinTheBound)
{
    // Before the parser-driven bound, these documents made TinyXML recurse
    // tens of thousands of levels deep and overflow the stack.
    const std::string xml = GetParam().pleinTampon();
    ASSERT_LE(xml.size(), 131067u);
    EXPECT_LE(profondeurAnalysee(xml.substr(0, longueurAvantProfondeur(xml.c_str(), kNiveauMax + 3))),
              kNiveauMax + 3);
    EXPECT_EQ(compterLignes(rendre(xml)), GetParam().lignes);
}

INSTANTIATE_TEST_SUITE_P(
    Bornes, DocumentHostile,
    ::testing::Values(
        // In UTF-8, a lead byte takes the closing quote into the value; the
        // next quote closes it, where a scanner would open one.
        Hostile{"guillemet pris par un caractere UTF-8", "<?xml version=\"1.0\"?><R><a x=\"\xC3\" y=\">",
                "<b>", 256},
        // A hexadecimal reference runs to the next ';' and its last 'x'.
        Hostile{"reference de caractere sur un guillemet", "<R><a x=\"&#x\"x41;\">", "<b>", 256},
        // Declaration values are quoted: the '>' inside does not end it.
        Hostile{"commentaire dans la declaration", "<?xml version=\"><!--\"?><R>", "<b>", 256},
        Hostile{"CDATA dans la declaration", "<?xml version=\"><![CDATA[\"?><R>", "<b>", 256},
        // In UTF-8 text, a lead byte takes the following '<' as its own (the
        // root's first child is then text: nothing is rendered).
        Hostile{"commentaire dans un texte UTF-8", "<?xml version=\"1.0\"?><R>x\xC3<!--", "<b>", 0},
        Hostile{"DOCTYPE dans un texte UTF-8", "<?xml version=\"1.0\"?><R>", "<b>\xC3<!DOCTYPE ", 256},
        Hostile{"fin de balise dans un texte UTF-8", "<?xml version=\"1.0\"?><R>", "<b>\xC3</b>", 256},
        Hostile{"imbrication simple", "<R>", "<b>", 256}));

TEST(LongueurAvantProfondeur, CountsOnlyRealOpenings)
{
    EXPECT_EQ(longueurAvantProfondeur("<a><b/><c></c></a>", 2), 18u);
    EXPECT_EQ(longueurAvantProfondeur("<a><b><c/></b></a>", 1), 3u);
    // An empty element sits one level below its parent too (found by fuzzing:
    // the parser built an element past the bound).
    EXPECT_EQ(longueurAvantProfondeur("<a><b><c/></b></a>", 2), 6u);
    EXPECT_EQ(longueurAvantProfondeur("<\xff\xff><\xc4\xc6>\xb6;<\xa5\xbb/>", 2), 10u);
    // A "/>" inside a quoted attribute does not close the tag.
    EXPECT_EQ(longueurAvantProfondeur("<a x=\"/>\"><b x='/>'>", 1), 10u);
    // Comments, CDATA and declarations open nothing.
    EXPECT_EQ(longueurAvantProfondeur("<?xml?><!-- <a><a> --><![CDATA[<a><a>]]><a>", 1), 43u);
    // Markup hidden behind "<?" ends at the first '>', as the parser sees it.
    EXPECT_EQ(longueurAvantProfondeur("<? <a><b>", 0), 6u);
}

// Texts that lead the fast reading through each of its byte loops and each
// hand-over to TinyXML's readers. Both readings must cut at the same byte at
// every bound, the text's own depth included.
TEST(LongueurAvantProfondeur, FastReadingAgreesWithTinyXmlReaders)
{
    const std::vector<std::string> textes = {
        "<a><b>t</b><c/><d></d></a>",
        "<a-b.c:d_1><e/></a-b.c:d_1>",
        "<a  x = \"1\"\ty='2' ><b /></a>",
        "<a x=\"1\" x=\"2\"><b/></a>",  // repeated attribute
        "<a x=1><b/></a>",              // unquoted value
        "<a x><b/></a>",
        "<a x=><b/></a>",
        "<a x\"\"1\"><b/></a>",  // no '='
        "<a 1=\"\"><b/></a>",
        "<a x=\"1\"y=\"2\"><b/></a>",
        "<a x=\"<b>\" y='\"'><c/></a>",  // markup and the other quote in values
        "<a>&lt;&amp;&unknown;&<b/>&quot;</a>",
        "<a>&#60;<b/>&#x3C;<c/>&#x;&#;</a>",
        "<a>&#6x0;<b/></a>",
        "<a x=\"&#60;\" y=\"&#x3c;\"><b/></a>",
        "<?xml version=\"1.0\"?><a>\xC3\xA9t\xC3\xA9<b x=\"\xE2\x82\xAC\"/><c>\xF0\x9F\x98\x80</c></a>",
        "<?xml version=\"1.0\"?><a>\xC3<b/></a>",
        "<?xml version=\"1.0\"?><a x=\"\xE2\x82\"><b/></a>",
        "<?xml version=\"1.0\"?><a>x\xC3",
        "\xEF\xBB\xBF<a>\xEF\xBB\xBF<b \xEF\xBB\xBFx=\"1\"/></a>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9\xC3<b x=\"\xC3\"/></a>",
        "<a>\xC3<b/></a>",  // no declaration: not UTF-8
        "<a><!-- <b> --><![CDATA[<b>]]><!DOCTYPE x><?pi?><?xml?><b/></a>",
        "<\xC3\xA9><b/></\xC3\xA9>",
        "< a><b/>",
        "<_a><b/></_a>",
        "<a><b></a>",
        "<a><b></b",
        "<a><b></b ><c/></a>",
        "<a><b/",
        "<a>texte",
        "<a x=\"1",
        "<a x=\"1\"",
        "<a><b>\n  texte  \r\n</b>\t<c/>  </a>",
        "<a/><b><c/></b>",
        "texte<a/>"};
    for (const std::string& xml : textes) {
        const int profondeur = profondeurAnalysee(xml);
        for (int borne = 0; borne <= profondeur + 1; ++borne) {
            EXPECT_EQ(longueurAvantProfondeur(xml.c_str(), borne),
                      longueurAvantProfondeur(xml.c_str(), borne, Lecture::LecteursTinyXml))
                << testing::PrintToString(xml) << " bound " << borne;
        }
    }
}

TEST(LongueurAvantProfondeur, FastReadingAgreesWhenBlanksAreKept)
{
    // Text keeps its blanks on this setting of TinyXML's, and is read from
    // the first blank: the fast reading leaves such text to TinyXML.
    struct BlancsGardes {
        BlancsGardes() { TiXmlBase::SetCondenseWhiteSpace(false); }
        ~BlancsGardes() { TiXmlBase::SetCondenseWhiteSpace(true); }
    } blancsGardes;
    for (const char* xml : {"<a> t <b/> u </a>", "<?xml version=\"1.0\"?><a> \xC3<b/></a><c/>"}) {
        for (int borne : {1, 2}) {
            EXPECT_EQ(longueurAvantProfondeur(xml, borne),
                      longueurAvantProfondeur(xml, borne, Lecture::LecteursTinyXml))
                << testing::PrintToString(std::string(xml)) << " bound " << borne;
        }
    }
}

TEST(XmlVersTexte, RendersAFullSizePatientCardDocument)
{
    // A document that fills the reading buffer exactly: 131067 characters and its NUL.
    const std::string entree = "<Assure><Nom>MARTIN</Nom><Ville>PARIS &amp; CIE</Ville></Assure>";
    std::string xml = "<t_AsnDonneesAmbrel>";
    const std::string fin = "</t_AsnDonneesAmbrel>";
    int entrees = 0;
    while (xml.size() + entree.size() + fin.size() <= 131067) {
        xml += entree;
        ++entrees;
    }
    xml += fin;
    xml.append(131067 - xml.size(), ' ');
    ASSERT_EQ(xml.size() + 1, 131068u);

    const std::string texte = rendre(xml, "t_AsnDonneesAmbrel");
    EXPECT_EQ(compterLignes(texte), 3 * entrees);
    EXPECT_EQ(texte.substr(0, 38), "Assure\r\n Nom: MARTIN\r\n Ville: PARIS & ");
}

}  // namespace
