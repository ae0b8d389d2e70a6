#include "common/ProfileFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;
using common::getProfileInt;
using common::getProfileString;

namespace {

const std::string kF1 = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";

struct Result {
    std::uint32_t n;
    std::string bytes;  // the buffer up to the returned length + 2, so a stray write shows
};

Result get(const std::string& path, const char* section, const char* key, const char* def,
           std::uint32_t size = 260)
{
    std::vector<char> buf(size + 4, '#');
    std::uint32_t n = getProfileString(section, key, def, buf.data(), size, path.c_str());
    return {n, std::string(buf.data(), std::min<std::size_t>(n + 2, buf.size()))};
}

std::string value(const std::string& path, const char* section, const char* key, const char* def = "d")
{
    char buf[512];
    std::uint32_t n = getProfileString(section, key, def, buf, sizeof buf, path.c_str());
    return std::string(buf, n);
}

}  // namespace

TEST(ProfileRead, PlatformVectorsOnBothLineEndings)
{
    TempDir dir;
    std::string cr = kF1;
    for (std::size_t p; (p = cr.find("\r\n")) != std::string::npos;) cr.erase(p + 1, 1);
    for (const std::string& content : {kF1, cr}) {
        SCOPED_TRACE(content.size());
        std::string f = dir.write("f1.ini", content);
        EXPECT_EQ(value(f, "section1", "name1"), "val1");
        EXPECT_EQ(value(f, "section1", "NaMe1"), "val1");
        EXPECT_EQ(value(f, "SECTION1", "name2"), "val2");
        EXPECT_EQ(value(f, "section1", "name3"), "d") << "a line without '=' is not a key";

        Result r = get(f, "section1", "name1", "default", 4);
        EXPECT_EQ(r.n, 3u);
        EXPECT_EQ(r.bytes.substr(0, 4), std::string("val\0", 4));
        EXPECT_EQ(get(f, "section1", "name1", "default", 5).n, 4u);
        r = get(f, "section1", "name4", "default", 1);
        EXPECT_EQ(r.n, 0u);
        EXPECT_EQ(r.bytes[0], '\0');

        r = get(f, nullptr, "name1", "default");
        EXPECT_EQ(r.n, 18u);
        EXPECT_EQ(r.bytes, "section1\0section2\0\0#"s);
        r = get(f, nullptr, "name1", "default", 16);
        EXPECT_EQ(r.n, 14u);
        EXPECT_EQ(r.bytes, std::string("section1\0secti\0\0", 16));
        r = get(f, "section1", nullptr, "default");
        EXPECT_EQ(r.n, 18u);
        EXPECT_EQ(r.bytes, "name1\0name2\0name4\0\0#"s);
        r = get(f, "section1", nullptr, "default", 16);
        EXPECT_EQ(r.n, 14u);
        EXPECT_EQ(r.bytes, std::string("name1\0name2\0na\0\0", 16));
    }
}

TEST(ProfileRead, SizeZeroLeavesBufferUntouched)
{
    TempDir dir;
    std::string f = dir.write("f1.ini", kF1);
    char buf[4] = {'x', 'y', 'z', 'w'};
    EXPECT_EQ(getProfileString("section1", "name1", "default", buf, 0, f.c_str()), 0u);
    EXPECT_EQ(std::string(buf, 4), "xyzw");
    EXPECT_EQ(getProfileString("section1", "name1", "default", nullptr, 10, f.c_str()), 0u);
}

TEST(ProfileRead, DefaultLosesTrailingSpacesOnly)
{
    TempDir dir;
    std::string f = dir.write("f1.ini", kF1);
    Result r = get(f, "section1", "notakey", "default  ");
    EXPECT_EQ(r.n, 7u);
    EXPECT_EQ(r.bytes.substr(0, 8), std::string("default\0", 8));
    EXPECT_EQ(value(f, "", "name1", "one two  "), "one two");
    EXPECT_EQ(value(f, "section1", "notakey", "   default    "), "   default");
    EXPECT_EQ(value(f, "section1", "notakey", "\tdef\t"), "\tdef\t");
    EXPECT_EQ(get(f, "section1", "notakey", nullptr).n, 0u);
    EXPECT_EQ(value(dir.file("missing.ini"), "section1", "name1", "default"), "default");
    EXPECT_EQ(get(dir.file("missing.ini"), nullptr, nullptr, "x").n, 0u);
}

