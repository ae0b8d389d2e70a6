#include "common/ProgramInfo.h"

#include "ToolkitVersion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const toolkit::ProgramInfo kInfo{"quintor", "Tests the API.", "Files:\n  none\n"};

// What the window programs answer before they open a window: help, version,
// and one line refusing anything else.
TEST(ProgramInfo, AnswersHelpAndVersionAndRefusesTheRest)
{
    struct Case {
        std::vector<std::string> args;
        std::optional<int> status;
        std::string outFirstLine;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"quintor"}, std::nullopt, "", ""},
        {{}, std::nullopt, "", ""},
        {{"quintor", "--version"}, 0, std::string("quintor ") + TOOLKIT_VERSION, ""},
        {{"quintor", "-h"}, 0, "Usage: quintor [OPTION]", ""},
        {{"quintor", "--version", "--help"}, 0, "Usage: quintor [OPTION]", ""},
        {{"quintor", "--bogus", "--help"}, 0, "Usage: quintor [OPTION]", ""},
        {{"quintor", "-platform", "offscreen", "--version"},
         0,
         std::string("quintor ") + TOOLKIT_VERSION,
         ""},
        {{"quintor", "--bogus"}, 2, "", "quintor: unknown option '--bogus'; try 'quintor --help'\n"},
        {{"quintor", "-v"}, 2, "", "quintor: unknown option '-v'; try 'quintor --help'\n"},
        {{"quintor", "-platform", "offscreen"},
         2,
         "",
         "quintor: unknown option '-platform'; try 'quintor --help'\n"},
        {{"quintor", "--versions", "-help"},
         2,
         "",
         "quintor: unknown option '--versions'; try 'quintor --help'\n"},
        {{"quintor", "doc.txt"}, 2, "", "quintor: unexpected argument 'doc.txt'; try 'quintor --help'\n"},
        {{"quintor", ""}, 2, "", "quintor: unexpected argument ''; try 'quintor --help'\n"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        std::ostringstream err;
        const auto status = toolkit::answerCommandLine(c.args, kInfo, out, err);
        const std::string shown = c.args.empty() ? "(none)" : c.args.back();
        EXPECT_EQ(status, c.status) << shown;
        EXPECT_EQ(out.str().substr(0, out.str().find('\n')), c.outFirstLine) << shown;
        EXPECT_EQ(err.str(), c.err) << shown;
    }
}

TEST(ProgramInfo, HelpListsTheOptionsThenTheDetails)
{
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(toolkit::answerCommandLine({"quintor", "--help"}, kInfo, out, err), 0);
    EXPECT_EQ(out.str(),
              "Usage: quintor [OPTION]\nTests the API.\n\nOptions:\n"
              "  -h, --help     show this help and exit\n"
              "      --version  show the version and exit\n\nFiles:\n  none\n");
}

}  // namespace
