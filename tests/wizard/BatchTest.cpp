// calveno-batch: the same files as the wizard for every arrangement, the
// reader page's refusals, the questions and the exit codes.

#include "BatchRunner.h"
#include "GoldenCases.h"
#include "ReaderCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace calveno::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> goldenReaderNames()
{
    std::vector<std::string> names;
    for (const GoldenCase& golden : goldenCases()) {
        const WizardSettings settings = golden.settings();
        for (const std::string& name : {settings.reader1.pcscName, settings.reader2.pcscName})
            if (!name.empty()) names.push_back(name);
    }
    return names;
}

class Batch : public ::testing::Test {
protected:
    TempDir tmp;
    fs::path windows = tmp.subdir("windows");
    fs::path program = tmp.subdir("program");
    std::string out;
    std::string err;
    // The readers the PC/SC service lists: every name the golden cases use.
    PcscReaderListing present{true, goldenReaderNames(), ""};

    int run(std::vector<std::string> args, bool withDirs = true)
    {
        args.insert(args.begin(), (program / "calveno-batch").string());
        if (withDirs) {
            args.insert(args.end(), {"--windows-dir", windows.string(), "--program-dir", program.string()});
        }
        std::ostringstream o;
        std::ostringstream e;
        const int code = runBatch(args, o, e, [this] { return present; });
        out = o.str();
        err = e.str();
        return code;
    }
    bool errHas(int code) const { return err.find(findMessage(code)->text) != std::string::npos; }
};

TEST_F(Batch, WritesTheExpectedFilesForEveryArrangement)
{
    for (const GoldenCase& golden : goldenCases()) {
        for (const bool cnf : {false, true}) {
            SCOPED_TRACE(golden.tuvexGolden + (cnf ? " --cnf" : ""));
            for (const fs::path& dir : {windows, program}) {
                fs::remove_all(dir);
                fs::create_directory(dir);
            }
            std::vector<std::string> args = golden.batchArgs;
            if (cnf) args.push_back("--cnf");
            ASSERT_EQ(run(args), kExitWritten) << err;
            EXPECT_EQ(err, "");
            EXPECT_EQ(readBytes(windows / "tuvex.ini"), test::golden(golden.tuvexGolden));
            EXPECT_EQ(readBytes(program / (cnf ? "pelkor.cnf" : "pelkor.ini")),
                      test::golden(golden.pelkorGolden + (cnf ? ".cnf" : ".ini")));
            EXPECT_FALSE(fs::exists(program / (cnf ? "pelkor.ini" : "pelkor.cnf")));
        }
    }
}

TEST_F(Batch, ReaderPageRefusalsExitWithOne)
{
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const std::vector<Case> cases = {
        {{"--protocol", "pcsc"}, 23},
        {{"--protocol", "pcsc", "--r1-name", ""}, 23},
        {{"--r1-cps", "0", "--r1-ambrel", "0"}, 24},
        {{"--topology", "deux-ports", "--r2-cps", "0"}, 24},
        {{"--topology", "deux-ports", "--r1-cps", "1"}, 26},
        {{"--topology", "chaines", "--r2-ambrel", "1", "--r2-cps", "0"}, 26},
        {{"--topology", "deux-ports", "--r2-port", "1"}, 27},
        {{"--topology", "deux-ports", "--protocol", "pcsc", "--r1-name", "R", "--r2-name", "R"}, 28},
        {{"--topology", "deux-ports", "--protocol", "pcsc", "--r1-name", "R"}, 23},
        {{"--topology", "chaines", "--r2-address", "2"}, 29},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(run(c.args), kExitRefused);
        EXPECT_TRUE(errHas(c.code)) << err;
        EXPECT_TRUE(fs::is_empty(windows));
        EXPECT_TRUE(fs::is_empty(program));
    }
}

