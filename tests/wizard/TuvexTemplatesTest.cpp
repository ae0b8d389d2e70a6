// The tuvex.ini templates: refusals, the success flag over all writes, and
// the blocks that the expected files alone do not pin down.

#include "TestSupport.h"
#include "TuvexTemplates.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace calveno::test {
namespace {

// Renders the writes as the profile writer lays them out for these templates
// (keys of a section are always written together), failing the n-th write.
class RecordingSink final : public TuvexSink {
public:
    explicit RecordingSink(int failAt = 0) : m_failAt(failAt) {}

    bool AppendLine(std::string_view text) override
    {
        text_ += std::string(text) + "\r\n";
        return ++writes != m_failAt;
    }
    bool writeKey(std::string_view section, std::string_view key, std::string_view value) override
    {
        if (section != m_section) {
            text_ += "[" + std::string(section) + "]\r\n";
            m_section = section;
        }
        text_ += std::string(key) + "=" + std::string(value) + "\r\n";
        return ++writes != m_failAt;
    }

    std::string text_;
    int writes = 0;

private:
    int m_failAt;
    std::string m_section;
};

WizardSettings pcscTwoReaders()
{
    WizardSettings s = settingsFor(kTopologyDeuxPorts);
    s.reader1.protocol = s.reader2.protocol = kProtocolPcsc;
    s.reader1.pcscName = "Reader A";
    s.reader2.pcscName = "Reader B";
    return s;
}

struct RefusedCase {
    const char* name;
    std::function<void(WizardSettings&)> change;
    std::uint16_t topology;
};

TEST(TuvexTemplates, RefusedInputWritesNothing)
{
    const RefusedCase cases[] = {
        {"one reader without use", [](WizardSettings& s) { s.reader1.UseCps = s.reader1.UseAmbrel = 0; },
         kTopologyMonofente},
        {"two-slot reader without use", [](WizardSettings& s) { s.reader1.UseCps = s.reader1.UseAmbrel = 0; },
         kTopologyBifente},
        {"chained, reader 1 both cards", [](WizardSettings& s) { s.reader1.UseCps = 1; }, kTopologyChaines},
        {"chained, both Ambrel", [](WizardSettings& s) { s.reader2.UseCps = 0, s.reader2.UseAmbrel = 1; },
         kTopologyChaines},
        {"two ports, both CPS", [](WizardSettings& s) { s.reader1.UseCps = 1, s.reader1.UseAmbrel = 0; },
         kTopologyDeuxPorts},
        {"two ports, reader 2 no use", [](WizardSettings& s) { s.reader2.UseCps = 0; }, kTopologyDeuxPorts},
        {"flag neither 0 nor 1", [](WizardSettings& s) { s.reader1.UseCps = 2; }, kTopologyMonofente},
        {"unknown topology", [](WizardSettings& s) { s.Topology = 5018; }, kTopologyMonofente},
        {"unknown protocol", [](WizardSettings& s) { s.reader1.protocol = 5118; }, kTopologyMonofente},
        {"PC/SC asked for two-slot reader", [](WizardSettings& s) { s.reader1.protocol = kProtocolPcsc; },
         kTopologyBifente},
        {"PC/SC asked for chained readers", [](WizardSettings& s) { s.reader1.protocol = kProtocolPcsc; },
         kTopologyChaines},
        {"empty PC/SC name",
         [](WizardSettings& s) {
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName.clear();
         },
         kTopologyMonofente},
        {"PC/SC name with a line break",
         [](WizardSettings& s) {
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName = "Reader\r\n[CANAL9]";
         },
         kTopologyMonofente},
        {"PC/SC name over 255 characters",
         [](WizardSettings& s) {
             s.reader1.protocol = kProtocolPcsc;
             s.reader1.pcscName = std::string(256, 'R');
         },
         kTopologyMonofente},
        {"serial value with a line feed", [](WizardSettings& s) { s.reader1.speed = "9600\nX=1"; },
         kTopologyMonofente},
        {"empty address", [](WizardSettings& s) { s.reader2.address.clear(); }, kTopologyChaines},
        {"reader 2 PC/SC name with a line break",
         [](WizardSettings& s) {
             s = pcscTwoReaders();
             s.reader2.pcscName = "B\nNbCanaux=9";
         },
         kTopologyDeuxPorts},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.name);
        WizardSettings settings = settingsFor(c.topology);
        c.change(settings);
        RecordingSink sink;
        EXPECT_FALSE(tuvexTemplateAccepts(settings));
        EXPECT_FALSE(writeTuvexIni(sink, settings));
        EXPECT_EQ(sink.writes, 0);
    }
}

