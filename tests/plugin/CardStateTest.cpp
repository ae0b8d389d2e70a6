// The card-state refresh behind every reader command, seen through the presence and
// power-on commands: the state table, a new card, a removal reported as a warning, a
// reader gone, and the way back from a direct hold to an exclusive card connection.

#include "PluginBench.h"

#include <string>

namespace ostrel {
namespace {

using test::kAtrOther;
using test::kAtrT0;
using test::kChannel;
using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::string>;

const Bytes kPresence = {0, 1, 0x16, 0};
const Bytes kPowerOn = {0, 1, 0x14, 0};
const test::Reply kUnavailable = test::polled(pcsc::kStateUnavailable | pcsc::kStateChanged);

Bytes concat(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class CardState : public test::PluginBench {
protected:
    // A held card whose ATR the plug-in already knows: state 1, counter 3.
    void knownCard()
    {
        holdCard();
        pcsc.setDefault("Status", test::bytes(kAtrT0));
        ASSERT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03}));
        pcsc.calls.clear();
    }
    // A card held in direct mode, as after exclusivity on a card that could not be
    // connected: state 1, counter 2, handle 0x201.
    void cardHeldDirectly(bool contactsActive)
    {
        cardIn(kAtrT0, contactsActive);
        connectWithCard();
        pcsc.queue("Connect", test::fail(pcsc::kSharingViolation));
        pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
        ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
        pcsc.setDefault("Status", test::bytes(kAtrT0));
        pcsc.calls.clear();
    }
};

TEST_F(CardState, FollowsContactsAndOnlyPowerOnPowers)
{
    knownCard();
    cardIn(kAtrT0, false);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03})) << "no change, no step";
    EXPECT_EQ(exchange(kPowerOn).bytes(), (Bytes{0x11, 0x01, 0x03}));
    cardIn(kAtrT0, true);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(exchange(kPowerOn).bytes(), concat({0x00, 0x03, 0x04}, kAtrT0));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x03, 0x04})) << "powered stays powered";
    EXPECT_EQ(exchange(kPowerOn).bytes(), concat({0x00, 0x03, 0x04}, kAtrT0));
    cardIn(kAtrT0, false);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x05}));
    cardOut();
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x00, 0x06}));
    // The same card again is no new card: one step for the state, no registration.
    cardIn(kAtrT0, false);
    pcsc.calls.clear();
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x07}));
    EXPECT_TRUE(pcsc.callsOf("IntroduceCardType").empty());
    EXPECT_TRUE(pcsc.callsOf("Reconnect").empty());
}

TEST_F(CardState, PollThatFailsOrReportsPresentReconnectsNothing)
{
    knownCard();
    pcsc.queue("GetStatusChange", test::fail(pcsc::kTimeout));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03}));
    pcsc.queue("GetStatusChange", test::Reply{pcsc::kTimeout, {}, kUnavailable.value});
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(pcsc.callsOf("GetStatusChange"),
              (Calls(2, "GetStatusChange(0x100, 0, {\"Reader A 00 00\", 0x20, 0x0})")));
    EXPECT_TRUE(pcsc.callsOf("Reconnect").empty());
    EXPECT_TRUE(pcsc.callsOf("Connect").empty());
}

TEST_F(CardState, NewCardIsFollowedDirectlyWithTheTransactionRestarted)
{
    knownCard();
    cardIn(kAtrOther, true);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x05}));
    EXPECT_EQ(pcsc.callsOf("Reconnect"), Calls{"Reconnect(0x201, 3, 0, 0)"});
    EXPECT_EQ(pcsc.callsOf("BeginTransaction"), Calls{"BeginTransaction(0x201)"});
    EXPECT_EQ(pcsc.callsOf("IntroduceCardType").size(), 1u);
    EXPECT_EQ(channel().flags & kFlagTransaction, kFlagTransaction);
    EXPECT_EQ(channel().atrLength, kAtrOther.size());
}

struct AfterNewCard {
    const char* name;
    std::int32_t reconnect;
    std::int32_t transaction;
    std::uint16_t status;
    bool transactionKept;
};

class CardStateAfterNewCard : public CardState, public ::testing::WithParamInterface<AfterNewCard> {};

