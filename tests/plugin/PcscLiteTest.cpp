// The pcsc-lite implementation over a stand-in of libpcsclite: WinSCard's answers
// where the plug-in's logic depends on them.

#include "pcsc/PcscLite.h"

#include "StubWinscard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ostrel::pcsc {
namespace {

using test::stub;

class PcscLiteAdaptation : public ::testing::Test {
protected:
    void SetUp() override { stub.reset(); }

    Handle connectTo(const char* reader, std::uint32_t share)
    {
        Handle card = 0;
        std::uint32_t protocol = 99;
        EXPECT_EQ(pcsc.connect(0x7777, reader, share, share == kShareDirect ? 0 : 3, &card, &protocol), 0);
        stub.calls.clear();
        return card;
    }

    PcscLite pcsc;
};

TEST_F(PcscLiteAdaptation, ResultsKeepWinScardBitPatterns)
{
    // On 64-bit Linux the LONG 0x80100069 is positive; the seam hands over the
    // negative 32-bit value that WinSCard returns.
    stub.results["SCardBeginTransaction"].push_back(SCARD_W_REMOVED_CARD);
    stub.results["SCardEndTransaction"].push_back(SCARD_E_NOT_TRANSACTED);
    stub.results["SCardReleaseContext"].push_back(SCARD_E_INVALID_HANDLE);
    EXPECT_EQ(pcsc.beginTransaction(0x5000), kRemovedCard);
    EXPECT_LT(pcsc.endTransaction(0x5000, kLeaveCard), 0);
    EXPECT_EQ(pcsc.releaseContext(0x7000), kInvalidHandle);
}

TEST_F(PcscLiteAdaptation, ListingWithoutContextUsesATemporaryOne)
{
    stub.data = {'R', 0, 0};
    char list[16] = {};
    std::uint32_t length = sizeof list;
    EXPECT_EQ(pcsc.listReaders(0, nullptr, list, &length), 0);
    EXPECT_EQ(length, 3u);
    EXPECT_STREQ(list, "R");
    EXPECT_EQ(stub.calls,
              (std::vector<std::string>{"SCardEstablishContext(2)", "SCardListReaders(0x7000, 16)",
                                        "SCardReleaseContext(0x7000)"}));
    stub.calls.clear();
    length = sizeof list;
    EXPECT_EQ(pcsc.listReaderGroups(0, list, &length), 0);
    EXPECT_EQ(stub.calls,
              (std::vector<std::string>{"SCardEstablishContext(2)", "SCardListReaderGroups(0x7001, 16)",
                                        "SCardReleaseContext(0x7001)"}));
}

TEST_F(PcscLiteAdaptation, ListingWithAContextUsesIt)
{
    char list[8];
    std::uint32_t length = sizeof list;
    stub.data = {0, 0};
    EXPECT_EQ(pcsc.listReaders(0x42, nullptr, list, &length), 0);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardListReaders(0x42, 8)"});
}

TEST_F(PcscLiteAdaptation, ListingFailuresPassThroughAndReleaseTheTemporaryContext)
{
    char list[8];
    std::uint32_t length = sizeof list;
    stub.results["SCardEstablishContext"].push_back(SCARD_E_NO_SERVICE);
    EXPECT_EQ(pcsc.listReaderGroups(0, list, &length), kNoService);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardEstablishContext(2)"});
    stub.calls.clear();
    stub.results["SCardListReaders"].push_back(SCARD_E_NO_READERS_AVAILABLE);
    EXPECT_EQ(pcsc.listReaders(0, nullptr, list, &length), kNoReadersAvailable);
    EXPECT_EQ(stub.calls.back(), "SCardReleaseContext(0x7000)");
}

TEST_F(PcscLiteAdaptation, ReconnectToDirectWithoutCardReopensTheConnection)
{
    const Handle card = connectTo("Lecteur A 00 00", kShareExclusive);
    stub.results["SCardReconnect"].push_back(SCARD_E_NO_SMARTCARD);
    Handle reconnected = card;
    std::uint32_t protocol = 99;
    EXPECT_EQ(pcsc.reconnect(&reconnected, kShareDirect, 0, kLeaveCard, &protocol), 0);
    EXPECT_NE(reconnected, card);
    EXPECT_EQ(protocol, 0u);
    EXPECT_EQ(stub.calls,
              (std::vector<std::string>{"SCardReconnect(0x5000, 3, 0, 0)", "SCardDisconnect(0x5000, 0)",
                                        "SCardGetStatusChange(0x7777, 0, 0x0)",
                                        "SCardConnect(0x7777, Lecteur A 00 00, 3, 0)"}));
}

TEST_F(PcscLiteAdaptation, ReconnectFailuresOtherwisePassThrough)
{
    Handle card = connectTo("Lecteur A 00 00", kShareDirect);
    std::uint32_t protocol = 0;
    stub.results["SCardReconnect"].push_back(SCARD_E_NO_SMARTCARD);
    EXPECT_EQ(pcsc.reconnect(&card, kShareExclusive, 3, kUnpowerCard, &protocol), kNoSmartcard);
    stub.results["SCardReconnect"].push_back(SCARD_E_READER_UNAVAILABLE);
    EXPECT_EQ(pcsc.reconnect(&card, kShareDirect, 0, kLeaveCard, &protocol), kReaderUnavailable);
    EXPECT_EQ(stub.calls.size(), 2u);
    EXPECT_EQ(card, 0x5000u);
    // A handle this object never opened cannot be reopened.
    Handle foreign = 0x9999;
    stub.results["SCardReconnect"].push_back(SCARD_E_NO_SMARTCARD);
    EXPECT_EQ(pcsc.reconnect(&foreign, kShareDirect, 0, kLeaveCard, &protocol), kNoSmartcard);
}

TEST_F(PcscLiteAdaptation, CardPulledDuringTransmissionReportsRemovedCard)
{
    const Handle exclusive = connectTo("Lecteur A 00 00", kShareExclusive);
    const Handle direct = connectTo("Lecteur B 00 00", kShareDirect);
    const std::uint8_t command[5] = {0x00, 0xB0, 0x00, 0x00, 0x02};
    std::uint8_t answer[265];
    std::uint32_t length = sizeof answer;
    stub.results["SCardTransmit"] = {SCARD_E_NO_SMARTCARD, SCARD_E_NO_SMARTCARD};
    EXPECT_EQ(pcsc.transmitT0(exclusive, command, 5, answer, &length), kRemovedCard);
    EXPECT_EQ(pcsc.transmitT0(direct, command, 5, answer, &length), kNoSmartcard);
    EXPECT_EQ(stub.calls.front(), "SCardTransmit(0x5000, T0, 5)");
}

TEST_F(PcscLiteAdaptation, PollReportsReaderHeldInDirectModeUnavailable)
{
    connectTo("Lecteur A 00 00", kShareDirect);
    const Handle shared = connectTo("Lecteur B 00 00", kShareShared);
    stub.eventState = 0x00030000 | SCARD_STATE_PRESENT;
    ReaderState states[2];
    states[0].reader = "Lecteur A 00 00";
    states[1].reader = "Lecteur B 00 00";
    states[0].currentState = states[1].currentState = kStatePresent;
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, states, 2), 0);
    EXPECT_EQ(states[0].eventState, 0x00030000u | kStateUnavailable | kStateChanged);
    EXPECT_EQ(states[1].eventState, 0x00030000u | kStatePresent);
    EXPECT_EQ(pcsc.disconnect(shared, kLeaveCard), 0);
}

