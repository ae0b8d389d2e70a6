#include "common/ProgramInfo.h"

#include "ToolkitVersion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const toolkit::ProgramInfo kInfo{"quintor", "Tests the API."};

// Which arguments the window programs answer themselves and which they leave
// to the toolkit, whose own options must still reach it.
TEST(ProgramInfo, AnswersHelpAndVersionAndLeavesTheRest)
{
    struct Case {
        std::vector<std::string> args;
        bool answered;
        std::string firstLine;
    };
    const std::vector<Case> cases = {
        {{"quintor"}, false, ""},
        {{"quintor", "-platform", "offscreen"}, false, ""},
        {{"quintor", "-platform", "offscreen", "--version"}, true, std::string("quintor ") + TOOLKIT_VERSION},
        {{"quintor", "--version"}, true, std::string("quintor ") + TOOLKIT_VERSION},
        {{"quintor", "-h"}, true, "Usage: quintor [OPTION]"},
        {{"quintor", "--version", "--help"}, true, "Usage: quintor [OPTION]"},
        {{"quintor", "--versions", "-help"}, false, ""},
        {{}, false, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        const auto status = toolkit::answerInfoOption(c.args, kInfo, out);
        const std::string shown = c.args.empty() ? "(none)" : c.args.back();
        ASSERT_EQ(status.has_value(), c.answered) << shown;
        if (!c.answered) {
            EXPECT_TRUE(out.str().empty()) << shown;
            continue;
        }
        EXPECT_EQ(*status, 0) << shown;
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), c.firstLine) << shown;
    }
}

}  // namespace