TEST_F(Batch, WrongUsageExitsWithThreeNamingTheOption)
{
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    const std::vector<Case> cases = {
        {{"--topology", "trifente"}, "--topology"},
        {{"--topology", "5018"}, "--topology"},
        {{"--protocol", "usb"}, "--protocol"},
        {{"--r1-port", "5"}, "--r1-port"},
        {{"--r1-port", "01"}, "--r1-port"},
        {{"--r2-speed", "4800"}, "--r2-speed"},
        {{"--r1-bits", "7"}, "--r1-bits"},
        {{"--r1-parity", "3"}, "--r1-parity"},
        {{"--r2-stop", "-1"}, "--r2-stop"},
        {{"--r1-address", "9"}, "--r1-address"},
        {{"--r1-cps", "2"}, "--r1-cps"},
        {{"--r2-ambrel", "yes"}, "--r2-ambrel"},
        {{"--r1-name", std::string(256, 'n')}, "--r1-name"},
        {{"--r1-name", "a\nb"}, "--r1-name"},
        {{"--r1-port"}, "--r1-port"},
        {{"--colour"}, "--colour"},
        {{"extra"}, "extra"},
        {{"--topology", "bifente", "--protocol", "pcsc"}, "--protocol"},
        {{"--topology", "chaines", "--protocol", "pcsc"}, "--protocol"},
        {{"--r2-address", "3"}, "--r2-address"},
        {{"--topology", "bifente", "--r2-cps", "1"}, "--r2-cps"},
        {{"--topology", "chaines", "--r2-port", "3"}, "--r2-port"},
        {{"--r1-name", "Reader A"}, "--r1-name"},
        {{"--topology", "deux-ports", "--protocol", "serie", "--r2-name", "Reader B"}, "--r2-name"},
        {{"--windows-dir", "/nonexistent/calveno"}, "--windows-dir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        EXPECT_EQ(run(c.args), kExitUsage);
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_TRUE(fs::is_empty(windows));
        EXPECT_TRUE(fs::is_empty(program));
    }
}

TEST_F(Batch, ExistingFilesNeedYes)
{
    writeBytes(windows / "tuvex.ini", "old tuvex");
    EXPECT_EQ(run({}), kExitRefused);
    EXPECT_TRUE(errHas(43));
    EXPECT_TRUE(errHas(46));
    EXPECT_EQ(readBytes(windows / "tuvex.ini"), "old tuvex");
    EXPECT_FALSE(fs::exists(program / "archive-tuvex.ini"));

    EXPECT_EQ(run({"--yes"}), kExitWritten);
    EXPECT_TRUE(errHas(43));
    EXPECT_EQ(readBytes(windows / "tuvex.ini"), golden("tuvex-monofente-serie-cps-ambrel.ini"));
    EXPECT_EQ(readBytes(program / "archive-tuvex.ini"), "old tuvex");
}

TEST_F(Batch, OnlyCnfPresentNeedsNoAnswer)
{
    writeBytes(program / "pelkor.cnf", "old cnf");
    EXPECT_EQ(run({}), kExitWritten);
    EXPECT_EQ(err, "");
    EXPECT_EQ(readBytes(program / "archive-pelkor.cnf"), "old cnf");
}

TEST_F(Batch, DeclinedArchiveQuestionExitsWithOne)
{
    writeBytes(program / "pelkor.cnf", "old cnf");
    fs::create_directory(program / "archive-pelkor.cnf");
    EXPECT_EQ(run({"--cnf"}), kExitRefused);
    EXPECT_TRUE(errHas(33));
    EXPECT_TRUE(errHas(45));
    EXPECT_EQ(readBytes(program / "pelkor.cnf"), "old cnf");

    EXPECT_EQ(run({"--cnf", "--yes"}), kExitWritten);
    EXPECT_EQ(readBytes(program / "pelkor.cnf"), golden("pelkor-monofente-cps-ambrel.cnf"));
}

TEST_F(Batch, FinishFailureExitsWithTwo)
{
    // tuvex.ini cannot be created where a directory holds its name.
    fs::create_directory(windows / "tuvex.ini");
    EXPECT_EQ(run({}), kExitFinishFailed);
    EXPECT_TRUE(errHas(40));
    EXPECT_TRUE(errHas(45));
}

TEST_F(Batch, PathsThatDoNotFitExitWithTwo)
{
    fs::path deep = program;
    while (deep.string().size() < 260) deep /= std::string(40, 'd');
    fs::create_directories(deep);
    EXPECT_EQ(run({"--windows-dir", windows.string(), "--program-dir", deep.string()}, false),
              kExitFinishFailed);
    EXPECT_TRUE(errHas(1));
    EXPECT_TRUE(fs::is_empty(windows));
#ifndef _WIN32
    // Windows' own directory listing refuses a path this long.
    EXPECT_TRUE(fs::is_empty(deep));
#endif
}

#ifndef _WIN32
// On Windows the default is the running module's directory instead; the Windows
// build checks that with calveno-batch.exe itself.
TEST_F(Batch, ProgramDirectoryIsTheExecutablesNotArgumentZero)
{
    // Without --program-dir the card-manager file goes beside the running
    // executable (this test program, in the build tree), whatever argument 0
    // says; the program started by name from PATH is CalvenoBatch.StartedByName*.
    const fs::path beside = fs::canonical("/proc/self/exe").parent_path();
    for (const char* name : {"pelkor.ini", "archive-pelkor.ini"}) fs::remove(beside / name);
    EXPECT_EQ(run({"--windows-dir", windows.string()}, false), kExitWritten) << err;
    EXPECT_TRUE(fs::is_empty(program));
    EXPECT_EQ(readBytes(beside / "pelkor.ini"), golden("pelkor-monofente-cps-ambrel.ini"));
    for (const char* name : {"pelkor.ini", "archive-pelkor.ini"}) fs::remove(beside / name);
}
#endif

TEST(BatchReaderCheck, OnlyAReadersWholeNameFits)
{
    const std::vector<std::string> present{"Virtual Reader A 00 00", "Virtual Reader B 00 00"};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Virtual Reader A 00 00", ""},
        {"Virtual Reader C 00 00", "no PC/SC reader present has this name"},
        {"Virtual Reader", "no PC/SC reader present has this name"},  // a prefix names none
        {"virtual reader a 00 00", "no PC/SC reader present has this name"},
        {"USB Virtual Reader A 00 00 (2)",
         "not a reader's whole name: it contains \"Virtual Reader A 00 00\""},
    };
    for (const auto& [name, problem] : cases) {
        const std::string got = readerNameProblem(name, present);
        if (problem.empty())
            EXPECT_EQ(got, "") << name;
        else
            EXPECT_NE(got.find(problem), std::string::npos) << name << " -> " << got;
    }
    EXPECT_EQ(readerLines({}), "  (none)\n");
}