TEST(ProfileRead, BlanksQuotesAndHeaders)
{
    TempDir dir;
    struct Case {
        const char* content;
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"[s]\r\nk=  \"   v   \"  \r\n", "s", "k", "   v   "},
        {"[s]\r\nk=  \"   v   '  \r\n", "s", "k", "\"   v   '"},
        {"[s]\r\nk='\"v\"'\r\n", "s", "k", "\"v\""},
        {"[s]\r\nk=\"\r\n", "s", "k", "\""},
        {"[s]\r\nk=\t v \x0b\r\n", "s", "k", "v"},
        {"  [ x ]\r\n  k  =v\r\n", "x", "k", "v"},
        {"  [ x ]\r\n  k  =v\r\n", "  x  ", "  k  ", "v"},
        {"  [ x ]\r\n  k  =v\r\n", "\tx", "k", "d"},
        {"[sec]whoops]\r\nk=v\r\n", "sec", "k", "v"},
        {"[sec]whoops]\r\nk=v\r\n", "sec]whoops", "k", "d"},
        {"[S]k=v\r\n", "S", "k", "d"},
        {"[S   \r\nk=v\r\n", "S", "k", "v"},
        {"S]\r\nk=v\r\n", "S", "k", "d"},
        {"k=v\r\n[S]\r\nk2=v2\r\n", "", "k", "d"},
        {"[]\r\nk=v\r\n", "", "k", "v"},
        {"[S]\r\n;k=v\r\nk2=v2\r\n", "S", ";k", "d"},
        {"[S]\r\n ;k=v\r\n", "S", "k", "d"},
        {"[S]\r\nk=;x\r\n#h=1\r\n", "S", "k", ";x"},
        {"[S]\r\nk=;x\r\n#h=1\r\n", "S", "#h", "1"},
        {"[S]\r\nk=a ;b\r\n", "S", "k", "a ;b"},
        {"[S]\r\nk=1\r\nk=2", "S", "k", "1"},
        {"[S]\r\n[S]\r\nk=v", "S", "k", "d"},
        {"[s]\r\n=val_no_key\r\n", "s", "", "val_no_key"},
        {"[s]\nk=a=b\n", "s", "k", "a=b"},
        {"[Sant\xE9]\r\ncl\xE9=\xE9t\xE9\r\n", "SANT\xC9", "CL\xC9", "\xE9t\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        std::string f = dir.write("t.ini", c.content);
        EXPECT_EQ(value(f, c.section, c.key), c.expected);
    }
    std::string f = dir.write("t.ini", "[S]\r\n;k=v\r\nk2=v2\r\n");
    Result r = get(f, "S", nullptr, "d", 1000);
    EXPECT_EQ(r.n, 3u);
    EXPECT_EQ(r.bytes, "k2\0\0#"s);
}

TEST(ProfileRead, HostileFilesGiveDefinedResults)
{
    TempDir dir;
    // A directory where a file is expected, binary bytes, a header without ']'
    // and a very long line must neither crash nor overread.
    EXPECT_EQ(value(dir.path().string(), "S", "k"), "d");

    const std::string binary = "[S]\r\nk=a\0b\r\n\0\xff\xfe[T]\r\nk=2\r\n"s;
    std::string f = dir.write("bin.ini", binary);
    EXPECT_EQ(value(f, "S", "k"), std::string("a\0b", 3));
    EXPECT_EQ(value(f, "T", "k"), "d") << "the header is not at the start of its line";

    std::string longLine = "[S]\r\nk=" + std::string(200000, 'x') + "\r\nz=1\r\n";
    f = dir.write("long.ini", longLine);
    char small[16];
    EXPECT_EQ(getProfileString("S", "k", "", small, sizeof small, f.c_str()), 15u);
    EXPECT_EQ(std::string(small), std::string(15, 'x'));
    EXPECT_EQ(getProfileInt("S", "z", 7, f.c_str()), 1u);
    EXPECT_EQ(common::readProfileString(f, "S", "k", "?", 254).size(), 254u);

    f = dir.write("lf.ini", "[Test]\nProfileInt=123\n");
    EXPECT_EQ(getProfileInt("Test", "ProfileInt", 0, f.c_str()), 123u);
}

TEST(ProfileRead, IntegersWrapAndStopAtFirstNonDigit)
{
    TempDir dir;
    struct Case {
        const char* text;
        std::uint32_t withDefaultMinus1;
    } cases[] = {
        {"-1", 4294967295u},  {"1", 1u},           {"+1", 1u},
        {"4294967296", 0u},   {"4294967297", 1u},  {"-4294967297", 4294967295u},
        {"42A94967297", 42u}, {"B4294967297", 0u}, {"abc", 0u},
        {"102abc", 102u},     {"0x1A", 26u},       {"010", 10u},
        {"0b101", 5u},        {"0o17", 15u},       {"\"7\"", 7u},
        {" 300 ", 300u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string f = dir.file("int.ini");
        std::remove(f.c_str());
        ASSERT_TRUE(common::writeProfileString("Test", "ProfileInt", c.text, f.c_str()));
        EXPECT_EQ(getProfileInt("Test", "ProfileInt", -1, f.c_str()), c.withDefaultMinus1);
        EXPECT_EQ(getProfileInt("test", "profileint", 1, f.c_str()), c.withDefaultMinus1);
    }
    std::string f = dir.write("e.ini", "[s]\r\nb=\r\n");
    EXPECT_EQ(getProfileInt("s", "b", 7, f.c_str()), 7u) << "an empty value counts as missing";
    EXPECT_EQ(getProfileInt("s", "nokey", -1, f.c_str()), 4294967295u);
    EXPECT_EQ(getProfileInt("Test", "ProfileInt", 1, dir.file("none.ini").c_str()), 1u);
}
