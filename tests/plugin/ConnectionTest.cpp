// The PC/SC context and card handle of a channel: connection counting, exclusivity and
// its fallback to direct mode, releasing, termination, and what every failing call of
// these paths reports.

#include "PluginBench.h"

#include <set>
#include <tuple>
#include <string>

namespace ostrel {
namespace {

using test::kAtrT0;
using test::kChannel;
using Calls = std::vector<std::string>;

class Connection : public test::PluginBench {};

TEST_F(Connection, TestConnectionReadsTheReaderThenClosesItsHandle)
{
    cardIn(kAtrT0, true);
    pcsc.calls.clear();
    EXPECT_EQ(state.ProConnect(3, kChannel, "ignored"), 0);
    ASSERT_GE(pcsc.calls.size(), 4u);
    EXPECT_EQ(Calls(pcsc.calls.begin(), pcsc.calls.begin() + 2),
              (Calls{"EstablishContext(2)", "Connect(0x100, \"Reader A 00 00\", 2, 3)"}));
    // A card connection reads the card protocol attributes too.
    EXPECT_EQ(pcsc.callsOf("GetAttrib").size(), 15u);
    EXPECT_EQ(pcsc.calls.back(), "Disconnect(0x200, 0)");
    EXPECT_EQ(channel().flags, kFlagConfigured | kFlagContext | kFlagSharedMode)
        << "the mode bit stays without a handle";
    EXPECT_EQ(channel().card, 0u);
    EXPECT_EQ(channel().connectionCount, 1);
    EXPECT_EQ(state.connectedFlags()[kChannel], 1);
}

TEST_F(Connection, ConnectTwiceThenDisconnectTwice)
{
    connectWithCard();
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0);
    EXPECT_TRUE(pcsc.calls.empty()) << "the context is already there";
    EXPECT_EQ(channel().connectionCount, 2);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_TRUE(pcsc.calls.empty());
    EXPECT_EQ(channel().connectionCount, 1);
    EXPECT_EQ(state.connectedFlags()[kChannel], 1);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_EQ(pcsc.calls, Calls{"ReleaseContext(0x100)"});
    EXPECT_EQ(channel().flags, 0) << "the configured bit goes too";
    EXPECT_EQ(channel().connectionCount, 0);
    EXPECT_EQ(state.connectedFlags()[kChannel], 0);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_EQ(channel().connectionCount, 0) << "never below zero";
    EXPECT_TRUE(nothingOpen());
}

TEST_F(Connection, ContextLeftByAFailedConnectionIsReleasedWhenTheChannelIsGivenUp)
{
    pcsc.setDefault("Connect", test::fail(pcsc::kReaderUnavailable));
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0x0040);
    EXPECT_EQ(channel().flags & kFlagContext, kFlagContext);
    EXPECT_EQ(channel().connectionCount, 0);
    EXPECT_EQ(state.connectedFlags()[kChannel], 1);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_EQ(channel().connectionCount, 0);
    EXPECT_TRUE(nothingOpen());

    // A retry finds the context and counts itself; one disconnection then suffices.
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0x0040);
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0);
    EXPECT_EQ(channel().connectionCount, 1);
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_TRUE(nothingOpen());

    // ProTermin gives it up as well.
    EXPECT_EQ(state.ProConnect(3, kChannel, ""), 0x0040);
    EXPECT_EQ(state.ProTermin(), 0);
    EXPECT_TRUE(nothingOpen());
}

TEST_F(Connection, FailedContextReleaseKeepsTheChannelConnected)
{
    connectWithCard();
    pcsc.queue("ReleaseContext", test::fail(pcsc::kInternalError));
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0x0001);
    EXPECT_EQ(state.lastDetail(), 21u);
    EXPECT_EQ(channel().context, 0x100u);
    EXPECT_EQ(channel().flags & kFlagContext, kFlagContext);
    EXPECT_EQ(state.connectedFlags()[kChannel], 1);
    // The next disconnection tries again.
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_EQ(pcsc.callsOf("ReleaseContext").size(), 2u);
    EXPECT_TRUE(nothingOpen());
}