TEST_F(PcscLiteAdaptation, UnchangedReaderIsATimeOutExceptWhenHeldDirectly)
{
    // pcsc-lite answers a zero-time-out poll of an unchanged reader with a time-out;
    // WinSCard answers a reader held directly as unavailable at once.
    connectTo("Lecteur A 00 00", kShareDirect);
    ReaderState states[2];
    states[0].reader = "Lecteur A 00 00";
    states[1].reader = "Lecteur B 00 00";
    states[0].currentState = states[1].currentState = kStatePresent;
    stub.eventState = 0x00050000 | SCARD_STATE_PRESENT;
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, states, 2), 0);
    EXPECT_EQ(states[0].eventState, 0x00050000u | kStateUnavailable | kStateChanged);
    EXPECT_EQ(states[1].eventState, 0x00050000u | kStatePresent);
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &states[1], 1), kTimeout);
    EXPECT_EQ(states[1].eventState, 0x00050000u | kStatePresent);
    // Every poll without waiting asked for the state as it is.
    EXPECT_EQ(stub.calls, (std::vector<std::string>{"SCardGetStatusChange(0x7777, 0, 0x0, 0x0)",
                                                    "SCardGetStatusChange(0x7777, 0, 0x0)"}));
}

TEST_F(PcscLiteAdaptation, PollWithATimeOutWaitsFromTheGivenState)
{
    ReaderState state;
    state.reader = "Lecteur A 00 00";
    state.currentState = kStatePresent;
    stub.results["SCardGetStatusChange"].push_back(SCARD_E_TIMEOUT);
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 500, &state, 1), kTimeout);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardGetStatusChange(0x7777, 500, 0x20)"});
}

