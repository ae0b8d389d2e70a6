// The summary page's rows: icons, indents and texts, in order.

#include "SummaryRows.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace calveno::test {
namespace {

using Rows = std::vector<SummaryLine>;

TEST(SummaryRows, SerialOneSlotReader)
{
    WizardSettings s = settingsFor(kTopologyMonofente);
    s.reader1.port = "3";
    s.reader1.speed = "19200";
    s.reader1.parity = "2";
    s.reader1.address = "8";
    EXPECT_EQ(summaryRows(s), (Rows{
                                  {1080, 1, "Protocole Santé Social "},
                                  {1081, 21, "Lecteur 1 "},
                                  {1057, 41, "Adresse physique 8"},
                                  {1083, 41, "Port série COM3"},
                                  {1087, 61, "Configuration 19200, 8, 2, 0"},
                                  {3026, 41, "Ressource Ambrel"},
                                  {3026, 41, "Ressource CPS"},
                              }));
    EXPECT_EQ(s.SummaryRow, kSummaryRowEnd);
}

TEST(SummaryRows, PcscReaderServingOnlyCps)
{
    WizardSettings s = settingsFor(kTopologyMonofente);
    s.reader1.protocol = kProtocolPcsc;
    s.reader1.pcscName = "Reader, Model 0";
    s.reader1.UseAmbrel = 0;
    EXPECT_EQ(summaryRows(s), (Rows{
                                  {1080, 1, "Protocole PC / SC "},
                                  {1081, 21, "Lecteur 1 "},
                                  {1057, 41, "Adresse physique 2"},
                                  {1083, 41, "Lecteur PCSC : Reader, Model 0"},
                                  {3026, 41, "Ressource CPS"},
                              }));
}

TEST(SummaryRows, TwoReadersEachWithTheirOwnValues)
{
    WizardSettings s = settingsFor(kTopologyDeuxPorts);
    s.reader1.protocol = s.reader2.protocol = kProtocolPcsc;
    s.reader1.pcscName = "A";
    s.reader2.pcscName = "B";
    s.reader2.address = "5";
    EXPECT_EQ(summaryRows(s), (Rows{
                                  {1080, 1, "Protocole PC / SC "},
                                  {1081, 21, "Lecteur 1 "},
                                  {1057, 41, "Adresse physique 2"},
                                  {1083, 41, "Lecteur PCSC : A"},
                                  {3026, 41, "Ressource Ambrel"},
                                  {1081, 21, "Lecteur 2 "},
                                  {1057, 41, "Adresse physique 5"},
                                  {1083, 41, "Lecteur PCSC : B"},
                                  {3026, 41, "Ressource CPS"},
                              }));

    WizardSettings chained = settingsFor(kTopologyChaines);
    chained.reader2.speed = "19200";
    chained.reader2.port = "1";
    const Rows rows = summaryRows(chained);
    // Reader 1 serves Ambrel only: six rows, then reader 2's five.
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[5], (SummaryLine{3026, 41, "Ressource Ambrel"}));
    EXPECT_EQ(rows[6], (SummaryLine{1081, 21, "Lecteur 2 "}));
    EXPECT_EQ(rows[7], (SummaryLine{1057, 41, "Adresse physique 1"}));
    EXPECT_EQ(rows[8], (SummaryLine{1083, 41, "Port série COM1"}));
    EXPECT_EQ(rows[9], (SummaryLine{1087, 61, "Configuration 19200, 8, 0, 0"}));
    EXPECT_EQ(rows[10], (SummaryLine{3026, 41, "Ressource CPS"}));
}

TEST(SummaryRows, GeneratorStepsAndRestarts)
{
    WizardSettings s = settingsFor(kTopologyBifente);
    SummaryLine line;
    ASSERT_TRUE(nextSummaryRow(s, line));
    EXPECT_EQ(line.icon, kIconProtocol);
    ASSERT_TRUE(nextSummaryRow(s, line));
    EXPECT_EQ(line.text, "Lecteur 1 ");
    const int cursor = s.SummaryRow;
    EXPECT_GT(cursor, kSummaryRowStart);
    EXPECT_LT(cursor, kSummaryRowEnd);
    // The one-reader arrangements have no "Lecteur 2" rows.
    int left = 0;
    while (nextSummaryRow(s, line)) ++left;
    EXPECT_EQ(left, 5);
    EXPECT_EQ(s.SummaryRow, kSummaryRowEnd);
    EXPECT_FALSE(nextSummaryRow(s, line));
    // A fresh pass starts over whatever the cursor held.
    EXPECT_EQ(summaryRows(s).size(), 7u);
}

}  // namespace
}  // namespace calveno::test
