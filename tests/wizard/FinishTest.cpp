// The Finish step on real files in temporary directories: archives, which
// file is created or deleted, and every failure with its message and what it
// leaves behind. Faults that a root-run file system never produces come from
// FaultyFileOperations or from a path blocked by a file or a directory.

#include "Finish.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace calveno::test {
namespace {

namespace fs = std::filesystem;

class Finish : public ::testing::Test {
protected:
    TempDir tmp;
    fs::path windows = tmp.subdir("windows");
    fs::path program = tmp.subdir("program");
    Directories dirs{windows.string(), program.string()};
    FaultyFileOperations files;

    fs::path win(const char* name) const { return windows / name; }
    fs::path prog(const char* name) const { return program / name; }

    bool run(const WizardSettings& settings, ScriptedPresenter& presenter)
    {
        return GenerateConfiguration(settings, dirs, files, presenter);
    }
    static WizardSettings withCnf(int makeCnf)
    {
        WizardSettings s = defaultWizardSettings();
        s.MakeCnf = makeCnf;
        return s;
    }
};

const std::string kTuvexGolden = "tuvex-monofente-serie-cps-ambrel.ini";
const std::string kIniGolden = "pelkor-monofente-cps-ambrel.ini";
const std::string kCnfGolden = "pelkor-monofente-cps-ambrel.cnf";

// The first `count` CR LF lines of `text`.
std::string firstLines(const std::string& text, int count)
{
    std::size_t end = 0;
    for (int i = 0; i < count; ++i) end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

TEST_F(Finish, NoFilePresentCreatesFilesWithoutArchives)
{
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(0), presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_EQ(readBytes(win("tuvex.ini")), golden(kTuvexGolden));
    EXPECT_EQ(readBytes(prog("pelkor.ini")), golden(kIniGolden));
    for (const char* name : {"archive-tuvex.ini", "archive-pelkor.ini", "archive-pelkor.cnf", "pelkor.cnf"})
        EXPECT_FALSE(fs::exists(prog(name))) << name;
}

TEST_F(Finish, OnlyCnfPresentIsArchivedThenDeletedForIni)
{
    writeBytes(prog("pelkor.cnf"), "old cnf\r\n");
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(0), presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_EQ(readBytes(prog("archive-pelkor.cnf")), "old cnf\r\n");
    EXPECT_FALSE(fs::exists(prog("pelkor.cnf")));
    EXPECT_EQ(readBytes(prog("pelkor.ini")), golden(kIniGolden));
}

TEST_F(Finish, OnlyCnfPresentIsReplacedWhenCnfChosen)
{
    writeBytes(prog("pelkor.cnf"), "old cnf\r\n");
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(1), presenter));
    EXPECT_EQ(readBytes(prog("archive-pelkor.cnf")), "old cnf\r\n");
    EXPECT_EQ(readBytes(prog("pelkor.cnf")), golden(kCnfGolden));
    EXPECT_FALSE(fs::exists(prog("pelkor.ini")));
}

TEST_F(Finish, PelkorIniOnlyInWindowsDirectoryIsReplacedThere)
{
    writeBytes(win("pelkor.ini"), "old ini\r\n");
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(0), presenter));
    EXPECT_EQ(readBytes(win("pelkor.ini")), golden(kIniGolden));
    EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old ini\r\n");
    EXPECT_FALSE(fs::exists(prog("pelkor.ini")));
}

TEST_F(Finish, PelkorIniInWindowsDirectoryIsDeletedWhenCnfChosen)
{
    writeBytes(win("pelkor.ini"), "old ini\r\n");
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(1), presenter));
    EXPECT_FALSE(fs::exists(win("pelkor.ini")));
    EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old ini\r\n");
    EXPECT_EQ(readBytes(prog("pelkor.cnf")), golden(kCnfGolden));
}