TEST_P(CardStateAfterNewCard, ReconnectionOrTransactionFailureEndsTheRefresh)
{
    const AfterNewCard& c = GetParam();
    knownCard();
    cardIn(kAtrOther, true);
    pcsc.queue("Reconnect", test::fail(c.reconnect));
    pcsc.queue("BeginTransaction", test::fail(c.transaction));
    const test::Answer answer = exchange(kPresence);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_TRUE(answer.untouched(300));
    EXPECT_EQ(channel().cardState, kCardAbsent) << "the change is on record";
    EXPECT_EQ(channel().cardCounter, 4);
    EXPECT_EQ(channel().flags & kFlagTransaction, c.transactionKept ? kFlagTransaction : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CardStateAfterNewCard,
    ::testing::Values(AfterNewCard{"ReconnectRefused", pcsc::kReaderUnavailable, 0, 0x0040, true},
                      AfterNewCard{"TransactionRefused", 0, pcsc::kSharingViolation, 0x0004, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardState, TransactionRefusedWithACardWarningCountsAsDoneButIsDropped)
{
    knownCard();
    cardIn(kAtrOther, false);
    pcsc.queue("BeginTransaction", test::fail(pcsc::kResetCard));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x05}));
    EXPECT_EQ(channel().flags & kFlagTransaction, 0);
}

TEST_F(CardState, RemovalReportedAsAWarningKeepsTheAtrForTheSameCard)
{
    knownCard();
    cardOut();
    pcsc.queue(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kRemovedCard));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x00, 0x04}));
    EXPECT_EQ(pcsc.callsOf("Reconnect"), Calls{"Reconnect(0x201, 3, 0, 0)"});
    EXPECT_EQ(channel().atrLength, kAtrT0.size());
    cardIn(kAtrT0, false);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x05}));
    EXPECT_TRUE(pcsc.callsOf("IntroduceCardType").empty());
}

TEST_F(CardState, ReaderGoneEndsTheTransactionAndKeepsAnExclusiveHandle)
{
    knownCard();
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kReaderUnavailable));
    const test::Answer answer = exchange(kPresence);
    EXPECT_EQ(answer.status, 0x0040);
    EXPECT_TRUE(answer.untouched(300));
    EXPECT_EQ(pcsc.callsOf("EndTransaction"), Calls{"EndTransaction(0x201, 0)"});
    EXPECT_TRUE(pcsc.callsOf("Disconnect").empty());
    EXPECT_EQ(channel().card, 0x201u);
    EXPECT_EQ(channel().flags & kFlagTransaction, 0);
}

TEST_F(CardState, ReaderGoneClosesADirectHandle)
{
    cardHeldDirectly(true);
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kReaderUnavailable));
    EXPECT_EQ(exchange(kPresence).status, 0x0040);
    EXPECT_EQ(pcsc.calls,
              (Calls{"GetAttrib(0x201, 0x90300, 1)", "EndTransaction(0x201, 0)", "Disconnect(0x201, 0)"}));
    EXPECT_EQ(channel().card, 0u);
    EXPECT_EQ(exchange(kPresence).status, 0x0008);
}

struct BackToExclusive {
    const char* name;
    std::int32_t reconnect;
    Bytes powerOnAnswer;
    Calls calls;
    std::uint16_t modeBits;
};

class CardStateBackToExclusive : public CardState, public ::testing::WithParamInterface<BackToExclusive> {};

TEST_P(CardStateBackToExclusive, AfterTheReaderIsReportedUnavailable)
{
    const BackToExclusive& c = GetParam();
    cardHeldDirectly(true);
    pcsc.queue("GetStatusChange", kUnavailable);
    pcsc.queue("Reconnect", c.reconnect == 0 ? test::connected(pcsc::kProtocolT0) : test::fail(c.reconnect));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    EXPECT_EQ(exchange(kPowerOn).bytes(), c.powerOnAnswer);
    Calls connections;
    for (const std::string& call : pcsc.calls)
        if (call.rfind("GetAttrib", 0) != 0 && call.rfind("Introduce", 0) != 0 &&
            call.rfind("GetStatus", 0) != 0 && call.rfind("Status", 0) != 0)
            connections.push_back(call);
    EXPECT_EQ(connections, c.calls);
    EXPECT_EQ(channel().flags & 0xF0, c.modeBits);
}