TEST_F(Connection, LastDisconnectionClosesTheCardHandleFirst)
{
    holdCard();
    EXPECT_EQ(state.ProDisconnect(3, kChannel), 0);
    EXPECT_EQ(pcsc.calls, (Calls{"Disconnect(0x201, 0)", "ReleaseContext(0x100)"}));
    EXPECT_TRUE(nothingOpen());
}

TEST_F(Connection, ExclusivityOnAPresentCardHoldsItWithATransaction)
{
    cardIn(kAtrT0, true);
    connectWithCard();
    EXPECT_EQ(state.ProSetExclusivity(3, kChannel, 9), 0);
    EXPECT_EQ(pcsc.calls, (Calls{"Connect(0x100, \"Reader A 00 00\", 1, 3)", "BeginTransaction(0x201)"}));
    EXPECT_EQ(channel().flags & 0xF0, kFlagExclusiveMode | kFlagTransaction);
    EXPECT_EQ(channel().cardState, kCardAbsent) << "the state is left to the refresh";
    EXPECT_EQ(channel().cardCounter, 1);
    // Taken again: the handle is there, only a transaction begins.
    pcsc.calls.clear();
    EXPECT_EQ(state.ProSetExclusivity(3, kChannel, 10), 0);
    EXPECT_EQ(pcsc.calls, Calls{"BeginTransaction(0x201)"});
}

struct FallbackCase {
    const char* name;
    std::vector<test::Reply> connects;
    std::vector<test::Reply> transactions;
    std::uint16_t status;
    Calls calls;
    std::uint16_t modeBits;
};

class ExclusivityFallback : public test::PluginBench, public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(ExclusivityFallback, HoldsTheReaderDirectlyAndStepsTheCounter)
{
    const FallbackCase& c = GetParam();
    connectWithCard();
    for (const test::Reply& reply : c.connects) pcsc.queue("Connect", reply);
    for (const test::Reply& reply : c.transactions) pcsc.queue("BeginTransaction", reply);
    EXPECT_EQ(state.ProSetExclusivity(3, kChannel, 1), c.status);
    EXPECT_EQ(pcsc.calls, c.calls);
    EXPECT_EQ(channel().flags & 0xF0, c.modeBits);
    EXPECT_EQ(channel().cardState, kCardPresent);
    EXPECT_EQ(channel().cardCounter, 2);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], c.status == 0 ? 1 : 0);
}

const std::string kExclusive = "Connect(0x100, \"Reader A 00 00\", 1, 3)";
const std::string kDirect = "Connect(0x100, \"Reader A 00 00\", 3, 0)";