TEST_F(Batch, ReaderNamesAreCheckedAgainstTheReadersPresentBeforeWriting)
{
    present.names = {"Virtual Reader A 00 00", "Virtual Reader B 00 00"};
    const std::vector<std::string> typo = {"--topology", "deux-ports",
                                           "--protocol", "pcsc",
                                           "--r1-name",  "Virtual Reader A 00 00",
                                           "--r2-name",  "Virtual Reader 8 00 00"};
    EXPECT_EQ(run(typo), kExitReaderCheck);
    EXPECT_NE(err.find("--r2-name \"Virtual Reader 8 00 00\": no PC/SC reader present has this name\n"
                       "PC/SC readers present (give one exactly as listed; --list-readers prints them):\n"
                       "  \"Virtual Reader A 00 00\"\n  \"Virtual Reader B 00 00\"\n"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("--r1-name"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_empty(windows));
    EXPECT_TRUE(fs::is_empty(program));

    present = PcscReaderListing{false, {}, "SCardEstablishContext answered 0x8010001D"};
    EXPECT_EQ(run({"--protocol", "pcsc", "--r1-name", "Virtual Reader A 00 00"}), kExitReaderCheck);
    EXPECT_NE(err.find("the PC/SC service is not reachable (SCardEstablishContext answered 0x8010001D)"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("--no-reader-check"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_empty(windows));

    // For another machine: written as given.
    std::vector<std::string> elsewhere = typo;
    elsewhere.push_back("--no-reader-check");
    EXPECT_EQ(run(elsewhere), kExitWritten) << err;
    EXPECT_NE(readBytes(windows / "tuvex.ini").find("Caracteristiques=Virtual Reader 8 00 00\r\n"),
              std::string::npos);
}

TEST_F(Batch, ListReadersPrintsOneNameALine)
{
    present.names = {"Virtual Reader A 00 00", "Lecteur, \xE9tage 1"};
    EXPECT_EQ(run({"--list-readers"}), kExitWritten);
    EXPECT_EQ(out, "Virtual Reader A 00 00\nLecteur, \xE9tage 1\n");
    present.names.clear();
    EXPECT_EQ(run({"--list-readers"}), kExitWritten);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("no PC/SC reader present"), std::string::npos);
    present.reachable = false;
    EXPECT_EQ(run({"--list-readers"}), kExitReaderCheck);
    EXPECT_NE(err.find("not reachable"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(windows));
}

TEST_F(Batch, SuccessPrintsTheFilesWrittenAndTheArchivesUnlessQuiet)
{
    EXPECT_EQ(run({}), kExitWritten);
    EXPECT_EQ(out, "written " + (program / "pelkor.ini").string() + "\nwritten " +
                       (windows / "tuvex.ini").string() + "\n");
    EXPECT_EQ(run({"--yes", "--cnf"}), kExitWritten);
    EXPECT_EQ(out, "archived " + (program / "pelkor.ini").string() + " as " +
                       (program / "archive-pelkor.ini").string() + "\narchived " +
                       (windows / "tuvex.ini").string() + " as " + (program / "archive-tuvex.ini").string() +
                       "\nwritten " + (program / "pelkor.cnf").string() + "\nwritten " +
                       (windows / "tuvex.ini").string() + "\n");
    EXPECT_EQ(run({"--yes", "-q"}), kExitWritten);
    EXPECT_EQ(out, "");
}

TEST_F(Batch, HelpListsEveryOption)
{
    EXPECT_EQ(run({"--help"}), kExitWritten);
    for (const char* option :
         {"--topology", "--protocol", "--r1-name", "--r2-ambrel", "--cnf", "--windows-dir", "--program-dir",
          "--yes", "--no-reader-check", "--list-readers", "--quiet", "4 a PC/SC reader name"})
        EXPECT_NE(out.find(option), std::string::npos) << option;
    EXPECT_TRUE(fs::is_empty(windows));
}

#ifndef _WIN32
// The built program itself, for its exit status.
TEST(BatchProgram, ExitStatusReachesTheShell)
{
    TempDir tmp;
    const std::string dirs =
        " --windows-dir '" + tmp.path().string() + "' --program-dir '" + tmp.path().string() + "'";
    const auto status = [](const std::string& command) {
        const int raw = std::system((command + " 2>/dev/null >/dev/null").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    const std::string program = CALVENO_BATCH_PATH;
    EXPECT_EQ(status(program + " --r1-port 9" + dirs), 3);
    EXPECT_EQ(status(program + " --topology deux-ports --r1-cps 1" + dirs), 1);
    EXPECT_EQ(status(program + " --topology chaines --cnf" + dirs), 0);
    EXPECT_EQ(readBytes(tmp.path() / "pelkor.cnf"), golden("pelkor-deux-lecteurs-r1-ambrel.cnf"));
    EXPECT_EQ(status(program + dirs), 1);  // files exist now, no --yes
}
#endif

}  // namespace
}  // namespace calveno::test
