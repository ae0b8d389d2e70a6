// The system file operations behind the Finish step: the archive copy never
// replaces a target and never leaves half a file behind.

#include "FileOperations.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace calveno::test {
namespace {

namespace fs = std::filesystem;

TEST(SystemCopy, CopiesBytesAndRefusesAnExistingTarget)
{
    TempDir tmp;
    SystemFileOperations files;
    const std::string content = std::string("[CONFIG]\r\nNbCanaux=1\r\n\xE9\0end", 27);
    writeBytes(tmp.path() / "from", content);

    ASSERT_TRUE(files.copy(tmp.file("from"), tmp.file("to")));
    EXPECT_EQ(readBytes(tmp.path() / "to"), content);

    writeBytes(tmp.path() / "to", "kept");
    EXPECT_FALSE(files.copy(tmp.file("from"), tmp.file("to")));
    EXPECT_EQ(readBytes(tmp.path() / "to"), "kept");

    EXPECT_FALSE(files.copy(tmp.file("missing"), tmp.file("to2")));
    EXPECT_FALSE(fs::exists(tmp.path() / "to2"));
    EXPECT_FALSE(files.copy(tmp.subdir("dir").string(), tmp.file("to3")));
    EXPECT_FALSE(fs::exists(tmp.path() / "to3"));
}

#ifndef _WIN32
// A file-size limit makes the target's writes fail part-way, as a full disk
// would: the copy fails and removes what it had written.
TEST(SystemCopy, FailedCopyLeavesNoPartialTarget)
{
    TempDir tmp;
    SystemFileOperations files;
    writeBytes(tmp.path() / "from", std::string(64 * 1024, 'x'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool copied = files.copy(tmp.file("from"), tmp.file("to"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(copied);
    EXPECT_FALSE(fs::exists(tmp.path() / "to"));
}
#endif

}  // namespace
}  // namespace calveno::test
