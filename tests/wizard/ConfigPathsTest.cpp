// File locations and the start-up overwrite warning.

#include "ConfigPaths.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace calveno::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

struct PathsFixture : ::testing::Test {
    TempDir tmp;
    fs::path windows = tmp.subdir("windows");
    fs::path program = tmp.subdir("program");
    Directories dirs{windows.string(), program.string() + kSeparator};
    SystemFileOperations files;
};

TEST_F(PathsFixture, FilesGoToTheirDirectories)
{
    ConfigPaths paths;
    ASSERT_TRUE(buildPaths(dirs, files, paths));
    EXPECT_EQ(paths.tuvexIni, (windows / "tuvex.ini").string());
    EXPECT_EQ(paths.pelkorCnf, (program / "pelkor.cnf").string());
    EXPECT_EQ(paths.pelkorIni, (program / "pelkor.ini").string());
    EXPECT_EQ(paths.archiveTuvexIni, (program / "archive-tuvex.ini").string());
    EXPECT_EQ(paths.archivePelkorCnf, (program / "archive-pelkor.cnf").string());
    EXPECT_EQ(paths.archivePelkorIni, (program / "archive-pelkor.ini").string());
}

TEST_F(PathsFixture, PelkorIniStaysWhereItIsFound)
{
    ConfigPaths paths;
    writeBytes(windows / "pelkor.ini", "w");
    ASSERT_TRUE(buildPaths(dirs, files, paths));
    EXPECT_EQ(paths.pelkorIni, (windows / "pelkor.ini").string());

    writeBytes(program / "pelkor.ini", "p");
    ASSERT_TRUE(buildPaths(dirs, files, paths));
    EXPECT_EQ(paths.pelkorIni, (program / "pelkor.ini").string());

    // A directory of that name is not a file that can be opened.
    fs::remove(program / "pelkor.ini");
    fs::remove(windows / "pelkor.ini");
    fs::create_directory(windows / "pelkor.ini");
    ASSERT_TRUE(buildPaths(dirs, files, paths));
    EXPECT_EQ(paths.pelkorIni, (program / "pelkor.ini").string());
}

TEST_F(PathsFixture, RefusesMissingOrOverlongDirectories)
{
    ConfigPaths paths;
    EXPECT_FALSE(buildPaths({"", dirs.programDirectory}, files, paths));
    EXPECT_FALSE(buildPaths({dirs.windowsDirectory, ""}, files, paths));
    EXPECT_FALSE(buildPaths({"/" + std::string(260, 'w'), dirs.programDirectory}, files, paths));
    // The directory fits, the file name then does not.
    EXPECT_FALSE(buildPaths({"/" + std::string(255, 'w'), dirs.programDirectory}, files, paths));
    EXPECT_FALSE(buildPaths({dirs.windowsDirectory, "/" + std::string(245, 'p')}, files, paths));
    EXPECT_TRUE(paths.tuvexIni.empty());
    // 260 characters exactly still fit.
    const std::string fits = "/" + std::string(259 - std::string("/archive-pelkor.cnf").size(), 'p');
    EXPECT_TRUE(buildPaths({dirs.windowsDirectory, fits}, files, paths));
    EXPECT_EQ(paths.archivePelkorCnf.size(), 260u);
}

#ifdef _WIN32
TEST(ConfigPaths, ComposeAddsOneSeparator)
{
    EXPECT_EQ(composePath("C:\\WINDOWS", "tuvex.ini"), "C:\\WINDOWS\\tuvex.ini");
    EXPECT_EQ(composePath("C:\\WINDOWS\\", "tuvex.ini"), "C:\\WINDOWS\\tuvex.ini");
    // Windows takes either separator: one already there is not doubled.
    EXPECT_EQ(composePath("C:/WINDOWS/", "tuvex.ini"), "C:/WINDOWS/tuvex.ini");
}

TEST(ConfigPaths, ProgramDirectoryIsAbsoluteWithSeparator)
{
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(programDirectoryFromArgv0("bin\\calveno.exe"), cwd + "\\bin\\");
    EXPECT_EQ(programDirectoryFromArgv0("C:\\calveno\\calveno-batch.exe"), "C:\\calveno\\");
    EXPECT_EQ(programDirectoryFromArgv0("calveno.exe"), cwd + "\\");
    EXPECT_EQ(programDirectoryFromArgv0(""), "");
}