TEST_F(Finish, ReadOnlyFilesAreArchivedAndRewritten)
{
    writeBytes(win("tuvex.ini"), "[OLD]\r\nx=1\r\n");
    writeBytes(prog("pelkor.ini"), "old ini\r\n");
    writeBytes(prog("archive-tuvex.ini"), "older\r\n");
    makeReadOnly(win("tuvex.ini"));
    makeReadOnly(prog("pelkor.ini"));
    makeReadOnly(prog("archive-tuvex.ini"));

    ScriptedPresenter presenter;
    ASSERT_TRUE(run(withCnf(0), presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_EQ(readBytes(win("tuvex.ini")), golden(kTuvexGolden));
    EXPECT_EQ(readBytes(prog("archive-tuvex.ini")), "[OLD]\r\nx=1\r\n");
    EXPECT_EQ(readBytes(prog("pelkor.ini")), golden(kIniGolden));
    EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old ini\r\n");
    EXPECT_FALSE(isReadOnly(win("tuvex.ini")));
}

// The seam keeps the read-only state meaningful even for root: without the
// attribute reset the file could be neither emptied nor deleted.
// The card-manager file not chosen is deleted even when it was read-only.
TEST_F(Finish, ReadOnlyCardManagerFilesAreArchivedAndTheOtherDeleted)
{
    for (const int makeCnf : {0, 1}) {
        SCOPED_TRACE(makeCnf);
        for (const char* name : {"pelkor.cnf", "pelkor.ini", "archive-pelkor.cnf", "archive-pelkor.ini"}) {
            if (fs::exists(prog(name)))
                fs::permissions(prog(name), fs::perms::owner_write, fs::perm_options::add);
            writeBytes(prog(name), std::string("old ") + name);
            makeReadOnly(prog(name));
        }
        ScriptedPresenter presenter;
        ASSERT_TRUE(run(withCnf(makeCnf), presenter));
        EXPECT_TRUE(presenter.codes.empty());
        EXPECT_EQ(readBytes(prog("archive-pelkor.cnf")), "old pelkor.cnf");
        EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old pelkor.ini");
        EXPECT_EQ(readBytes(prog(makeCnf ? "pelkor.cnf" : "pelkor.ini")),
                  golden(makeCnf ? kCnfGolden : kIniGolden));
        EXPECT_FALSE(fs::exists(prog(makeCnf ? "pelkor.ini" : "pelkor.cnf")));
    }
}

TEST_F(Finish, ReadOnlyStateRefusesWritesWithoutReset)
{
    SystemFileOperations system;
    writeBytes(win("tuvex.ini"), "keep");
    makeReadOnly(win("tuvex.ini"));
    EXPECT_FALSE(system.createEmpty(win("tuvex.ini").string()));
    EXPECT_FALSE(system.remove(win("tuvex.ini").string()));
    EXPECT_EQ(system.openForWriting(win("tuvex.ini").string()), nullptr);
    EXPECT_EQ(readBytes(win("tuvex.ini")), "keep");
    EXPECT_TRUE(system.resetAttributes(win("tuvex.ini").string()));
    EXPECT_TRUE(system.createEmpty(win("tuvex.ini").string()));
    EXPECT_EQ(readBytes(win("tuvex.ini")), "");
}

TEST_F(Finish, SecondRunArchivesTheFirstRunsFiles)
{
    WizardSettings first = defaultWizardSettings();
    first.MakeCnf = 1;
    WizardSettings second = settingsFor(kTopologyBifente);
    ScriptedPresenter presenter;
    ASSERT_TRUE(run(first, presenter));
    ASSERT_TRUE(run(second, presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_EQ(readBytes(prog("archive-tuvex.ini")), golden(kTuvexGolden));
    EXPECT_EQ(readBytes(prog("archive-pelkor.cnf")), golden(kCnfGolden));
    EXPECT_EQ(readBytes(win("tuvex.ini")), golden("tuvex-bifente-serie-cps-ambrel.ini"));
    EXPECT_EQ(readBytes(prog("pelkor.ini")), golden("pelkor-bifente-cps-ambrel.ini"));
    EXPECT_FALSE(fs::exists(prog("pelkor.cnf")));
    EXPECT_FALSE(fs::exists(prog("archive-pelkor.ini")));
}

// A file where the Windows directory should be: tuvex.ini cannot be created.
TEST_F(Finish, UnwritableWindowsDirectoryGivesCode40AfterCardManagerFileEmptied)
{
    writeBytes(prog("pelkor.ini"), "old ini\r\n");
    writeBytes(prog("pelkor.cnf"), "old cnf\r\n");
    fs::remove_all(windows);
    writeBytes(windows, "not a directory");
    ScriptedPresenter presenter;
    EXPECT_FALSE(run(withCnf(0), presenter));
    EXPECT_EQ(presenter.codes, std::vector<int>{40});
    EXPECT_EQ(readBytes(prog("pelkor.ini")), "");
    EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old ini\r\n");
    // The other card-manager file was already deleted, its archive made.
    EXPECT_FALSE(fs::exists(prog("pelkor.cnf")));
    EXPECT_EQ(readBytes(prog("archive-pelkor.cnf")), "old cnf\r\n");
}

TEST_F(Finish, CardManagerFileThatCannotBeOpened)
{
    for (const int makeCnf : {0, 1}) {
        SCOPED_TRACE(makeCnf);
        TempDir other;
        dirs = {other.subdir("w").string(), other.subdir("p").string()};
        fs::create_directory(fs::path(dirs.programDirectory) / (makeCnf ? "pelkor.cnf" : "pelkor.ini"));
        writeBytes(fs::path(dirs.windowsDirectory) / "tuvex.ini", "old");
        ScriptedPresenter presenter;
        EXPECT_FALSE(run(withCnf(makeCnf), presenter));
        EXPECT_EQ(presenter.codes, std::vector<int>{makeCnf ? 31 : 35});
        // Stopped before tuvex.ini was touched.
        EXPECT_EQ(readBytes(fs::path(dirs.windowsDirectory) / "tuvex.ini"), "old");
    }
}

// A directory named like the archive cannot be deleted, so the copy fails.
TEST_F(Finish, FailedCnfArchiveAsksCode33)
{
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        SCOPED_TRACE(answer == MessageAnswer::Ok ? "OK" : "Cancel");
        writeBytes(prog("pelkor.cnf"), "old cnf\r\n");
        fs::create_directories(prog("archive-pelkor.cnf"));
        ScriptedPresenter presenter({answer});
        const bool ok = run(withCnf(1), presenter);
        EXPECT_EQ(presenter.codes, std::vector<int>{33});
        EXPECT_EQ(presenter.styles.at(0), (MessageStyle{MessageButtons::OkCancel, MessageIcon::Question}));
        if (answer == MessageAnswer::Ok) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(readBytes(prog("pelkor.cnf")), golden(kCnfGolden));
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(readBytes(prog("pelkor.cnf")), "old cnf\r\n");
            EXPECT_FALSE(fs::exists(win("tuvex.ini")));
        }
    }
}

// Not asked for by the original sequence: a pelkor.ini that could not be
// archived is about to be lost, so the user is asked first.
TEST_F(Finish, FailedIniArchiveAsksBeforeTheFileIsLost)
{
    for (const int makeCnf : {0, 1}) {
        SCOPED_TRACE(makeCnf);
        writeBytes(prog("pelkor.ini"), "old ini\r\n");
        fs::remove(prog("pelkor.cnf"));
        files.failCopyTo = {"archive-pelkor.ini"};
        ScriptedPresenter cancel({MessageAnswer::Cancel});
        EXPECT_FALSE(run(withCnf(makeCnf), cancel));
        EXPECT_EQ(cancel.codes, std::vector<int>{33});
        EXPECT_EQ(readBytes(prog("pelkor.ini")), "old ini\r\n");

        ScriptedPresenter ok({MessageAnswer::Ok});
        EXPECT_TRUE(run(withCnf(makeCnf), ok));
        EXPECT_EQ(ok.codes, std::vector<int>{33});
        EXPECT_EQ(fs::exists(prog("pelkor.ini")), makeCnf == 0);
    }
}

TEST_F(Finish, FailedTuvexArchiveAsksCode42)
{
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        writeBytes(win("tuvex.ini"), "old tuvex");
        files.failRemove = {"archive-tuvex.ini"};
        writeBytes(prog("archive-tuvex.ini"), "older");
        ScriptedPresenter presenter({answer});
        const bool ok = run(withCnf(0), presenter);
        EXPECT_EQ(presenter.codes, std::vector<int>{42});
        EXPECT_EQ(readBytes(prog("archive-tuvex.ini")), "older");
        if (answer == MessageAnswer::Ok) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(readBytes(win("tuvex.ini")), golden(kTuvexGolden));
        } else {
            EXPECT_FALSE(ok);
            EXPECT_EQ(readBytes(win("tuvex.ini")), "old tuvex");
            // The card-manager file was already created when the question came.
            EXPECT_EQ(readBytes(prog("pelkor.ini")), "");
        }
    }
}

