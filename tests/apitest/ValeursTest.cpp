#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "EtatProgramme.h"
#include "Valeurs.h"

using namespace quintor;

namespace {

struct CasNombre {
    std::string texte;
    std::int32_t attendu;
};

// Test names stay readable and free of blanks and control characters.
void PrintTo(const CasNombre& cas, std::ostream* os)
{
    *os << "text_";
    for (char c : cas.texte)
        *os << ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+' ||
                        c == '-'
                    ? c
                    : '_');
}

class ValeurEntiereTest : public ::testing::TestWithParam<CasNombre> {};

TEST_P(ValeurEntiereTest, ReadsLikeTheNumericFields)
{
    EXPECT_EQ(ValeurEntiere(GetParam().texte), GetParam().attendu) << '"' << GetParam().texte << '"';
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Formes, ValeurEntiereTest,
                         ::testing::Values(CasNombre{"  -  42x", -42}, CasNombre{"12 34", 12},
                                           CasNombre{"abc", 0}, CasNombre{"+", 0}, CasNombre{"  +   ", 0},
                                           CasNombre{"\t5", 0}, CasNombre{"-  7", -7}, CasNombre{"007", 7},
                                           CasNombre{"", 0}, CasNombre{"    ", 0}, CasNombre{"7 (0x0007)", 7},
                                           CasNombre{"-2 (0xfffffffe)", -2}, CasNombre{"+ 12", 12},
                                           CasNombre{"65535 (0xffff)", 65535}, CasNombre{"--3", 0},
                                           // The stored length counts, not an embedded zero byte.
                                           CasNombre{std::string("12\0"
                                                                 "34",
                                                                 5),
                                                     12},
                                           // Beyond 32 bits the value saturates instead of wrapping.
                                           CasNombre{"2147483647", kMax}, CasNombre{"2147483648", kMax},
                                           CasNombre{"-2147483648", kMin}, CasNombre{"-2147483649", kMin},
                                           CasNombre{"4294967301", kMax},
                                           CasNombre{"-99999999999999999999999999", kMin}));

TEST(CodeAffiche, ShowsEachKindOfValueInItsWidth)
{
    EXPECT_EQ(CodeAffiche(std::int32_t{std::uint16_t{5}}), "5 (0x0005)");
    EXPECT_EQ(CodeAffiche(std::int32_t{std::uint16_t{65535}}), "65535 (0xffff)");
    EXPECT_EQ(CodeAffiche(std::int32_t{std::int16_t{-1}}), "-1 (0xffffffff)");
    EXPECT_EQ(CodeAffiche(std::uint32_t{131068}), "131068 (0x1fffc)");
    EXPECT_EQ(CodeAffiche(std::int32_t{std::uint8_t{0x41}}), "65 (0x0041)");
    EXPECT_EQ(Decimal(-3), "-3");
}

TEST(FormaterValeur, RendersEachType)
{
    const unsigned char octets[] = {0x01, 0xAB, 0x00, 'z'};
    std::string out = "ancien contenu";

    FormaterValeur(3, octets, 2, out);
    EXPECT_EQ(out, "01 ab 00 ");
    FormaterValeur(4, octets, 1, out);
    EXPECT_EQ(out, std::string("\x01\xab\0z", 4));
    const unsigned char texte[] = "abc\0def";
    FormaterValeur(-5, texte, 3, out);
    EXPECT_EQ(out, "abc");
    FormaterValeur(3, octets, 7, out);
    EXPECT_EQ(out, "Type de données inconnu");
}

TEST(FormaterValeur, NonPositiveLengthGivesEmptyText)
{
    const unsigned char octets[] = {0x41};
    for (int type : {1, 2}) {
        for (std::int32_t longueur : {0, -1}) {
            std::string out = "x";
            FormaterValeur(longueur, octets, type, out);
            EXPECT_EQ(out, "") << "type " << type << " longueur " << longueur;
        }
    }
}

struct CasLibelle {
    std::string libelle;
    std::string attendu;
};

void PrintTo(const CasLibelle& cas, std::ostream* os)
{
    *os << cas.libelle.size() << "_characters";
}

class MiseEnFormeLibelleTest : public ::testing::TestWithParam<CasLibelle> {};

TEST_P(MiseEnFormeLibelleTest, LaysTheLabelOut)
{
    EXPECT_EQ(MiseEnFormeLibelle(GetParam().libelle), GetParam().attendu);
}

INSTANTIATE_TEST_SUITE_P(Formes, MiseEnFormeLibelleTest,
                         ::testing::Values(
                             // Two tabs, a five-letter word, a line feed, one more letter.
                             CasLibelle{"\t\tABCDE\nF", std::string(31, ' ') + "ABCDE\r\nF"},
                             CasLibelle{"A\tB", "AB"}, CasLibelle{"\nA", "\nA"},
                             CasLibelle{"A\r\nB", "A\r\nB"}, CasLibelle{"A\rB", "A\rB"},
                             // The line ends at a carriage return too.
                             CasLibelle{"\t\tAB\rC", std::string(32, ' ') + "AB\rC"},
                             CasLibelle{"\t\t", std::string(33, ' ')},
                             CasLibelle{"\t\t" + std::string(67, 'x'), std::string(67, 'x')},
                             CasLibelle{"\t\t" + std::string(70, 'x'), std::string(70, 'x')},
                             // Three tabs: the pair centres, the third is dropped but counted.
                             CasLibelle{"\t\t\tAB", std::string(32, ' ') + "AB"}, CasLibelle{"", ""}));

}  // namespace

namespace {

TEST(CheminInitial, CurrentDirectoryWithItsSeparatorWhenItFits)
{
    const std::string sep(1, kSeparateur);
    // 510 characters, the separator and the NUL fill the 512-byte buffer exactly.
    EXPECT_EQ(cheminDepuisRepertoire(std::string(510, 'a')), std::string(510, 'a') + sep);
    EXPECT_EQ(cheminDepuisRepertoire(std::string(511, 'a')), "." + sep);
    EXPECT_EQ(cheminDepuisRepertoire(""), "." + sep);
    EXPECT_EQ(cheminDepuisRepertoire("racine" + sep), "racine" + sep);
    const std::string courant = cheminInitial();
    ASSERT_FALSE(courant.empty());
    EXPECT_EQ(courant.back(), kSeparateur);
}

}  // namespace