TEST(ConfigPaths, PlatformDirectoriesAreTheRunningSystems)
{
    // The module's own directory, whatever argument 0 says.
    char module[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, MAX_PATH + 1), 0u);
    EXPECT_EQ(platformProgramDirectory(), fs::path(module).parent_path().string() + "\\");
    EXPECT_EQ(cardManagerDirectory("C:\\calveno\\"), "C:\\calveno\\");
    char windowsDir[MAX_PATH + 1] = {};
    ASSERT_GT(GetWindowsDirectoryA(windowsDir, MAX_PATH + 1), 0u);
    EXPECT_EQ(platformWindowsDirectory(), windowsDir);
    EXPECT_TRUE(fs::is_directory(platformWindowsDirectory()));
}
#else
TEST(ConfigPaths, ComposeAddsOneSeparator)
{
    EXPECT_EQ(composePath("/etc", "tuvex.ini"), "/etc/tuvex.ini");
    EXPECT_EQ(composePath("/etc/", "tuvex.ini"), "/etc/tuvex.ini");
}

TEST(ConfigPaths, ProgramDirectoryIsAbsoluteWithSeparator)
{
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(programDirectoryFromArgv0("bin/calveno"), cwd + "/bin/");
    EXPECT_EQ(programDirectoryFromArgv0("/opt/calveno/calveno-batch"), "/opt/calveno/");
    EXPECT_EQ(programDirectoryFromArgv0("calveno"), cwd + "/");
    EXPECT_EQ(programDirectoryFromArgv0(""), "");
}

// The program's folder is the executable's, wherever the current folder is.
TEST(ConfigPaths, ProgramDirectoryIsTheExecutablesNotTheCurrentFolder)
{
    TempDir tmp;
    const fs::path before = fs::current_path();
    fs::current_path(tmp.path());
    const std::string directory = platformProgramDirectory();
    fs::current_path(before);
    EXPECT_EQ(directory, fs::canonical("/proc/self/exe").parent_path().string() + "/");
    EXPECT_NE(directory, tmp.path().string() + "/");
}

// Beside the program in a build tree or any folder of its own; the build-time
// folder once the program sits in an installed layout, never under the prefix.
TEST(ConfigPaths, CardManagerFilesLeaveAnInstalledPrefix)
{
    TempDir tmp;
    const std::string build = tmp.subdir("build/bin").string() + "/";
    const std::string prefix = tmp.subdir("usr/bin").string() + "/";
    fs::create_directories(fs::path(prefix) / TOOLKIT_INSTALLED_MARKER);
    // bin/ alone, or the private folder as a file: not an installed layout.
    const std::string fileOnly = tmp.subdir("other/bin").string() + "/";
    fs::create_directories((fs::path(fileOnly) / TOOLKIT_INSTALLED_MARKER).parent_path());
    std::ofstream(fs::path(fileOnly) / TOOLKIT_INSTALLED_MARKER) << "";
    struct Case {
        std::string program;
        std::string expected;
    };
    const Case cases[] = {
        {build, build},
        {prefix, std::string(TOOLKIT_CARD_MANAGER_DIR) + "/"},
        {fileOnly, fileOnly},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(cardManagerDirectory(c.program), c.expected) << c.program;
    EXPECT_EQ(installedCardManagerDirectory(), std::string(TOOLKIT_CARD_MANAGER_DIR) + "/");
    EXPECT_EQ(cardManagerDirectoryText().find(TOOLKIT_CARD_MANAGER_DIR), 0u);
}
#endif

TEST_F(PathsFixture, OverwriteWarningOnlyWhenFilesWouldBeReplaced)
{
    struct Case {
        bool tuvex, cnf, ini;
        bool warns;
    };
    const Case cases[] = {
        {false, false, false, false}, {false, true, false, false}, {false, false, true, false},
        {false, true, true, true},    {true, false, false, true},  {true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tuvex << c.cnf << c.ini);
        for (const auto& [name, present] : {std::pair{windows / "tuvex.ini", c.tuvex},
                                            {program / "pelkor.cnf", c.cnf},
                                            {program / "pelkor.ini", c.ini}}) {
            fs::remove(name);
            if (present) writeBytes(name, "old");
        }
        ConfigPaths paths;
        ASSERT_TRUE(buildPaths(dirs, files, paths));
        for (const MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Cancel}) {
            ScriptedPresenter presenter({answer});
            const bool goOn = overwriteWarning(paths, files, presenter);
            EXPECT_EQ(goOn, !c.warns || answer == MessageAnswer::Ok);
            EXPECT_EQ(presenter.codes, c.warns ? std::vector<int>{43} : std::vector<int>{});
        }
    }
}

}  // namespace
}  // namespace calveno::test