TEST_F(Finish, FailedTuvexWriteGivesCode41AndSkipsCardManagerFile)
{
    writeBytes(prog("pelkor.ini"), "old ini\r\n");
    writeBytes(win("tuvex.ini"), "old tuvex\r\n");
    files.failTuvexWrite = 3;
    ScriptedPresenter presenter;
    EXPECT_FALSE(run(withCnf(0), presenter));
    EXPECT_EQ(presenter.codes, std::vector<int>{41});
    EXPECT_EQ(readBytes(prog("archive-tuvex.ini")), "old tuvex\r\n");
    EXPECT_EQ(readBytes(prog("pelkor.ini")), "");
    EXPECT_EQ(readBytes(prog("archive-pelkor.ini")), "old ini\r\n");
    // The template went on after the failed write: the rest is there.
    EXPECT_NE(readBytes(win("tuvex.ini")).find("NomAlias1=TRANSPA2"), std::string::npos);
}

TEST_F(Finish, RefusedSettingsTouchNoFile)
{
    writeBytes(win("tuvex.ini"), "old tuvex");
    writeBytes(prog("pelkor.ini"), "old ini");
    WizardSettings settings = defaultWizardSettings();
    settings.reader1.UseCps = settings.reader1.UseAmbrel = 0;
    ScriptedPresenter presenter;
    EXPECT_FALSE(run(settings, presenter));
    EXPECT_EQ(presenter.codes, std::vector<int>{41});
    EXPECT_EQ(readBytes(win("tuvex.ini")), "old tuvex");
    EXPECT_EQ(readBytes(prog("pelkor.ini")), "old ini");
    EXPECT_FALSE(fs::exists(prog("archive-tuvex.ini")));
}

