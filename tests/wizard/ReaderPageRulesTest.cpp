// The settings record, the choice page's presets and the reader page's rules.

#include "ReaderPageRules.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace calveno::test {
namespace {

TEST(WizardSettings, DefaultsAreTheStartUpRecord)
{
    const WizardSettings s = defaultWizardSettings();
    EXPECT_EQ(s.Topology, 5017);
    EXPECT_EQ(s.CurrentReader, 0);
    EXPECT_EQ(s.MakeCnf, 0);
    EXPECT_EQ(s.SummaryRow, 0);
    const auto expectReader = [](const ReaderSettings& r, const char* port, const char* address, int cps) {
        EXPECT_EQ(r.protocol, 5116);
        EXPECT_EQ(r.pcscName, "");
        EXPECT_EQ(r.port, port);
        EXPECT_EQ(r.speed, "9600");
        EXPECT_EQ(r.dataBits, "8");
        EXPECT_EQ(r.parity, "0");
        EXPECT_EQ(r.stopBits, "0");
        EXPECT_EQ(r.address, address);
        EXPECT_EQ(r.UseCps, cps);
        EXPECT_EQ(r.UseAmbrel, 1);
    };
    expectReader(s.reader1, "1", "2", 1);
    expectReader(s.reader2, "2", "1", 0);
}

TEST(WizardSettings, ChoicePresets)
{
    struct Case {
        std::uint16_t topology;
        int r1Cps, r1Ambrel, r2Cps, r2Ambrel;
        const char* r2Port;
        const char* r2Address;
    };
    const Case cases[] = {
        {kTopologyMonofente, 0, 0, 0, 0, "3", "5"},  // changes nothing else
        {kTopologyBifente, 1, 1, 0, 0, "3", "5"},
        {kTopologyChaines, 0, 1, 1, 0, "1", "5"},
        {kTopologyDeuxPorts, 0, 1, 1, 0, "3", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topology);
        WizardSettings s = defaultWizardSettings();
        s.reader1.UseCps = s.reader1.UseAmbrel = s.reader2.UseCps = s.reader2.UseAmbrel = 0;
        s.reader2.port = "3";
        s.reader2.address = "5";
        ASSERT_TRUE(applyTopologyChoice(s, c.topology));
        EXPECT_EQ(s.Topology, c.topology);
        EXPECT_EQ(s.reader1.UseCps, c.r1Cps);
        EXPECT_EQ(s.reader1.UseAmbrel, c.r1Ambrel);
        EXPECT_EQ(s.reader2.UseCps, c.r2Cps);
        EXPECT_EQ(s.reader2.UseAmbrel, c.r2Ambrel);
        EXPECT_EQ(s.reader2.port, c.r2Port);
        EXPECT_EQ(s.reader2.address, c.r2Address);
    }
    WizardSettings s = defaultWizardSettings();
    EXPECT_FALSE(applyTopologyChoice(s, 5018));
    EXPECT_EQ(s, defaultWizardSettings());
}

TEST(ReaderPage, OpeningForcesTheOfferedProtocol)
{
    WizardSettings s = settingsFor(kTopologyDeuxPorts);
    s.reader1.protocol = kProtocolPcsc;
    s.CurrentReader = 2;
    prepareReaderPage(s);
    EXPECT_EQ(s.reader2.protocol, kProtocolPcsc);

    for (const std::uint16_t topology : {kTopologyBifente, kTopologyChaines}) {
        WizardSettings t = settingsFor(topology);
        t.reader1.protocol = kProtocolPcsc;
        t.CurrentReader = 1;
        prepareReaderPage(t);
        EXPECT_EQ(t.reader1.protocol, kProtocolSerie);
    }

    WizardSettings m = settingsFor(kTopologyMonofente);
    m.reader1.protocol = kProtocolPcsc;
    m.CurrentReader = 1;
    prepareReaderPage(m);
    EXPECT_EQ(m.reader1.protocol, kProtocolPcsc);

    WizardSettings c = settingsFor(kTopologyChaines);
    c.reader1.port = "4";
    c.CurrentReader = 2;
    prepareReaderPage(c);
    EXPECT_EQ(c.reader2.port, "4");
}

struct ValidationCase {
    const char* name;
    std::uint16_t topology;
    int currentReader;
    std::function<void(WizardSettings&)> change;
    std::optional<std::string> selected;
    int expected;
};

void pcsc(WizardSettings& s, const char* r1, const char* r2)
{
    s.reader1.protocol = s.reader2.protocol = kProtocolPcsc;
    s.reader1.pcscName = r1;
    s.reader2.pcscName = r2;
}

TEST(ReaderPage, NextChecksInOrder)
{
    const auto none = [](WizardSettings&) {};
    const ValidationCase cases[] = {
        {"defaults pass", kTopologyMonofente, 1, none, std::nullopt, 0},
        {"no use", kTopologyMonofente, 1,
         [](WizardSettings& s) { s.reader1.UseCps = s.reader1.UseAmbrel = 0; }, std::nullopt, 24},
        {"PC/SC nothing selected", kTopologyMonofente, 1, [](WizardSettings& s) { pcsc(s, "", ""); },
         std::nullopt, 23},
        {"PC/SC empty entry before no use", kTopologyMonofente, 1,
         [](WizardSettings& s) {
             pcsc(s, "", "");
             s.reader1.UseCps = s.reader1.UseAmbrel = 0;
         },
         std::string(), 23},
        {"PC/SC selected", kTopologyMonofente, 1, [](WizardSettings& s) { pcsc(s, "", ""); }, "R1", 0},
        {"reader 1 both cards passes its own page", kTopologyDeuxPorts, 1,
         [](WizardSettings& s) { s.reader1.UseCps = 1; }, std::nullopt, 0},
        {"reader 1 both cards stops reader 2", kTopologyDeuxPorts, 2,
         [](WizardSettings& s) { s.reader1.UseCps = 1; }, std::nullopt, 26},
        {"two ports split", kTopologyDeuxPorts, 2, none, std::nullopt, 0},
        {"two ports both Ambrel", kTopologyDeuxPorts, 2,
         [](WizardSettings& s) { s.reader2.UseCps = 0, s.reader2.UseAmbrel = 1; }, std::nullopt, 26},
        {"reader 2 no use", kTopologyDeuxPorts, 2, [](WizardSettings& s) { s.reader2.UseCps = 0; },
         std::nullopt, 24},
        {"same serial port", kTopologyDeuxPorts, 2, [](WizardSettings& s) { s.reader2.port = "1"; },
         std::nullopt, 27},
        {"same port before uses", kTopologyDeuxPorts, 2,
         [](WizardSettings& s) {
             s.reader2.port = "1";
             s.reader1.UseCps = 1;
         },
         std::nullopt, 27},
        {"same PC/SC reader", kTopologyDeuxPorts, 2, [](WizardSettings& s) { pcsc(s, "Same", "x"); }, "Same",
         28},
        {"PC/SC names differ by case", kTopologyDeuxPorts, 2, [](WizardSettings& s) { pcsc(s, "same", "x"); },
         "Same", 0},
        {"PC/SC same ports do not matter", kTopologyDeuxPorts, 2,
         [](WizardSettings& s) {
             pcsc(s, "A", "x");
             s.reader2.port = "1";
         },
         "B", 0},
        {"chained same address", kTopologyChaines, 2, [](WizardSettings& s) { s.reader2.address = "2"; },
         std::nullopt, 29},
        {"chained same port is normal", kTopologyChaines, 2, [](WizardSettings& s) { s.reader2.port = "1"; },
         std::nullopt, 0},
        {"chained both CPS", kTopologyChaines, 2,
         [](WizardSettings& s) { s.reader1.UseCps = 1, s.reader1.UseAmbrel = 0; }, std::nullopt, 26},
        {"two-port same address is normal", kTopologyDeuxPorts, 2, none, std::nullopt, 0},
    };
    for (const ValidationCase& c : cases) {
        SCOPED_TRACE(c.name);
        WizardSettings s = settingsFor(c.topology);
        c.change(s);
        s.CurrentReader = c.currentReader;
        EXPECT_EQ(validateReaderPage(s, c.selected), c.expected);
    }
}

TEST(ReaderPage, SelectedPcscNameIsStoredForTheCurrentReader)
{
    WizardSettings s = settingsFor(kTopologyDeuxPorts);
    pcsc(s, "old 1", "old 2");
    s.CurrentReader = 2;
    ASSERT_EQ(validateReaderPage(s, std::string("Reader B")), 0);
    EXPECT_EQ(s.reader2.pcscName, "Reader B");
    EXPECT_EQ(s.reader1.pcscName, "old 1");

    // A longer name does not fit the 255-character field.
    s.CurrentReader = 1;
    ASSERT_EQ(validateReaderPage(s, std::string(300, 'x')), 0);
    EXPECT_EQ(s.reader1.pcscName, std::string(255, 'x'));
}

}  // namespace
}  // namespace calveno::test
