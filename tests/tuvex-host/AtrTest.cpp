// The ATR decoder on the two card families of the plug-in's card-type table and on
// ATRs built by hand after ISO/IEC 7816-3: T=1 with TCK, TA1, a wrong TCK, truncations.

#include "Atr.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace tuvex_host;

struct AtrCase {
    const char* atr;
    std::vector<std::pair<const char*, const char*>> bytes;  // name and a piece of its meaning
    std::vector<unsigned> protocols;
    const char* historical;
    bool tckPresent;
    bool tckCorrect;
    const char* cardType;  // "" for not recognised
    const char* error;     // "" for a complete ATR
};

TEST(AtrDecoder, TakesEachAtrApartAsIso7816Says)
{
    const AtrCase cases[] = {
        {"3F 65 25 00 2C 09 69 90 00",
         {{"TS", "inverse convention"}, {"T0", "5 historical bytes"}, {"TB1", ""}, {"TC1", "guard time N=0"}},
         {0},
         "2C09699000",
         false,
         false,
         "Carte Ambrel 1",
         ""},
        {"3B AC 00 40 2A 00 12 25 00 64 80 81 02 10 00 90 00",
         {{"TS", "direct convention"},
          {"T0", "12 historical bytes"},
          {"TB1", "no programming voltage"},
          {"TD1", "protocol T=0"},
          {"TC2", "WI=42"}},
         {0},
         "001225006480810210009000",
         false,
         false,
         "Carte CPS 2 Test",
         ""},
        {"3B 2C 00 00 12 25 00 64 80 81 00 10 00 90 00",
         {{"TB1", ""}},
         {0},
         "001225006480810010009000",
         false,
         false,
         "Carte CPS 1 Test",
         ""},
        // T=0 and T=1 offered, so a TCK: 80 ^ 80 ^ 01 ^ 01 = 0.
        {"3B 80 80 01 01",
         {{"TD1", "protocol T=0"}, {"TD2", "protocol T=1"}, {"TCK", "check byte correct"}},
         {0, 1},
         "",
         true,
         true,
         "",
         ""},
        // T=1 alone with its IFSC and waiting times in the third group.
        {"3B 81 81 31 FE 45 01 8B",
         {{"TD1", "T=1"}, {"TA3", "IFSC 254 bytes"}, {"TB3", "BWI 4, CWI 5"}, {"TCK", "correct"}},
         {1},
         "01",
         true,
         true,
         "",
         ""},
        {"3B 90 96 00",
         {{"TA1", "Fi=512, Di=32, clock up to 5 MHz"}, {"TD1", "T=0"}},
         {0},
         "",
         false,
         false,
         "",
         ""},
        {"3B 80 80 01 00", {{"TCK", "check byte wrong: expected 01"}}, {0, 1}, "", true, false, "", ""},
        {"3B 80 80 01", {}, {0, 1}, "", false, false, "", "ends before TCK"},
        {"3B 65 25 00 2C", {}, {0}, "2C", false, false, "", "ends inside its historical bytes"},
        {"3B 90", {}, {}, "", false, false, "", "ends before TA1"},
        {"12 00", {{"TS", "not a valid TS"}}, {0}, "", false, false, "", "TS is neither 3B nor 3F"},
        {"3B 00 99", {}, {0}, "", false, false, "", "1 bytes after the end"},
    };
    for (const AtrCase& c : cases) {
        SCOPED_TRACE(c.atr);
        const AtrDecoding d = decodeAtr(*parseHex(c.atr));
        for (const auto& [name, meaning] : c.bytes) {
            const auto found = std::find_if(d.bytes.begin(), d.bytes.end(),
                                            [&](const AtrByte& b) { return b.name == name; });
            ASSERT_NE(found, d.bytes.end()) << name << "\n" << atrText(d);
            EXPECT_NE(found->meaning.find(meaning), std::string::npos) << name << ": " << found->meaning;
        }
        if (c.error[0] == '\0' || !c.protocols.empty()) {
            EXPECT_EQ(d.protocols, c.protocols) << atrText(d);
        }
        EXPECT_EQ(d.historical, *parseHex(c.historical));
        EXPECT_EQ(d.tckPresent, c.tckPresent);
        EXPECT_EQ(d.tckCorrect, c.tckCorrect);
        EXPECT_EQ(d.recognised, c.cardType[0] != '\0');
        if (d.recognised) {
            EXPECT_EQ(d.cardType, c.cardType);
        }
        if (c.error[0] == '\0')
            EXPECT_EQ(d.error, "");
        else
            EXPECT_NE(d.error.find(c.error), std::string::npos) << d.error;
    }
}

TEST(AtrDecoder, TextNamesTheCardTypeOrSaysItIsNotRecognised)
{
    EXPECT_NE(atrText(decodeAtr(*parseHex("3B 27 00 80 65 A2 06 01 01 37")))
                  .find("card type: Carte GemSAFE 4K (GEMPLUS)"),
              std::string::npos);
    EXPECT_NE(atrText(decodeAtr(*parseHex("3B021450"))).find("card type: not recognised"), std::string::npos);
    EXPECT_NE(atrText(decodeAtr(*parseHex("3B 80 80 01 00"))).find("TCK: present, WRONG"), std::string::npos);
}

}  // namespace