TEST_F(Finish, FailedCardManagerWriteGivesCode34Or37)
{
    struct Case {
        int makeCnf;
        int failLine;
        bool failClose;
        int code;
    };
    const Case cases[] = {{0, 1, false, 37}, {0, 6, false, 37}, {1, 1, false, 34},
                          {1, 9, false, 34}, {0, 0, true, 37},  {1, 0, true, 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.makeCnf << " line " << c.failLine);
        files.failCardManagerLine = c.failLine;
        files.failClose = c.failClose;
        ScriptedPresenter presenter;
        EXPECT_FALSE(run(withCnf(c.makeCnf), presenter));
        EXPECT_EQ(presenter.codes, std::vector<int>{c.code});
        EXPECT_EQ(readBytes(win("tuvex.ini")), golden(kTuvexGolden));
        // The lines before the failed one stay, nothing after it.
        const std::string full = golden(c.makeCnf ? kCnfGolden : kIniGolden);
        EXPECT_EQ(readBytes(prog(c.makeCnf ? "pelkor.cnf" : "pelkor.ini")),
                  c.failClose ? full : firstLines(full, c.failLine - 1));
    }
}

TEST_F(Finish, PathsThatCannotBeBuiltFailSilently)
{
    dirs.windowsDirectory.clear();
    ScriptedPresenter presenter;
    EXPECT_FALSE(run(withCnf(0), presenter));
    EXPECT_TRUE(presenter.codes.empty());
    EXPECT_TRUE(fs::is_empty(program));
}

}  // namespace
}  // namespace calveno::test
