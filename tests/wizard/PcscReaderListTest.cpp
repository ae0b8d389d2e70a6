// Reading the PC/SC service's multi-string and sorting the reader names.

#include "PcscReaderList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calveno {
namespace {

using Names = std::vector<std::string>;

TEST(PcscReaderList, ParsesTheMultiString)
{
    struct Case {
        const char* label;
        std::string buffer;
        Names expected;
    };
    const Case cases[] = {
        {"two names",
         std::string("Reader A 00 00\0Reader B 01 00\0\0", 31),
         {"Reader A 00 00", "Reader B 01 00"}},
        {"one name", std::string("Reader A\0\0", 10), {"Reader A"}},
        {"empty list", std::string("\0\0", 2), {}},
        {"nothing", std::string(), {}},
        // A first name of two characters or fewer means no real reader.
        {"short first name", std::string("AB\0Reader B\0\0", 13), {}},
        {"three characters", std::string("ABC\0XY\0\0", 8), {"ABC", "XY"}},
        {"no final zeros", std::string("Reader A\0Reader", 15), {"Reader A", "Reader"}},
        {"bytes kept", std::string("Lecteur \xe9t\xc3\xa9\0\0", 13), {"Lecteur \xe9t\xc3\xa9"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseReaderMultiString(c.buffer.data(), c.buffer.size()), c.expected) << c.label;
    EXPECT_EQ(parseReaderMultiString(nullptr, 10), Names{});
}

TEST(PcscReaderList, SortsWithoutRegardToCase)
{
    EXPECT_EQ(sortedReaderNames({"reader b", "Reader C", "READER A", "Reader a", "Alpha"}),
              (Names{"Alpha", "READER A", "Reader a", "reader b", "Reader C"}));
}

TEST(PcscReaderList, FixedSourceGivesItsList)
{
    FixedPcscReaderSource source({"Z", "Y"});
    EXPECT_EQ(source.listReaders(), (Names{"Z", "Y"}));
    source.names.clear();
    EXPECT_TRUE(source.listReaders().empty());
}

}  // namespace
}  // namespace calveno