TEST_F(PcscLiteAdaptation, ServiceLossPassesThroughThePoll)
{
    connectTo("Lecteur A 00 00", kShareDirect);
    for (const LONG lost : {SCARD_E_NO_SERVICE, SCARD_E_SERVICE_STOPPED, SCARD_E_INVALID_HANDLE}) {
        stub.results["SCardGetStatusChange"].push_back(lost);
        ReaderState state;
        state.reader = "Lecteur A 00 00";
        state.currentState = kStatePresent;
        EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), static_cast<std::int32_t>(lost));
        EXPECT_EQ(state.eventState, 0u) << "nothing rewritten on a dead service";
    }
}

struct PollCase {
    const char* name;
    std::uint32_t known;
    std::uint32_t now;
    bool changed;
};

class PcscLitePoll : public PcscLiteAdaptation, public ::testing::WithParamInterface<PollCase> {};

TEST_P(PcscLitePoll, DerivesTheChangeWithPcscLitesRules)
{
    const PollCase& c = GetParam();
    EXPECT_EQ(changedSince(c.known, c.now), c.changed);
    // Through the poll: pcsc-lite answers an unaware caller with the change bit set.
    stub.eventState = c.now | SCARD_STATE_CHANGED;
    stub.data = {0x3B, 0x00};
    ReaderState state;
    state.reader = "Lecteur A 00 00";
    state.currentState = c.known;
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), c.changed ? kSuccess : kTimeout);
    EXPECT_EQ(state.eventState, c.changed ? c.now | kStateChanged : c.now);
    EXPECT_EQ(state.atrLength, 2u);
}

constexpr std::uint32_t kCounted = 0x00040000;

INSTANTIATE_TEST_SUITE_P(
    Rules, PcscLitePoll,
    ::testing::Values(
        PollCase{"Unchanged", kStatePresent, kCounted | kStatePresent | kStateExclusive, false},
        PollCase{"NewCard", kStateEmpty, kCounted | kStatePresent, true},
        PollCase{"CardGone", kStatePresent, kCounted | kStateEmpty, true},
        PollCase{"StillEmpty", kStateEmpty, kCounted | kStateEmpty, false},
        PollCase{"ReaderGone", kStatePresent, kStateUnknown | kStateUnavailable, true},
        PollCase{"ReaderStillGone", kStateUnknown, kStateUnknown | kStateUnavailable, false},
        PollCase{"ReaderBack", kStateUnknown, kCounted | kStatePresent, true},
        PollCase{"ReaderUnusable", kStatePresent, kStateUnavailable, true},
        PollCase{"ReaderUsableAgain", kStateUnavailable, kStatePresent, true},
        PollCase{"CardSwappedBetweenPolls", 0x00030000 | kStatePresent, kCounted | kStatePresent, true},
        PollCase{"SameCountedEvents", kCounted | kStatePresent, kCounted | kStatePresent, false},
        PollCase{"CardTurnedMute", kStatePresent, kStatePresent | kStateMute, true},
        PollCase{"TakenExclusively", kStatePresent | kStateInUse, kStatePresent | kStateExclusive, true},
        PollCase{"NowShared", kStatePresent | kStateExclusive, kStatePresent | kStateInUse, true},
        PollCase{"LeftByAll", kStatePresent | kStateInUse, kStatePresent, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PcscLiteAdaptation, ReaderLeftByItsDirectConnectionIsTrackedAgain)
{
    Handle direct = connectTo("Lecteur A 00 00", kShareDirect);
    // Forgotten whatever the disconnection answered: a handle the service lost
    // cannot be closed a second time.
    stub.results["SCardDisconnect"].push_back(SCARD_E_NO_SERVICE);
    ASSERT_EQ(pcsc.disconnect(direct, kLeaveCard), kNoService);
    ReaderState state;
    state.reader = "Lecteur A 00 00";
    state.currentState = kStatePresent;
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), kTimeout);
    EXPECT_EQ(state.eventState, kStatePresent);
    // A direct connection turned into an exclusive one is no longer direct either.
    direct = connectTo("Lecteur A 00 00", kShareDirect);
    std::uint32_t protocol = 0;
    ASSERT_EQ(pcsc.reconnect(&direct, kShareExclusive, 3, kUnpowerCard, &protocol), 0);
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), kTimeout);
    EXPECT_EQ(state.eventState, kStatePresent);
}

