// The card-manager writers: where they stop on a failed line, which inputs
// they refuse, and how they read the use flags.

#include "PelkorWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace calveno::test {
namespace {

class RecordingStream final : public LineStream {
public:
    explicit RecordingStream(int failAt = 0) : m_failAt(failAt) {}
    bool writeLine(std::string_view block) override
    {
        ++attempts;
        if (attempts == m_failAt) return false;
        text += block;
        return true;
    }
    std::string text;
    int attempts = 0;

private:
    int m_failAt;
};

using Writer = bool (*)(LineStream&, std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t,
                        std::uint16_t);

struct WriterCase {
    const char* name;
    Writer writer;
    const char* extension;
};

const WriterCase kWriters[] = {{"pelkor.ini", &writePelkorIni, ".ini"},
                               {"pelkor.cnf", &writePelkorCnf, ".cnf"}};

TEST(PelkorWriter, StopsAtFirstLineNotStored)
{
    for (const WriterCase& w : kWriters) {
        SCOPED_TRACE(w.name);
        RecordingStream full;
        ASSERT_TRUE(w.writer(full, kTopologyMonofente, 1, 1, 0, 1));
        for (int failAt = 1; failAt <= full.attempts; ++failAt) {
            RecordingStream stream(failAt);
            EXPECT_FALSE(w.writer(stream, kTopologyMonofente, 1, 1, 0, 1));
            EXPECT_EQ(stream.attempts, failAt);
            // What was written before the failure stays, nothing after it.
            EXPECT_TRUE(full.text.starts_with(stream.text));
        }
    }
}

TEST(PelkorWriter, RefusesWhatNoArrangementProduces)
{
    for (const WriterCase& w : kWriters) {
        SCOPED_TRACE(w.name);
        for (const std::uint16_t topology : {kTopologyMonofente, kTopologyBifente}) {
            RecordingStream stream;
            EXPECT_FALSE(w.writer(stream, topology, 0, 0, 1, 1));
            EXPECT_EQ(stream.attempts, 0);
        }
        RecordingStream stream;
        EXPECT_FALSE(w.writer(stream, 1234, 1, 1, 0, 0));
        EXPECT_EQ(stream.attempts, 0);
    }
}

// A one-reader flag counts only when it equals 1; the two-reader rows are
// chosen by reader 1's UseCps being non-zero, and reader 2's flags are not
// read at all.
TEST(PelkorWriter, FlagsAreReadAsTheWizardHoldsThem)
{
    struct Case {
        std::uint16_t topology, r1Cps, r1Ambrel, r2Cps, r2Ambrel;
        const char* expected;
    };
    const Case cases[] = {
        {kTopologyMonofente, 2, 1, 0, 0, "pelkor-monofente-ambrel"},
        {kTopologyBifente, 1, 2, 0, 0, "pelkor-bifente-cps"},
        {kTopologyChaines, 2, 0, 0, 0, "pelkor-deux-lecteurs-r1-cps"},
        {kTopologyDeuxPorts, 0, 1, 0, 0, "pelkor-deux-lecteurs-r1-ambrel"},
        {kTopologyDeuxPorts, 1, 0, 1, 1, "pelkor-deux-lecteurs-r1-cps"},
    };
    for (const Case& c : cases) {
        for (const WriterCase& w : kWriters) {
            SCOPED_TRACE(std::string(c.expected) + w.extension);
            RecordingStream stream;
            ASSERT_TRUE(w.writer(stream, c.topology, c.r1Cps, c.r1Ambrel, c.r2Cps, c.r2Ambrel));
            EXPECT_EQ(stream.text, golden(std::string(c.expected) + w.extension));
        }
    }
}

}  // namespace
}  // namespace calveno::test
