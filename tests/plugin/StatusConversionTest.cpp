// Both conversion tables row by row, as the access manager sees them.

#include "PluginState.h"
#include "StatusConversion.h"

#include "FakePcsc.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

namespace ostrel {
namespace {

struct PcscCase {
    std::uint32_t result;
    DetailCode withWarningsAsSuccess;
    DetailCode withWarningsAsErrors;
};

void PrintTo(const PcscCase& row, std::ostream* os)
{
    *os << "0x" << std::hex << row.result;
}

class PcscToDetailRow : public ::testing::TestWithParam<PcscCase> {};

TEST_P(PcscToDetailRow, ConvertsWithEitherFlag)
{
    const PcscCase& row = GetParam();
    const auto result = static_cast<std::int32_t>(row.result);
    EXPECT_EQ(PcscToDetail(result, true), row.withWarningsAsSuccess);
    EXPECT_EQ(PcscToDetail(result, false), row.withWarningsAsErrors);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, PcscToDetailRow,
    ::testing::Values(
        PcscCase{0, 0, 0}, PcscCase{0x80100001, 21, 21}, PcscCase{0x80100002, 21, 21},
        PcscCase{0x80100003, 21, 21}, PcscCase{0x80100004, 21, 21}, PcscCase{0x80100005, 21, 21},
        PcscCase{0x80100006, 21, 21}, PcscCase{0x80100012, 21, 21}, PcscCase{0x80100016, 21, 21},
        PcscCase{0x80100013, 16, 16}, PcscCase{0x80100008, 15, 15}, PcscCase{0x80100007, 3, 3},
        PcscCase{0x8010000A, 3, 3}, PcscCase{0x80100010, 3, 3}, PcscCase{0x8010000B, 22, 22},
        PcscCase{0x8010000F, 24, 24}, PcscCase{0x80100011, 25, 25}, PcscCase{0x80100009, 18, 18},
        PcscCase{0x80100017, 17, 17}, PcscCase{0x8010001B, 18, 18}, PcscCase{0x80100018, 2, 2},
        PcscCase{0x80100019, 2, 2}, PcscCase{0x8010001A, 2, 2}, PcscCase{0x8010001D, 2, 2},
        PcscCase{0x8010001E, 2, 2}, PcscCase{0x8010000C, 26, 26}, PcscCase{1112, 26, 26},
        PcscCase{22, 27, 27}, PcscCase{122, 15, 15}, PcscCase{1785, 28, 28}, PcscCase{0x8010000E, 28, 28},
        PcscCase{0x8010000D, 28, 28}, PcscCase{0x8010001C, 28, 28},
        // Card warnings: success only when the caller asks for it.
        PcscCase{0x80100069, 0, 27}, PcscCase{0x80100067, 0, 27}, PcscCase{0x80100068, 0, 27},
        PcscCase{0x80100065, 0, 28}, PcscCase{0x80100066, 0, 28}, PcscCase{0x80100015, 0, 28},
        // Unknown error and values without a row.
        PcscCase{0x80100014, 20, 20}, PcscCase{0x8010002E, 20, 20}, PcscCase{0x8010001F, 20, 20},
        PcscCase{0x80100022, 20, 20}, PcscCase{1, 20, 20}, PcscCase{0xFFFFFFFF, 20, 20}));

TEST(PcscToDetail, ComparesAllThirtyTwoBits)
{
    // A 64-bit pcsc-lite code truncated the wrong way would match a system error row.
    EXPECT_EQ(PcscToDetail(static_cast<std::int32_t>(0x00100069u), true), 20);
    EXPECT_EQ(PcscToDetail(static_cast<std::int32_t>(0x80000458u), false), 20);
}

class SetLastStatusRow : public ::testing::TestWithParam<std::tuple<DetailCode, std::uint16_t>> {};

TEST_P(SetLastStatusRow, StoresStatusAndDetail)
{
    test::FakePcsc pcsc;
    PluginState state(pcsc);
    const auto [detail, status] = GetParam();
    EXPECT_EQ(state.SetLastStatus(detail), status);
    EXPECT_EQ(state.lastStatus(), status);
    EXPECT_EQ(state.lastDetail(), detail);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, SetLastStatusRow,
    ::testing::Values(std::tuple{0, 0x0000}, std::tuple{1, 0x4000}, std::tuple{2, 0x800A},
                      std::tuple{3, 0x0400}, std::tuple{4, 0x4000}, std::tuple{5, 0x800F},
                      std::tuple{10, 0x800C}, std::tuple{11, 0x800C}, std::tuple{14, 0x0008},
                      std::tuple{15, 0x0010}, std::tuple{16, 0x0200}, std::tuple{17, 0x0040},
                      std::tuple{18, 0x800C}, std::tuple{19, 0x800C}, std::tuple{20, 0x0001},
                      std::tuple{21, 0x0001}, std::tuple{22, 0x0004}, std::tuple{24, 0x0200},
                      std::tuple{25, 0x4000}, std::tuple{26, 0x0400}, std::tuple{28, 0x0400},
                      std::tuple{0x1000, 0x800A}));

class SetLastStatusWithoutRow : public ::testing::TestWithParam<DetailCode> {};

TEST_P(SetLastStatusWithoutRow, KeepsStatusButStoresDetail)
{
    test::FakePcsc pcsc;
    PluginState state(pcsc);
    state.SetLastStatus(3);
    ASSERT_EQ(state.lastStatus(), 0x0400);
    EXPECT_EQ(state.SetLastStatus(GetParam()), 0x0400);
    EXPECT_EQ(state.lastStatus(), 0x0400);
    EXPECT_EQ(state.lastDetail(), GetParam());
}

// 27 is the card change handled by reconnecting; the others are never produced.
INSTANTIATE_TEST_SUITE_P(CardChangeAndUnknown, SetLastStatusWithoutRow,
                         ::testing::Values(27, 6, 12, 23, 29, 0x0FFF, 0xFFFF));

}  // namespace
}  // namespace ostrel
