// The plug-in's public codes: every detail code the plug-in can report has a text, and
// the reader-name rule that tuvex-host and calveno-batch share with the plug-in.

#include "OstrelCodes.h"
#include "StatusConversion.h"

#include <gtest/gtest.h>

namespace {

TEST(OstrelCodes, EveryDetailCodeThePluginReportsHasAText)
{
    // The plug-in's own status table decides which codes exist; 27 keeps the status
    // unchanged but is still reported as a detail.
    int codes = 0;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const auto detail = static_cast<ostrel::DetailCode>(code);
        if (!ostrel::statusForDetail(detail) && detail != ostrel::kDetailCardChanged) continue;
        ++codes;
        EXPECT_FALSE(ostrel::detailText(detail).empty()) << code;
    }
    EXPECT_EQ(codes, 23);
    EXPECT_TRUE(ostrel::detailText(23).empty());
}

TEST(OstrelCodes, ReportCodesOfTheCommandSetHaveTexts)
{
    for (const std::uint8_t cr : {0x00, 0x02, 0x03, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17})
        EXPECT_FALSE(ostrel::reportText(cr).empty()) << int(cr);
    EXPECT_TRUE(ostrel::reportText(0x01).empty());
}

TEST(OstrelCodes, AConfiguredTextNamesEveryReaderItContains)
{
    struct Case {
        const char* configured;
        const char* reader;
        bool matches;
    };
    const Case cases[] = {
        {"Virtual Reader A 00 00", "Virtual Reader A 00 00", true},
        {"USB Virtual Reader A 00 00 (slot 1)", "Virtual Reader A 00 00", true},
        {"Virtual Reader A", "Virtual Reader A 00 00", false},  // a prefix is not enough
        {"virtual reader a 00 00", "Virtual Reader A 00 00", false},
        {"Virtual Reader A 00 00", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ostrel::readerNameMatches(c.configured, c.reader), c.matches)
            << c.configured << " / " << c.reader;
}

}  // namespace
