// The PC/SC calls each reader command costs, counted where they leave the process: the
// plug-in's logic over the pcsc-lite implementation over a stand-in of libpcsclite,
// with a reader driver that answers no card attribute (as Debian's vpcd does).

#include "PluginState.h"
#include "StubWinscard.h"
#include "pcsc/PcscLite.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

using test::stub;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kChannel = 1;

class CallCount : public ::testing::Test {
protected:
    void SetUp() override
    {
        stub.reset();
        const std::string reader = "Lecteur A 00 00";
        stub.data.assign(reader.begin(), reader.end());
        stub.data.insert(stub.data.end(), {0, 0});
        stub.defaults["SCardGetAttrib"] = SCARD_E_UNSUPPORTED_FEATURE;
        const std::string config = dir.write("tuvex.ini",
                                             "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\n"
                                             "Caracteristiques=Lecteur A 00 00\r\nIndex=1\r\n");
        ASSERT_EQ(state.ProInit(1, config.c_str(), 0), 0);
        ASSERT_EQ(state.ProConnect(3, kChannel, ""), 0);
        ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 0), 0);
        // A powered T=0 card, known and powered on: the steady state of a session.
        stub.data = {0x3F, 0x65, 0x25, 0x00, 0x2C, 0x09, 0x69, 0x90, 0x00};
        for (int i = 0; i < 2; ++i) ASSERT_EQ(exchange({0, 0, 0x16, 0}), 0);
        ASSERT_EQ(exchange({0, 0, 0x14, 0}), 0);
    }

    std::uint16_t exchange(const Bytes& request)
    {
        std::uint8_t response[300];
        std::uint32_t length = sizeof response;
        return state.ProExchange(3, kChannel, 0, 0, request.data(),
                                 static_cast<std::uint32_t>(request.size()), response, &length);
    }

    TempDir dir;
    pcsc::PcscLite pcsc;
    PluginState state{pcsc};
};

struct Command {
    const char* name;
    Bytes request;
    std::vector<std::string> calls;
};

class CallCountPerCommand : public CallCount, public ::testing::WithParamInterface<Command> {};

TEST_P(CallCountPerCommand, InTheSteadyState)
{
    const Command& c = GetParam();
    stub.calls.clear();
    ASSERT_EQ(exchange(c.request), 0);
    EXPECT_EQ(stub.calls, c.calls);
}

// The card reading's one status read also answers the refresh's poll and the
// power-on's ATR.
const char kStatus[] = "SCardStatus(0x5001, 33)";

INSTANTIATE_TEST_SUITE_P(Commands, CallCountPerCommand,
                         ::testing::Values(Command{"Presence", {0, 0, 0x16, 0}, {kStatus}},
                                           Command{"PowerOnOfAPoweredCard", {0, 0, 0x14, 0}, {kStatus}},
                                           Command{"Instruction",
                                                   {0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02},
                                                   {"SCardTransmit(0x5001, T0, 5)"}},
                                           Command{"Reset", {0, 0, 0x11, 0}, {kStatus}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ostrel