const std::string kBackDirect = "Connect(0x100, \"Reader A 00 00\", 3, 0)";

INSTANTIATE_TEST_SUITE_P(
    Reconnections, CardStateBackToExclusive,
    ::testing::Values(BackToExclusive{"Accepted",
                                      0,
                                      concat({0x00, 0x03, 0x04}, kAtrT0),
                                      {"EndTransaction(0x201, 2)", "Reconnect(0x201, 1, 3, 2)",
                                       "BeginTransaction(0x201)"},
                                      kFlagExclusiveMode | kFlagTransaction},
                      // Card warnings and unusable cards leave the contacts inactive: no power-on.
                      BackToExclusive{"CardRemoved",
                                      pcsc::kRemovedCard,
                                      {0x11, 0x01, 0x03},
                                      {"EndTransaction(0x201, 2)", "Reconnect(0x201, 1, 3, 2)",
                                       "Disconnect(0x201, 0)", kBackDirect, "BeginTransaction(0x202)"},
                                      kFlagDirectMode | kFlagTransaction},
                      BackToExclusive{"CardUnsupported",
                                      pcsc::kUnsupportedCard,
                                      {0x11, 0x01, 0x03},
                                      {"EndTransaction(0x201, 2)", "Reconnect(0x201, 1, 3, 2)",
                                       "Disconnect(0x201, 0)", kBackDirect, "BeginTransaction(0x202)"},
                                      kFlagDirectMode | kFlagTransaction},
                      // Other refusals keep the contacts: the card powers, but without T=0.
                      BackToExclusive{"SharingViolation",
                                      pcsc::kSharingViolation,
                                      concat({0x10, 0x03, 0x04}, kAtrT0),
                                      {"EndTransaction(0x201, 2)", "Reconnect(0x201, 1, 3, 2)",
                                       "Disconnect(0x201, 0)", kBackDirect, "BeginTransaction(0x202)"},
                                      kFlagDirectMode | kFlagTransaction}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardState, CardSwappedWhileHeldDirectlyStepsTheCounter)
{
    // An unusable card keeps the reader held directly; another card takes its place
    // between two commands.
    cardHeldDirectly(true);
    pcsc.setDefault("Reconnect", test::fail(pcsc::kUnsupportedCard));
    pcsc.setDefault("GetStatusChange", kUnavailable);
    pcsc.setDefault("Connect", test::connected(pcsc::kProtocolNone));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x03}));
    cardIn(kAtrOther, true);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x04}));
    EXPECT_EQ(pcsc.callsOf("IntroduceCardType").size(), 2u);
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x01, 0x04})) << "the same card stays";
}

TEST_F(CardState, EveryTransactionBegunIsEndedOnce)
{
    // The fake counts transactions per handle as pcsc-lite does: nested, kept across
    // a reconnection. Each path that begins one again must have ended the old one.
    knownCard();
    EXPECT_EQ(pcsc.openTransactions(), 1) << "first ATR seen: reconnected directly";
    cardIn(kAtrOther, true);
    EXPECT_EQ(exchange(kPresence).status, 0);
    EXPECT_EQ(pcsc.openTransactions(), 1) << "another card";
    pcsc.queue("GetStatusChange", kUnavailable);
    EXPECT_EQ(exchange(kPowerOn).status, 0);
    EXPECT_EQ(pcsc.openTransactions(), 1) << "back to an exclusive connection";
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(pcsc.openTransactions(), 0);
    EXPECT_EQ(pcsc.callsOf("EndTransaction").size(), 3u);

    cardHeldDirectly(true);
    EXPECT_EQ(pcsc.openTransactions(), 1);
    pcsc.queue("GetStatusChange", kUnavailable);
    EXPECT_EQ(exchange(kPowerOn).status, 0);
    EXPECT_EQ(pcsc.openTransactions(), 1) << "from the direct hold back to exclusive";
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(pcsc.openTransactions(), 0);
}

TEST_F(CardState, RemovalWarningsOnADirectHoldAreNoNewCard)
{
    cardOut();
    connectWithCard();
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kRemovedCard));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x00, 0x03}));
    EXPECT_EQ(exchange(kPresence).bytes(), (Bytes{0x00, 0x00, 0x03}));
}

}  // namespace
}  // namespace ostrel
