// The whole life of one channel as the access manager drives it: a reader without a
// card, exclusivity in direct mode, a card inserted, powered, used, pulled during an
// instruction, another card, power-off with both removal modes, and the way out. Every
// response is checked byte for byte, and nothing of the PC/SC service stays open.

#include "PluginBench.h"

namespace ostrel {
namespace {

using test::Answer;
using test::FakePcsc;
using test::kAtrOther;
using test::kAtrT0;
using test::kChannel;

using Bytes = std::vector<std::uint8_t>;

Bytes withAtr(Bytes head, const Bytes& atr)
{
    head.insert(head.end(), atr.begin(), atr.end());
    return head;
}

class Road : public test::PluginBench {};

TEST_F(Road, ReaderWithoutCardThroughTwoCardsToTermination)
{
    // ProConnect: no card for the shared test connection, the direct one stands.
    cardOut();
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    pcsc.setDefault(FakePcsc::attribute(kAttrMaximumClock), test::number(4000));
    ASSERT_EQ(state.ProConnect(3, kChannel, ""), 0);
    EXPECT_EQ(pcsc.callsOf("Connect"),
              (std::vector<std::string>{"Connect(0x100, \"Reader A 00 00\", 2, 3)",
                                        "Connect(0x100, \"Reader A 00 00\", 3, 0)"}));
    EXPECT_EQ(pcsc.callsOf("Disconnect"), std::vector<std::string>{"Disconnect(0x200, 0)"});
    EXPECT_EQ(channel().flags, kFlagConfigured | kFlagContext | kFlagDirectMode);
    EXPECT_EQ(channel().card, 0u);

    // ProSetExclusivity: no card to hold exclusively, so the reader is held directly
    // with a transaction; the state becomes 1 and the counter steps.
    pcsc.calls.clear();
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{"Connect(0x100, \"Reader A 00 00\", 1, 3)",
                                                    "Connect(0x100, \"Reader A 00 00\", 3, 0)",
                                                    "BeginTransaction(0x201)"}));
    EXPECT_EQ(channel().flags, kFlagConfigured | kFlagContext | kFlagDirectMode | kFlagTransaction);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], 1);

    // A card goes in, contacts still inactive. The presence test sees a new card, and
    // the poll answers "unavailable" for the directly held reader: the card is taken
    // exclusively with its transaction again.
    cardIn(kAtrT0, false);
    pcsc.queue("GetStatusChange", test::polled(pcsc::kStateUnavailable | pcsc::kStateChanged));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x16, 0}).bytes(), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(pcsc.callsOf("EndTransaction"), std::vector<std::string>{"EndTransaction(0x201, 2)"});
    EXPECT_EQ(pcsc.callsOf("Reconnect"), std::vector<std::string>{"Reconnect(0x201, 1, 3, 2)"});
    EXPECT_EQ(pcsc.callsOf("BeginTransaction"), std::vector<std::string>{"BeginTransaction(0x201)"});
    EXPECT_EQ(pcsc.callsOf("IntroduceCardType").size(), 1u);
    EXPECT_EQ(channel().flags & 0xF0, kFlagExclusiveMode | kFlagTransaction);

    // Power-on: the exclusive connection powered the card, its contacts are active.
    cardIn(kAtrT0, true);
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    EXPECT_EQ(exchange({0, 1, 0x14, 0}).bytes(), withAtr({0x00, 0x03, 0x04}, kAtrT0));

    // A card instruction with the current counter; the card's answer comes back as is.
    pcsc.queue("TransmitT0", test::bytes({0x12, 0x34, 0x90, 0x00}));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x00, 0x02}).bytes(),
              (Bytes{0x00, 0x03, 0x04, 0x12, 0x34, 0x90, 0x00}));
    EXPECT_EQ(pcsc.calls, std::vector<std::string>{"TransmitT0(0x201, [00 B0 00 00 02], 265)"});

    EXPECT_EQ(exchange({0, 1, 0x16, 0}).bytes(), (Bytes{0x00, 0x03, 0x04}));

    // The card is pulled during the next instruction: the old handle reports it gone,
    // the reader is held directly again, and the answer is a counter error.
    cardOut();
    pcsc.queue(FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kRemovedCard));
    pcsc.queue("TransmitT0", test::fail(pcsc::kRemovedCard));
    pcsc.queue("Reconnect", test::connected(pcsc::kProtocolNone));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x00, 0x02}).bytes(), (Bytes{0x16, 0x00, 0x05}));
    EXPECT_EQ(pcsc.callsOf("Reconnect"), std::vector<std::string>{"Reconnect(0x201, 3, 0, 0)"});
    EXPECT_EQ(pcsc.callsOf("BeginTransaction"), std::vector<std::string>{"BeginTransaction(0x201)"});

    // Another card: the change steps the counter on the way to state 0 and again on
    // the way to state 1, after which the card is held exclusively again.
    cardIn(kAtrOther, false);
    pcsc.queue("Reconnect", test::connected(pcsc::kProtocolNone));
    pcsc.queue("GetStatusChange", test::polled(pcsc::kStateUnavailable | pcsc::kStateChanged));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x16, 0}).bytes(), (Bytes{0x00, 0x01, 0x07}));
    EXPECT_EQ(pcsc.callsOf("Reconnect"),
              (std::vector<std::string>{"Reconnect(0x201, 3, 0, 0)", "Reconnect(0x201, 1, 3, 2)"}));
    EXPECT_EQ(channel().flags & 0xF0, kFlagExclusiveMode | kFlagTransaction);
    // The stale counter of the first card is refused.
    EXPECT_EQ(exchange({0, 1, 0x00, 0x04, 0x00, 0xB0, 0x00, 0x00, 0x02}).bytes(), (Bytes{0x16, 0x01, 0x07}));

    // Power-off, removal mode 0, on a reader that cannot eject: the card stays,
    // present and not powered.
    pcsc.queue("GetStatusChange", test::polled(pcsc::kStatePresent));
    pcsc.queue("GetStatusChange", test::polled(pcsc::kStateUnavailable | pcsc::kStateChanged));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x15, 0}).bytes(), (Bytes{0x12, 0x01, 0x07}));
    EXPECT_EQ(pcsc.callsOf("Disconnect"), std::vector<std::string>{"Disconnect(0x201, 3)"});
    EXPECT_EQ(pcsc.callsOf("Connect"), std::vector<std::string>{"Connect(0x100, \"Reader A 00 00\", 3, 0)"});
    EXPECT_EQ(pcsc.callsOf("Reconnect"), std::vector<std::string>{"Reconnect(0x202, 1, 3, 2)"});

    // Power-off, removal mode 1: this time the card leaves the reader.
    pcsc.queue(FakePcsc::attribute(kAttrCardPresence), test::bytes({2}));
    pcsc.setDefault(FakePcsc::attribute(kAttrCardPresence), test::bytes({0}));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    EXPECT_EQ(exchange({0, 1, 0x15, 1}).bytes(), (Bytes{0x00, 0x00, 0x08}));
    EXPECT_EQ(channel().card, 0x203u);
    EXPECT_EQ(channel().flags & 0xF0, kFlagDirectMode | kFlagTransaction);

    // The way out: the direct handle is closed with the transaction, then the context.
    pcsc.calls.clear();
    ASSERT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], 0);
    ASSERT_EQ(state.ProDisconnect(3, kChannel), 0);
    ASSERT_EQ(state.ProTermin(), 0);
    EXPECT_EQ(pcsc.calls, (std::vector<std::string>{"EndTransaction(0x203, 0)", "Disconnect(0x203, 0)",
                                                    "ReleaseContext(0x100)"}));
    EXPECT_TRUE(nothingOpen());
}

}  // namespace
}  // namespace ostrel
