// The PC/SC service stopping under a held card: every command answers the converted
// failure and never a state it did not just read; after the service is back, the
// access manager's disconnection and connection give a working channel again.

#include "PluginBench.h"

#include <string>

namespace ostrel {
namespace {

using test::kAtrT0;
using test::kChannel;
using Bytes = std::vector<std::uint8_t>;

struct Loss {
    const char* name;
    std::int32_t result;
    std::uint16_t status;
    std::uint32_t detail;
};

const Loss kLosses[] = {
    {"NoService", pcsc::kNoService, 0x800A, 2},
    {"ServiceStopped", pcsc::kServiceStopped, 0x800A, 2},
    {"HandleForgotten", pcsc::kInvalidHandle, 0x0001, 21},
};

class ServiceLoss : public test::PluginBench, public ::testing::WithParamInterface<Loss> {
protected:
    // A powered T=0 card held exclusively (state 3, counter 3), then the service goes.
    void poweredCardThenServiceGone(bool heldDirectly)
    {
        cardIn(kAtrT0, true);
        connectWithCard();
        if (heldDirectly) {
            pcsc.queue("Connect", test::fail(pcsc::kSharingViolation));
            pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
        }
        ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
        pcsc.setDefault("Status", test::bytes(kAtrT0));
        if (!heldDirectly) {
            ASSERT_EQ(exchange({0, 1, 0x14, 0}).bytes()[1], kCardPowered);
        }
        const test::Reply gone = test::fail(GetParam().result);
        for (const char* operation : {"Status", "GetStatusChange", "TransmitT0", "Reconnect", "Connect",
                                      "BeginTransaction", "EndTransaction", "Disconnect", "ReleaseContext"})
            pcsc.setDefault(operation, gone);
        for (std::uint32_t id : {kAttrCardPresence, kAttrInterfaceStatus, kAttrAtr, kAttrCardTypePerAtr})
            pcsc.setDefault(test::FakePcsc::attribute(id), gone);
        pcsc.calls.clear();
    }
    // The service started again: it knows nothing of the old contexts and handles.
    void serviceBack()
    {
        pcsc = test::FakePcsc{};
        pcsc.setDefault("ListReaderGroups", test::names({"SCard$DefaultReaders"}));
        pcsc.setDefault("ListReaders", test::names({test::kReader}));
        pcsc.setDefault("GetStatusChange", test::polled(pcsc::kStatePresent));
        pcsc.setDefault("Status", test::bytes(kAtrT0));
        cardIn(kAtrT0, true);
    }
};

TEST_P(ServiceLoss, EveryCommandAnswersTheConvertedFailureAndNoState)
{
    const Loss& c = GetParam();
    for (const bool heldDirectly : {false, true}) {
        SCOPED_TRACE(heldDirectly ? "held directly" : "held exclusively");
        poweredCardThenServiceGone(heldDirectly);
        const std::uint8_t counter = channel().cardCounter;
        for (const Bytes& request : {Bytes{0, 1, 0x16, 0}, Bytes{0, 1, 0x14, 0}, Bytes{0, 0, 0x11, 0},
                                     Bytes{0, 1, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02}}) {
            const test::Answer answer = exchange(request);
            EXPECT_EQ(answer.status, c.status) << test::hex(request.data(), request.size());
            EXPECT_EQ(state.lastDetail(), c.detail);
            EXPECT_TRUE(answer.untouched(300)) << "no card state it did not read";
        }
        EXPECT_EQ(channel().cardCounter, counter) << "nothing read, nothing changed";
        state.ProTermin();
        serviceBack();
        ASSERT_EQ(state.ProInit(1, dir.file("tuvex.ini").c_str(), 0), 0);
    }
}

TEST_P(ServiceLoss, DisconnectionForgetsTheDeadContextAndConnectionStartsAgain)
{
    const Loss& c = GetParam();
    poweredCardThenServiceGone(false);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), c.status) << "the release's failure is still told";
    EXPECT_EQ(state.connectedFlags()[kChannel], 0);
    EXPECT_EQ(channel().context, 0u);

    serviceBack();
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0);
    EXPECT_EQ(pcsc.calls.front(), "EstablishContext(2)");
    EXPECT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(exchange({0, 1, 0x16, 0}).status, 0);
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_TRUE(nothingOpen());
}

INSTANTIATE_TEST_SUITE_P(Results, ServiceLoss, ::testing::ValuesIn(kLosses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ostrel
