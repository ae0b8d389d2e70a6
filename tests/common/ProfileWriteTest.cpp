#include "common/ProfileFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

using namespace std::string_literals;
using common::appendRawLine;
using common::writeProfileString;

TEST(ProfileWrite, NewFileAndAppendedSections)
{
    TempDir dir;
    std::string f = dir.file("new.ini");
    ASSERT_TRUE(writeProfileString("App", "key", "string", f.c_str()));
    EXPECT_EQ(TempDir::read(f), "[App]\r\nkey=string\r\n");

    std::string g = dir.file("empty-value.ini");
    ASSERT_TRUE(writeProfileString("App", "key", "", g.c_str()));
    EXPECT_EQ(TempDir::read(g), "[App]\r\nkey=\r\n");

    std::string h = dir.file("blocks.ini");
    for (auto [s, k, v] : {std::tuple{"App1", "key1", "string1"},
                           {"App1", "key2", "string2"},
                           {"App1", "key3", "string3"},
                           {"App2", "key4", "string4"},
                           {"App3", "key5", "string5"}})
        ASSERT_TRUE(writeProfileString(s, k, v, h.c_str()));
    EXPECT_EQ(TempDir::read(h),
              "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
              "[App3]\r\nkey5=string5\r\n");

    EXPECT_TRUE(writeProfileString("App1", "key2", nullptr, h.c_str()));
    EXPECT_TRUE(writeProfileString("App1", "key2", nullptr, h.c_str()));
    EXPECT_TRUE(writeProfileString("App1", nullptr, "string1", h.c_str()));
    EXPECT_TRUE(writeProfileString("App2", nullptr, nullptr, h.c_str()));
    EXPECT_TRUE(writeProfileString("App3", "key5", nullptr, h.c_str()));
    EXPECT_EQ(TempDir::read(h), "[App3]\r\n");
}

TEST(ProfileWrite, NamesLoseSpacesAndValuesStayVerbatim)
{
    TempDir dir;
    std::string f = dir.file("s.ini");
    ASSERT_TRUE(writeProfileString("   sec   ", "  key  ", " value ", f.c_str()));
    EXPECT_EQ(TempDir::read(f), "[sec]\r\nkey= value \r\n");

    std::string g = dir.write("r.ini", "[SectionName]\r\nTestKey=TestValue");
    ASSERT_TRUE(writeProfileString("SECTIONNAME", "TESTKEY", "TestValue2", g.c_str()));
    EXPECT_EQ(TempDir::read(g), "[SectionName]\r\nTestKey=TestValue2\r\n");

    // Replacement rewrites the line as key=value, keeping the key's spelling.
    std::string h = dir.write("sp.ini", "[S]\r\n  Key = old\r\nnext=1\r\n");
    ASSERT_TRUE(writeProfileString("s", "KEY", "new", h.c_str()));
    EXPECT_EQ(TempDir::read(h), "[S]\r\nKey=new\r\nnext=1\r\n");
}