TEST_F(PcscLiteAdaptation, PollCopiesAtMostTheAtrItWasGiven)
{
    stub.data.assign(33, 0x3B);
    ReaderState state;
    state.reader = "Lecteur A 00 00";
    state.currentState = kStateEmpty;
    state.atr[33] = 0xEE;
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), 0);
    EXPECT_EQ(state.atrLength, 33u);
    EXPECT_EQ(state.atr[32], 0x3B);
    EXPECT_EQ(state.atr[33], 0xEE);
}

TEST_F(PcscLiteAdaptation, AttributeBuffersStayWithinTheClientLimit)
{
    std::uint8_t buffer[1024];
    std::uint32_t length = sizeof buffer;
    stub.data = {1, 2, 3};
    EXPECT_EQ(pcsc.getAttrib(0x5000, 0x90303, buffer, &length), 0);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardGetAttrib(0x5000, 0x90303, 264)"});
}

TEST_F(PcscLiteAdaptation, StatusHandsBackAtrAndProtocolWithinTheCallersCapacity)
{
    stub.data = {0x3B, 0x65, 0x00, 0x00};
    std::uint8_t atr[32] = {};
    std::uint32_t length = 32;
    std::uint32_t protocol = 0;
    EXPECT_EQ(pcsc.status(0x5000, &protocol, atr, &length), 0);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(protocol, kProtocolT0);
    EXPECT_EQ(atr[1], 0x65);
    length = 3;
    EXPECT_EQ(pcsc.status(0x5000, &protocol, atr, &length), kInsufficientBuffer);
    EXPECT_EQ(length, 4u);
}

TEST_F(PcscLiteAdaptation, CardTypeRegistrationIsAcceptedWithoutAnyCall)
{
    const std::uint8_t id[16] = {};
    const std::uint8_t atr[2] = {0x3B, 0x00};
    EXPECT_EQ(pcsc.introduceCardType(0x7777, "Carte", id, id, 0, atr, nullptr, 2), 0);
    EXPECT_TRUE(stub.calls.empty());
}

TEST_F(PcscLiteAdaptation, DirectConnectionToAReaderAnotherProgramHoldsIsRefused)
{
    Handle card = 0;
    std::uint32_t protocol = 0;
    for (const DWORD held : {DWORD{SCARD_STATE_INUSE}, DWORD{SCARD_STATE_EXCLUSIVE}}) {
        stub.calls.clear();
        stub.eventState = SCARD_STATE_PRESENT | held;
        EXPECT_EQ(pcsc.connect(0x7777, "Lecteur A 00 00", kShareDirect, 0, &card, &protocol),
                  kSharingViolation);
        EXPECT_EQ(card, 0u);
        EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardGetStatusChange(0x7777, 0, 0x0)"});
    }
    // Card connections go to the service, which decides for itself.
    stub.calls.clear();
    EXPECT_EQ(pcsc.connect(0x7777, "Lecteur A 00 00", kShareShared, 3, &card, &protocol), 0);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardConnect(0x7777, Lecteur A 00 00, 2, 3)"});
    // With a connection of its own there, the reader's state cannot tell whose the
    // others are: the service decides.
    stub.calls.clear();
    Handle direct = 0;
    EXPECT_EQ(pcsc.connect(0x7777, "Lecteur A 00 00", kShareDirect, 0, &direct, &protocol), 0);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardConnect(0x7777, Lecteur A 00 00, 3, 0)"});
    // Nobody else there: the direct connection is made.
    ASSERT_EQ(pcsc.disconnect(card, kLeaveCard), 0);
    ASSERT_EQ(pcsc.disconnect(direct, kLeaveCard), 0);
    stub.calls.clear();
    stub.eventState = SCARD_STATE_PRESENT;
    EXPECT_EQ(pcsc.connect(0x7777, "Lecteur A 00 00", kShareDirect, 0, &direct, &protocol), 0);
    EXPECT_EQ(stub.calls.back(), "SCardConnect(0x7777, Lecteur A 00 00, 3, 0)");
}