INSTANTIATE_TEST_SUITE_P(
    Cases, ExclusivityFallback,
    ::testing::Values(FallbackCase{"AbsentCard",
                                   {test::fail(pcsc::kNoSmartcard)},
                                   {},
                                   0,
                                   {kExclusive, kDirect, "BeginTransaction(0x201)"},
                                   kFlagDirectMode | kFlagTransaction},
                      FallbackCase{"TransactionRefused",
                                   {},
                                   {test::fail(pcsc::kSharingViolation)},
                                   0,
                                   {kExclusive, "BeginTransaction(0x201)", "Disconnect(0x201, 0)", kDirect,
                                    "BeginTransaction(0x202)"},
                                   kFlagDirectMode | kFlagTransaction},
                      FallbackCase{"DirectRefusedKeepsTheFirstFailure",
                                   {test::fail(pcsc::kNoSmartcard), test::fail(pcsc::kSharingViolation)},
                                   {},
                                   0x0400,
                                   {kExclusive, kDirect},
                                   0},
                      FallbackCase{"DirectTransactionRefused",
                                   {test::fail(pcsc::kNoSmartcard)},
                                   {test::fail(pcsc::kTimeout)},
                                   0x0400,
                                   {kExclusive, kDirect, "BeginTransaction(0x201)"},
                                   kFlagDirectMode}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Connection, CounterWrapsFrom255To0Then1)
{
    connectWithCard();
    channel().cardCounter = 255;
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(channel().cardCounter, 0);
    ASSERT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(channel().cardCounter, 1);
}

TEST_F(Connection, ReleasingTwiceEndsOneTransaction)
{
    holdCard();
    pcsc.queue("EndTransaction", test::Reply{});
    pcsc.queue("EndTransaction", test::fail(pcsc::kNotTransacted));
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(pcsc.calls, (Calls{"EndTransaction(0x201, 0)", "EndTransaction(0x201, 0)"}));
    EXPECT_EQ(channel().card, 0x201u) << "an exclusive handle stays open";
    EXPECT_EQ(channel().flags & 0xF0, kFlagExclusiveMode);
}

TEST_F(Connection, ReleasingADirectHoldClosesItsHandleOnce)
{
    connectWithCard();
    pcsc.queue("Connect", test::fail(pcsc::kNoSmartcard));
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    pcsc.calls.clear();
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(pcsc.calls, (Calls{"EndTransaction(0x201, 0)", "Disconnect(0x201, 0)"}));
    EXPECT_EQ(channel().card, 0u);
    EXPECT_EQ(channel().flags & 0xF0, kFlagDirectMode) << "the mode bit stays without a handle";
}

TEST_F(Connection, ReleaseCountsCardWarningsAsDoneButNotOtherFailures)
{
    holdCard();
    (*state.exclusivityBlock())[kChannel][1] = 1;
    pcsc.queue("EndTransaction", test::fail(pcsc::kResetCard));
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], 0);
    (*state.exclusivityBlock())[kChannel][1] = 1;
    pcsc.queue("EndTransaction", test::fail(pcsc::kInvalidHandle));
    EXPECT_EQ(state.ProReleaseExclusivity(3, kChannel, 1), 0x0001);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], 1) << "the mark stays";
    EXPECT_EQ(channel().flags & kFlagTransaction, 0) << "the transaction is given up all the same";
}

TEST_F(Connection, TerminationReleasesMarksInOrderThenDisconnectsOnceAndLeavesNothingOpen)
{
    holdCard();
    ASSERT_EQ(state.ProConnect(3, kChannel, ""), 0);
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 7), 0);
    pcsc.calls.clear();
    pcsc.queue("EndTransaction", test::Reply{});
    pcsc.queue("EndTransaction", test::fail(pcsc::kNotTransacted));
    EXPECT_EQ(state.ProTermin(), 0);
    // Marks 1 then 7; the one disconnection leaves a count of 1, and the table
    // clearing closes what the channel still holds.
    EXPECT_EQ(pcsc.calls, (Calls{"EndTransaction(0x201, 0)", "EndTransaction(0x201, 0)",
                                 "Disconnect(0x201, 0)", "ReleaseContext(0x100)"}));
    EXPECT_TRUE(nothingOpen());
    EXPECT_EQ(state.FindChannel(kChannel), nullptr);
}