TEST(ProfileWrite, NewKeysFollowTheLastKeyLine)
{
    TempDir dir;
    std::string f = dir.write("k.ini", "[S]\r\nb=value\r\na=value\r\n");
    for (const char* k : {"z", "b", "y", "a"}) ASSERT_TRUE(writeProfileString("S", k, "", f.c_str()));
    EXPECT_EQ(TempDir::read(f), "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n");

    std::string g = dir.write("c.ini", ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n");
    for (const char* k : {"z", ";x", "y", "a", "b"}) ASSERT_TRUE(writeProfileString("S", k, "", g.c_str()));
    EXPECT_EQ(TempDir::read(g), ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=\r\nz=\r\ny=\r\n;x=\r\n");

    // A key written to a section with no keys goes right under its header,
    // and blank lines before the next section stay below the new key.
    std::string h = dir.write("b.ini", "[A]\r\n\r\n[B]\r\nx=1\r\n\r\n");
    ASSERT_TRUE(writeProfileString("A", "k", "v", h.c_str()));
    ASSERT_TRUE(writeProfileString("B", "y", "2", h.c_str()));
    EXPECT_EQ(TempDir::read(h), "[A]\r\nk=v\r\n\r\n[B]\r\nx=1\r\ny=2\r\n\r\n");

    // A header at the very end without a line break gets one before the key.
    std::string e = dir.write("e.ini", "[A]");
    ASSERT_TRUE(writeProfileString("A", "k", "v", e.c_str()));
    EXPECT_EQ(TempDir::read(e), "[A]\r\nk=v\r\n");
}

TEST(ProfileWrite, DeletionKeepsCommentsAndOtherBytes)
{
    TempDir dir;
    std::string f = dir.write("d.ini", ";c0\r\n[S]\r\n;c1\r\n[T]\r\n;c2\r\n");
    ASSERT_TRUE(writeProfileString("S", nullptr, "", f.c_str()));
    ASSERT_TRUE(writeProfileString("T", nullptr, "", f.c_str()));
    EXPECT_EQ(TempDir::read(f), ";c0\r\n;c1\r\n;c2\r\n");

    std::string junk = "Data \0 before \0 first \0 section"s;
    std::string g = dir.write("j.ini", junk);
    ASSERT_TRUE(writeProfileString("section1", "key1", "string1", g.c_str()));
    EXPECT_EQ(TempDir::read(g), junk + "\r\n[section1]\r\nkey1=string1\r\n");

    std::string h = dir.write("bom.ini", "\xEF\xBB\xBF");
    ASSERT_TRUE(writeProfileString("S", "k", "v", h.c_str()));
    EXPECT_EQ(TempDir::read(h), "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n");

    // Windows-1252 bytes and LF-only lines elsewhere in the file are untouched.
    std::string m = dir.write("m.ini", "; Protocole Sant\xE9-Social\n[A]\nx=1\n[B]\r\n");
    ASSERT_TRUE(writeProfileString("A", "y", "2", m.c_str()));
    EXPECT_EQ(TempDir::read(m), "; Protocole Sant\xE9-Social\n[A]\nx=1\ny=2\r\n[B]\r\n");
}

TEST(ProfileWrite, RefusalsLeaveFilesAlone)
{
    TempDir dir;
    std::string f = dir.file("none.ini");
    EXPECT_FALSE(writeProfileString(nullptr, "key", "string", f.c_str()));
    EXPECT_FALSE(std::filesystem::exists(f));
    EXPECT_FALSE(writeProfileString(nullptr, nullptr, nullptr, f.c_str()));
    EXPECT_FALSE(writeProfileString("S", "k", "v", ""));
    EXPECT_FALSE(writeProfileString("S", "k", "v", nullptr));

    ASSERT_TRUE(writeProfileString("App", nullptr, "string", f.c_str()));
    EXPECT_EQ(std::filesystem::file_size(f), 0u) << "deleting from a missing file leaves an empty one";
    std::string g = dir.file("none2.ini");
    ASSERT_TRUE(writeProfileString("App", "key", nullptr, g.c_str()));
    EXPECT_EQ(std::filesystem::file_size(g), 0u);

    EXPECT_FALSE(writeProfileString("S", "k", "v", dir.path().string().c_str()));
    EXPECT_FALSE(writeProfileString("S", "k", "v", dir.file("no/such/dir.ini").c_str()));
    std::string notDir = dir.write("plain", "x");
    EXPECT_FALSE(writeProfileString("S", "k", "v", (notDir + "/child.ini").c_str()));

    std::string ro = dir.write("ro.ini", "[S]\r\nk=old\r\n");
    ::chmod(ro.c_str(), 0444);
    EXPECT_FALSE(writeProfileString("S", "k", "new", ro.c_str()));
    EXPECT_EQ(TempDir::read(ro), "[S]\r\nk=old\r\n");

    // No temporary file is left behind by any of the writes above.
    int count = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++count;
    }
    EXPECT_EQ(count, 4) << "none.ini, none2.ini, plain and ro.ini only";
}

#ifndef _WIN32
// POSIX permission bits and symbolic links: Windows files have neither here.
TEST(ProfileWrite, ReplacementKeepsPermissions)
{
    TempDir dir;
    std::string f = dir.write("p.ini", "[S]\r\nk=1\r\n");
    ::chmod(f.c_str(), 0640);
    ASSERT_TRUE(writeProfileString("S", "k", "2", f.c_str()));
    struct stat st {};
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
#endif

TEST(AppendRawLine, AppendsTextAndCrLf)
{
    TempDir dir;
    std::string f = dir.file("a.ini");
    EXPECT_TRUE(appendRawLine(f.c_str(), "; Protocole Sant\xE9-Social"));
    EXPECT_TRUE(appendRawLine(f.c_str(), ""));
    ASSERT_TRUE(writeProfileString("CONFIG", "NbCanaux", "1", f.c_str()));
    EXPECT_TRUE(appendRawLine(f.c_str(), ""));
    EXPECT_EQ(TempDir::read(f), "; Protocole Sant\xE9-Social\r\n\r\n[CONFIG]\r\nNbCanaux=1\r\n\r\n");

    EXPECT_FALSE(appendRawLine(dir.path().string().c_str(), "x"));
    EXPECT_FALSE(appendRawLine(dir.file("missing/a.ini").c_str(), "x"));
    EXPECT_FALSE(appendRawLine(nullptr, "x"));
}

#ifndef _WIN32
TEST(ProfileWrite, SymbolicLinkIsFollowedAndKept)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    std::string target = dir.write("real/tuvex.ini", "[S]\r\nk=1\r\n");
    std::string link = dir.file("tuvex.ini");
    std::filesystem::create_symlink("real/tuvex.ini", link);

    ASSERT_TRUE(appendRawLine(link.c_str(), "; note"));
    ASSERT_TRUE(writeProfileString("S", "k", "2", link.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(TempDir::read(target), "[S]\r\nk=2\r\n; note\r\n");
}
#endif

TEST(AppendRawLine, ReadOnlyFileIsRefused)
{
    TempDir dir;
    std::string ro = dir.write("ro.ini", "x\r\n");
    ::chmod(ro.c_str(), 0444);
    EXPECT_FALSE(appendRawLine(ro.c_str(), "y"));
    EXPECT_EQ(TempDir::read(ro), "x\r\n");
}