TEST_F(PcscLiteAdaptation, OneStatusReadPerCardReadingAndRefusalsRemembered)
{
    const Handle card = connectTo("Lecteur A 00 00", kShareExclusive);
    stub.data = {0x3B, 0x02, 0x14, 0x50};
    stub.results["SCardGetAttrib"] = {SCARD_E_UNSUPPORTED_FEATURE, SCARD_E_UNSUPPORTED_FEATURE,
                                      SCARD_E_UNSUPPORTED_FEATURE};
    const auto reading = [&] {
        std::uint8_t presence = 0;
        std::uint8_t contacts = 0;
        std::uint8_t atr[32];
        std::uint32_t length = 1;
        EXPECT_EQ(pcsc.getAttrib(card, 0x90300, &presence, &length), 0);
        EXPECT_EQ(presence, 2);
        length = 1;
        EXPECT_EQ(pcsc.getAttrib(card, 0x90301, &contacts, &length), 0);
        EXPECT_EQ(contacts, 1);
        length = sizeof atr;
        EXPECT_EQ(pcsc.getAttrib(card, 0x90303, atr, &length), 0);
        EXPECT_EQ(length, 4u);
    };
    reading();
    EXPECT_EQ(stub.calls, (std::vector<std::string>{
                              "SCardGetAttrib(0x5000, 0x90300, 1)", "SCardStatus(0x5000, 33)",
                              "SCardGetAttrib(0x5000, 0x90301, 1)", "SCardGetAttrib(0x5000, 0x90303, 32)"}));
    // The next reading asks the driver nothing it refused, and reads the status anew.
    stub.calls.clear();
    reading();
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardStatus(0x5000, 33)"});
    // Any other call between two reads makes the next one read the status again.
    stub.calls.clear();
    std::uint8_t answer[8];
    std::uint32_t length = sizeof answer;
    stub.results["SCardTransmit"].push_back(SCARD_E_NOT_TRANSACTED);
    pcsc.transmitT0(card, answer, 4, answer, &length);
    length = 1;
    EXPECT_EQ(pcsc.getAttrib(card, 0x90301, answer, &length), 0);
    EXPECT_EQ(stub.calls.back(), "SCardStatus(0x5000, 33)");
}

TEST_F(PcscLiteAdaptation, PollRightAfterAStatusReadingIsAnsweredFromIt)
{
    const Handle card = connectTo("Lecteur A 00 00", kShareExclusive);
    stub.defaults["SCardGetAttrib"] = SCARD_E_UNSUPPORTED_FEATURE;
    stub.data = {0x3B, 0x02, 0x14, 0x50};
    const auto readPresence = [&] {
        std::uint8_t presence = 0;
        std::uint32_t length = 1;
        return pcsc.getAttrib(card, 0x90300, &presence, &length);
    };
    ReaderState state;
    state.reader = "Lecteur A 00 00";
    state.currentState = kStatePresent;
    ASSERT_EQ(readPresence(), 0);
    stub.calls.clear();
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), kTimeout);
    EXPECT_EQ(state.eventState, kStatePresent);
    EXPECT_TRUE(stub.calls.empty());
    // The card gone since: the reading says so, and that is a change.
    stub.statusState = SCARD_ABSENT;
    ASSERT_EQ(readPresence(), 0);
    EXPECT_EQ(pcsc.getStatusChange(0x7777, 0, &state, 1), 0);
    EXPECT_EQ(state.eventState, kStateEmpty | kStateChanged);
    // A reading that failed, another reader, or any call in between: the service is asked.
    stub.results["SCardStatus"].push_back(SCARD_W_REMOVED_CARD);
    ASSERT_EQ(readPresence(), kRemovedCard);
    ReaderState other;
    other.reader = "Lecteur B 00 00";
    stub.statusState = 0x00010034;
    ASSERT_EQ(readPresence(), 0);
    stub.calls.clear();
    pcsc.getStatusChange(0x7777, 0, &state, 1);
    pcsc.getStatusChange(0x7777, 0, &other, 1);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardGetStatusChange(0x7777, 0, 0x0)"});
    ASSERT_EQ(readPresence(), 0);
    pcsc.beginTransaction(card);
    stub.calls.clear();
    pcsc.getStatusChange(0x7777, 0, &state, 1);
    EXPECT_EQ(stub.calls, std::vector<std::string>{"SCardGetStatusChange(0x7777, 0, 0x0)"});
}

