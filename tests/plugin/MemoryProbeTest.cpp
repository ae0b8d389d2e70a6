// The probes that keep bad pointers from the access manager from faulting the plug-in.

#include "MemoryProbe.h"

#include "GuardedPages.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <vector>

namespace ostrel {
namespace {

using test::GuardedPages;

TEST(MemoryProbe, RangeEndingAtAHoleIsUsableOneByteMoreIsNot)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_TRUE(isReadable(pages.tail(64), 64));
    EXPECT_TRUE(isWritable(pages.tail(64), 64));
    EXPECT_FALSE(isReadable(pages.tail(64), 65));
    EXPECT_FALSE(isWritable(pages.tail(64), 65));
    EXPECT_FALSE(isReadable(pages.noAccess(), 1));
}

TEST(MemoryProbe, ReadOnlyPageIsReadableButNotWritable)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_TRUE(isReadable(pages.readOnly(), 16));
    EXPECT_FALSE(isWritable(pages.readOnly(), 16));
}

TEST(MemoryProbe, WritableCheckLeavesTheBytesAsTheyWere)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    std::uint8_t* area = pages.tail(300);
    for (int i = 0; i < 300; ++i) area[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(isWritable(area, 300));
    for (int i = 0; i < 300; ++i) ASSERT_EQ(area[i], static_cast<std::uint8_t>(i * 7));
}

TEST(MemoryProbe, EmptyRangesNullAndWrappingRanges)
{
    EXPECT_TRUE(isReadable(nullptr, 0));
    EXPECT_FALSE(isReadable(nullptr, 1));
    EXPECT_FALSE(isWritable(nullptr, 4));
    char byte = 0;
    EXPECT_FALSE(isReadable(&byte, static_cast<std::size_t>(-1)));
}

TEST(MemoryProbe, RangeSpanningManyPagesIsCheckedPageByPage)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    std::vector<std::uint8_t> large(5 * pages.pageSize() + 3);
    EXPECT_TRUE(isWritable(large.data(), large.size()));
    // From inside the usable page across the hole into the read-only page.
    EXPECT_FALSE(isReadable(pages.tail(1), 2 * pages.pageSize()));
}

TEST(MemoryProbe, SeveralAreasAnswerTogetherAndTheFirstCanBeCopied)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    std::uint32_t cell = 300;
    std::uint32_t copy = 0;
    EXPECT_TRUE(isReadable({{&cell, sizeof cell}, {pages.tail(64), 64}}, &copy, sizeof copy));
    EXPECT_EQ(copy, 300u);
    copy = 0;
    EXPECT_FALSE(isReadable({{&cell, sizeof cell}, {pages.tail(64), 65}}, &copy, sizeof copy));
    EXPECT_FALSE(isReadable({{pages.noAccess(), sizeof copy}}, &copy, sizeof copy));
    EXPECT_FALSE(isReadable({{&cell, 2}}, &copy, sizeof copy)) << "a copy longer than its area";
    EXPECT_TRUE(isWritable({{&cell, sizeof cell}, {pages.tail(64), 64}, {nullptr, 0}}));
    EXPECT_FALSE(isWritable({{&cell, sizeof cell}, {pages.readOnly(), 1}}));
    EXPECT_FALSE(isWritable({{pages.readOnly(), 1}, {&cell, sizeof cell}}));
    EXPECT_EQ(cell, 300u);
    // More pages than one call of the kernel takes.
    std::vector<std::uint8_t> large(200 * pages.pageSize());
    EXPECT_TRUE(isWritable({{large.data(), large.size()}, {&cell, sizeof cell}}));
    EXPECT_FALSE(isReadable({{large.data(), large.size()}, {pages.tail(1), 2}}));
}

#ifndef _WIN32
// Windows has no fork: the cached process id is a Linux matter.
TEST(MemoryProbe, AForkedChildProbesItsOwnMemory)
{
    // The process id is kept between probes; a child must not probe its parent.
    const long size = sysconf(_SC_PAGESIZE);
    void* page = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(page, MAP_FAILED);
    ASSERT_TRUE(isReadable(page, 1));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        munmap(page, static_cast<std::size_t>(size));
        _exit(isReadable(page, 1) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child read its parent's page";
    munmap(page, static_cast<std::size_t>(size));
}
#endif

TEST(MemoryProbe, TextMustBeTerminatedBeforeAnyHole)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_TRUE(isReadableText("tuvex.ini"));
    EXPECT_FALSE(isReadableText(nullptr));
    char* text = reinterpret_cast<char*>(pages.tail(4));
    std::memcpy(text, "abc", 4);
    EXPECT_TRUE(isReadableText(text));
    std::memcpy(text, "abcd", 4);
    EXPECT_FALSE(isReadableText(text));
    EXPECT_FALSE(isReadableText(reinterpret_cast<char*>(pages.noAccess())));
}

}  // namespace
}  // namespace ostrel