TEST_F(Connection, TerminationAfterAFailedInitReleasesWhatTheChannelsStillHold)
{
    // Channel 5 loads, channel 6 names a reader the service does not list.
    const std::string config = dir.write("partial.ini",
                                         "[PROTOCOLE1]\r\nListeCanaux=5,6\r\n"
                                         "[CANAL5]\r\nCaracteristiques=Reader A 00 00\r\nIndex=5\r\n"
                                         "[CANAL6]\r\nCaracteristiques=Reader Z 00 00\r\nIndex=6\r\n");
    PluginState partial(pcsc);
    ASSERT_EQ(partial.ProInit(1, config.c_str(), 0), 0x800C);
    cardIn(kAtrT0, true);
    ASSERT_EQ(partial.ProConnect(3, kChannel, ""), 0);
    ASSERT_EQ(partial.ProConnect(3, kChannel, ""), 0);
    ASSERT_EQ(partial.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(partial.ProTermin(), 0x800A) << "never initialised";
    EXPECT_TRUE(nothingOpen());
    EXPECT_EQ(pcsc.openTransactions(), 0);
    EXPECT_EQ(partial.connectedFlags()[kChannel], 0);
}

TEST_F(Connection, SecondProInitReleasesWhatTheOldTableHeld)
{
    holdCard();
    const std::string config = dir.file("tuvex.ini");
    EXPECT_EQ(state.ProInit(1, config.c_str(), 0), 0);
    EXPECT_EQ(Calls(pcsc.calls.begin(), pcsc.calls.begin() + 2),
              (Calls{"Disconnect(0x201, 0)", "ReleaseContext(0x100)"}));
    EXPECT_TRUE(nothingOpen());
    EXPECT_EQ(state.connectedFlags()[kChannel], 0);
    EXPECT_EQ(channel().cardCounter, 1);
    EXPECT_EQ((*state.exclusivityBlock())[kChannel][1], 1) << "the marks are kept";
}

// Each PC/SC call of the connection paths failing with one result of each conversion
// class: the status is the converted one, and never a crash.
enum class FailingCall {
    EstablishContext,
    TestConnections,
    ReleaseContext,
    ExclusiveAndDirect,
    EndTransaction
};

class FailingConnectionCall
    : public test::PluginBench,
      public ::testing::WithParamInterface<std::tuple<FailingCall, test::ResultClass>> {};

TEST_P(FailingConnectionCall, GivesTheConvertedStatus)
{
    const auto& [call, row] = GetParam();
    const test::Reply failure = test::fail(row.result);
    std::uint16_t status = 0;
    bool warningsCount = true;
    // Only an exclusive hold keeps its handle past the call.
    std::set<pcsc::Handle> handlesLeft;
    switch (call) {
    case FailingCall::EstablishContext:
        pcsc.queue("EstablishContext", failure);
        status = state.ProConnect(3, kChannel, "");
        EXPECT_EQ(state.connectedFlags()[kChannel], 0);
        break;
    case FailingCall::TestConnections:
        pcsc.setDefault("Connect", failure);
        status = state.ProConnect(3, kChannel, "");
        break;
    case FailingCall::ReleaseContext:
        connectWithCard();
        pcsc.queue("ReleaseContext", failure);
        status = state.ProDisconnect(3, kChannel);
        // A context the service lost is forgotten; any other stays for a retry.
        EXPECT_EQ(state.connectedFlags()[kChannel], pcsc::isServiceLoss(row.result) ? 0 : 1);
        break;
    case FailingCall::ExclusiveAndDirect:
        connectWithCard();
        pcsc.setDefault("Connect", failure);
        status = state.ProSetExclusivity(3, kChannel, 1);
        warningsCount = false;
        break;
    case FailingCall::EndTransaction:
        holdCard();
        pcsc.queue("EndTransaction", failure);
        status = state.ProReleaseExclusivity(3, kChannel, 1);
        handlesLeft = {0x201};
        break;
    }
    EXPECT_EQ(status, warningsCount ? row.statusWhenWarningsCount : row.status);
    EXPECT_EQ(state.lastStatus(), status);
    EXPECT_EQ(pcsc.openHandles, handlesLeft);
}

INSTANTIATE_TEST_SUITE_P(
    EveryPath, FailingConnectionCall,
    ::testing::Combine(::testing::Values(FailingCall::EstablishContext, FailingCall::TestConnections,
                                         FailingCall::ReleaseContext, FailingCall::ExclusiveAndDirect,
                                         FailingCall::EndTransaction),
                       ::testing::ValuesIn(test::kResultClasses)));

}  // namespace
}  // namespace ostrel