struct StatusAnswer {
    const char* name;
    std::uint32_t attribute;
    DWORD state;
    std::vector<std::uint8_t> expected;
};

class PcscLiteAttributeFromStatus : public PcscLiteAdaptation,
                                    public ::testing::WithParamInterface<StatusAnswer> {};

TEST_P(PcscLiteAttributeFromStatus, AnswersWhatTheDriverDoesNot)
{
    const StatusAnswer& c = GetParam();
    stub.results["SCardGetAttrib"].push_back(SCARD_E_UNSUPPORTED_FEATURE);
    stub.statusState = c.state;
    stub.data = {0x3B, 0x02, 0x14, 0x50};
    std::uint8_t buffer[32];
    std::memset(buffer, 0xEE, sizeof buffer);
    std::uint32_t length = c.attribute == 0x90303 ? 32 : 1;
    EXPECT_EQ(pcsc.getAttrib(0x5000, c.attribute, buffer, &length), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + length), c.expected);
    EXPECT_EQ(stub.calls.back(), "SCardStatus(0x5000, 33)");
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, PcscLiteAttributeFromStatus,
    ::testing::Values(StatusAnswer{"PresenceOfAPoweredCard", 0x90300, 0x00010034, {2}},
                      StatusAnswer{"PresenceOfAnUnpoweredCard", 0x90300, 0x00020004, {2}},
                      StatusAnswer{"PresenceOfNoCard", 0x90300, 0x00030002, {0}},
                      StatusAnswer{"ContactsOfAPoweredCard", 0x90301, 0x00000014, {1}},
                      StatusAnswer{"ContactsOfANegotiableCard", 0x90301, 0x00000024, {1}},
                      StatusAnswer{"ContactsOfASpecificCard", 0x90301, 0x00000044, {1}},
                      StatusAnswer{"ContactsOfAnUnpoweredCard", 0x90301, 0x00700004, {0}},
                      StatusAnswer{"Atr", 0x90303, 0x00000034, {0x3B, 0x02, 0x14, 0x50}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PcscLiteAdaptation, AttributesFromStatusKeepTheBufferRulesAndTheFailures)
{
    std::uint8_t buffer[2];
    std::uint32_t length = sizeof buffer;
    stub.data = {0x3B, 0x02, 0x14, 0x50};
    stub.results["SCardGetAttrib"] = {SCARD_E_UNSUPPORTED_FEATURE, SCARD_E_UNSUPPORTED_FEATURE,
                                      SCARD_E_UNSUPPORTED_FEATURE};
    EXPECT_EQ(pcsc.getAttrib(0x5000, 0x90303, buffer, &length), kInsufficientBuffer);
    EXPECT_EQ(length, 4u);
    stub.results["SCardStatus"].push_back(SCARD_W_REMOVED_CARD);
    length = 1;
    EXPECT_EQ(pcsc.getAttrib(0x5000, 0x90300, buffer, &length), kRemovedCard);
    // Attributes that the status does not tell stay unsupported.
    length = 4;
    EXPECT_EQ(pcsc.getAttrib(0x5000, 0x80209, buffer, &length), kUnsupportedFeature);
    EXPECT_EQ(stub.calls.size(), 5u);
    EXPECT_EQ(stub.calls.back(), "SCardGetAttrib(0x5000, 0x80209, 4)");
}

}  // namespace
}  // namespace ostrel::pcsc