TEST(TuvexTemplates, DirectWritersRefuseWithoutWriting)
{
    WizardSettings s = settingsFor(kTopologyChaines);
    RecordingSink sink;
    ReaderSettings both = s.reader1;
    both.UseCps = 1;
    EXPECT_FALSE(writeTuvexMonofente(sink, kProtocolSerie, ReaderSettings{}));
    EXPECT_FALSE(writeTuvexBifente(sink, ReaderSettings{}));
    EXPECT_FALSE(writeTuvexChaines(sink, both, s.reader2));
    EXPECT_FALSE(writeTuvexDeuxPorts(sink, kProtocolSerie, s.reader2, s.reader2));
    EXPECT_EQ(sink.writes, 0);
}

// A failed write does not stop the template: every later line is still
// written and the result is failure, whichever write failed.
TEST(TuvexTemplates, FailedWriteKeepsWritingAndFails)
{
    const WizardSettings variants[] = {defaultWizardSettings(), settingsFor(kTopologyBifente),
                                       settingsFor(kTopologyChaines), settingsFor(kTopologyDeuxPorts),
                                       pcscTwoReaders()};
    for (const WizardSettings& settings : variants) {
        SCOPED_TRACE(settings.Topology);
        RecordingSink full;
        ASSERT_TRUE(writeTuvexIni(full, settings));
        for (int failAt = 1; failAt <= full.writes; ++failAt) {
            RecordingSink sink(failAt);
            EXPECT_FALSE(writeTuvexIni(sink, settings)) << "write " << failAt;
            EXPECT_EQ(sink.text_, full.text_) << "write " << failAt;
        }
    }
}

TEST(TuvexTemplates, PcscNameOf255CharactersIsWrittenWhole)
{
    WizardSettings s = settingsFor(kTopologyMonofente);
    s.reader1.protocol = kProtocolPcsc;
    s.reader1.pcscName = std::string(254, 'n') + ",";
    RecordingSink sink;
    ASSERT_TRUE(writeTuvexIni(sink, s));
    EXPECT_NE(sink.text_.find("Caracteristiques=" + s.reader1.pcscName + "\r\n"), std::string::npos);
}

TEST(TuvexTemplates, ProfileSinkWritesCrLfAndBlankLines)
{
    TempDir tmp;
    const std::string path = tmp.file("tuvex.ini");
    ProfileTuvexSink sink(path);
    EXPECT_TRUE(sink.AppendLine("; titre"));
    EXPECT_TRUE(sink.AppendLine(""));
    EXPECT_TRUE(sink.writeKey("CONFIG", "NbCanaux", "1"));
    EXPECT_TRUE(sink.AppendLine(""));
    EXPECT_TRUE(sink.writeKey("CANAL1", "TCanal", "1"));
    EXPECT_TRUE(sink.writeKey("CONFIG", "Autre", "x"));
    EXPECT_EQ(readBytes(path),
              "; titre\r\n\r\n[CONFIG]\r\nNbCanaux=1\r\nAutre=x\r\n\r\n[CANAL1]\r\nTCanal=1\r\n");
}

TEST(TuvexTemplates, ProfileSinkReportsUnwritablePath)
{
    TempDir tmp;
    writeBytes(tmp.path() / "file", "x");
    ProfileTuvexSink sink(tmp.file("file") + "/tuvex.ini");
    EXPECT_FALSE(sink.AppendLine(""));
    EXPECT_FALSE(sink.writeKey("CONFIG", "NbCanaux", "1"));
}

}  // namespace
}  // namespace calveno::test
