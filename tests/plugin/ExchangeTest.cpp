// The reader command set through ProExchange: every command's exact answer, the
// refusals, the request-length and capacity checks that leave the response untouched,
// the card instruction's length correction and counter check, and the self test.

#include "PluginBench.h"

#include <string>
#include <tuple>

namespace ostrel {
namespace {

using test::Answer;
using test::kAtrT0;
using test::kChannel;
using Bytes = std::vector<std::uint8_t>;
using Calls = std::vector<std::string>;

Bytes concat(Bytes head, const Bytes& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class Exchange : public test::PluginBench {
protected:
    // A held T=0 card, powered on. Its first refresh finds a new card (counter 2 on the
    // way to state 0), then powers it (counter 3).
    void poweredCard()
    {
        holdCard();
        pcsc.setDefault("Status", test::bytes(kAtrT0));
        ASSERT_EQ(exchange({0, 1, 0x14, 0}).bytes(), concat({0x00, 0x03, 0x03}, kAtrT0));
        pcsc.calls.clear();
    }
};

TEST_F(Exchange, NeedsTheCardHandleThatExclusivityOpens)
{
    connectWithCard();
    const Answer answer = exchange({0, 1, 0x16, 0});
    EXPECT_EQ(answer.status, 0x0008);
    EXPECT_EQ(state.lastDetail(), 14u);
    EXPECT_TRUE(answer.untouched(300));
}

TEST_F(Exchange, ForbiddenCommandAnswersItsCodeAndBadArgument)
{
    holdCard();
    const Answer answer = exchange({0x80, 1, 0x16, 0});
    EXPECT_EQ(answer.status, 0x4000);
    EXPECT_EQ(state.lastDetail(), 1u);
    EXPECT_EQ(answer.bytes(), Bytes{0x03});
    EXPECT_TRUE(pcsc.calls.empty());
}

struct Refusal {
    const char* name;
    Bytes request;
    Bytes answer;
};

class ExchangeRefusal : public Exchange, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ExchangeRefusal, AnswersWithoutTouchingTheCard)
{
    holdCard();
    const Answer answer = exchange(GetParam().request);
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.bytes(), GetParam().answer);
    EXPECT_EQ(answer.buffer[answer.length], 0xEE) << "nothing past the answer";
    EXPECT_TRUE(pcsc.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ExchangeRefusal,
    ::testing::Values(
        Refusal{"Unknown02", {0, 1, 0x02, 0}, {0x02}}, Refusal{"Unknown10", {0, 1, 0x10, 0}, {0x02}},
        Refusal{"Unknown13", {0, 1, 0x13, 0}, {0x02}}, Refusal{"Unknown18", {0, 1, 0x18, 0}, {0x02}},
        Refusal{"UnknownFF", {0, 0, 0xFF}, {0x02}}, Refusal{"ResetOnUnit1", {0, 1, 0x11, 0}, {0x02}},
        Refusal{"SelfTestOnUnit1", {0, 1, 0x12, 0}, {0x02}},
        Refusal{"PowerOnOnUnit2", {0, 2, 0x14, 0}, {0x02}},
        Refusal{"PowerOffOnUnit2", {0, 2, 0x15, 0}, {0x02}},
        Refusal{"PowerOffRemovalMode2", {0, 1, 0x15, 2}, {0x02}},
        Refusal{"PresenceOnUnit2", {0, 2, 0x16, 0}, {0x02}},
        Refusal{"FrequencyOnUnit2", {0, 2, 0x17, 4}, {0x02}},
        Refusal{"FrequencyCode3", {0, 1, 0x17, 3}, {0x15}},
        Refusal{"FrequencyCode6", {0, 0, 0x17, 6}, {0x15}},
        Refusal{"InstructionOnUnit2", {0, 2, 0x00, 0, 0x00, 0xB0, 0, 0, 2}, {0x02}},
        Refusal{"InstructionStaleCounter", {0, 1, 0x01, 7, 0x00, 0xB0, 0, 0, 2}, {0x16, 0x00, 0x01}},
        Refusal{"InstructionWithoutCommand", {0, 1, 0x00, 0}, {0x13, 0x00, 0x01}},
        Refusal{"InstructionLongerThanTheSendBuffer",
                concat({0, 1, 0x00, 0}, Bytes(266, 0x00)),
                {0x13, 0x00, 0x01}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Unanswered {
    const char* name;
    Bytes request;
    std::uint32_t capacity;
    std::uint16_t status;
};

class ExchangeUnanswered : public Exchange, public ::testing::WithParamInterface<Unanswered> {};

TEST_P(ExchangeUnanswered, LeavesResponseAndLengthUntouched)
{
    const Unanswered& c = GetParam();
    holdCard();
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    pcsc.setDefault("TransmitT0", test::bytes({0x01, 0x02, 0x90, 0x00}));
    const Answer answer = exchange(c.request, c.capacity);
    EXPECT_EQ(answer.status, c.status);
    EXPECT_TRUE(answer.untouched(c.capacity));
}

INSTANTIATE_TEST_SUITE_P(
    LengthAndCapacity, ExchangeUnanswered,
    ::testing::Values(
        Unanswered{"FrequencyRequestOf5", {0, 1, 0x17, 4, 0}, 300, 0x4000},
        Unanswered{"FrequencyRequestOf3", {0, 1, 0x17}, 300, 0x4000},
        Unanswered{"PowerOffRequestOf5", {0, 1, 0x15, 0, 0}, 300, 0x4000},
        Unanswered{"InstructionRequestOf3", {0, 1, 0x00}, 300, 0x4000},
        Unanswered{"RequestOf2", {0, 1}, 300, 0x4000}, Unanswered{"EmptyRequest", {}, 300, 0x4000},
        Unanswered{"SelfTestIn26", {0, 0, 0x12, 0}, 26, 0x0010},
        Unanswered{"PresenceIn2", {0, 1, 0x16, 0}, 2, 0x0010},
        Unanswered{"PowerOnIn2", {0, 1, 0x14, 0}, 2, 0x0010},
        Unanswered{"PowerOffIn2", {0, 1, 0x15, 0}, 2, 0x0010},
        Unanswered{"FrequencyIn2", {0, 1, 0x17, 4}, 2, 0x0010},
        Unanswered{"InstructionIn2", {0, 1, 0x00, 0, 0x00, 0xB0, 0, 0, 2}, 2, 0x0010},
        Unanswered{"ResetIn0", {0, 0, 0x11, 0}, 0, 0x0010},
        Unanswered{"UnknownIn0", {0, 0, 0x20, 0}, 0, 0x0010},
        Unanswered{"ForbiddenIn0", {1, 0, 0x16, 0}, 0, 0x0010},
        Unanswered{"AtrBeyondTheCapacity", {0, 1, 0x14, 0}, 3 + 8, 0x0010},
        Unanswered{"CardAnswerBeyondTheCapacity", {0, 1, 0x00, 0, 0x00, 0xB0, 0, 0, 4}, 3 + 3, 0x0010}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Exchange, ResetRefreshesTheStateAndAnswersOneByte)
{
    holdCard();
    const Answer answer = exchange({0, 0, 0x11, 0});
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.bytes(), Bytes{0x00});
    EXPECT_FALSE(pcsc.callsOf("GetAttrib").empty());
    EXPECT_EQ(channel().cardState, kCardPresent);
}

struct SelfTestCase {
    std::uint32_t driverVersion;
    std::uint32_t maximumClock;
    std::uint32_t bwt;
    std::uint32_t w;
    Bytes reported;  // bytes 3 to 9
};

class ExchangeSelfTest : public Exchange, public ::testing::WithParamInterface<SelfTestCase> {};

TEST_P(ExchangeSelfTest, ReportsVersionTimingsAndClock)
{
    const SelfTestCase& c = GetParam();
    pcsc.setDefault(test::FakePcsc::attribute(kAttrDriverVersion), test::number(c.driverVersion));
    pcsc.setDefault(test::FakePcsc::attribute(kAttrMaximumClock), test::number(c.maximumClock));
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCurrentBwt), test::number(c.bwt));
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCurrentW), test::number(c.w));
    holdCard();
    const Answer answer = exchange({0, 0, 0x12, 0}, 27);
    EXPECT_EQ(answer.status, 0);
    Bytes expected = concat(concat({0x00, 0x12, 0x34}, c.reported), {0x00, 0x00, 0x00});
    expected.insert(expected.end(), 14, 0xFF);
    EXPECT_EQ(answer.bytes(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, ExchangeSelfTest,
    ::testing::Values(
        SelfTestCase{0x0102002A, 4500, 0x1234, 0x0A, {0x01, 0x02, 0x12, 0x34, 0x00, 0x0A, 0x04}},
        SelfTestCase{0x12340000, 4501, 0x00015678, 0x10005, {0x18, 0x52, 0x56, 0x78, 0x00, 0x05, 0x05}},
        SelfTestCase{0x00000000, 499, 0, 0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        SelfTestCase{0x63630000, 20000, 0xFFFF, 0xFF00, {0x99, 0x99, 0xFF, 0xFF, 0xFF, 0x00, 0x14}}));

TEST_F(Exchange, FrequencyChangesNothingAndRefusesAPoweredCard)
{
    holdCard();
    EXPECT_EQ(exchange({0, 1, 0x17, 4}).bytes(), (Bytes{0x00, 0x01, 0x03}));
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    ASSERT_EQ(exchange({0, 1, 0x14, 0}).status, 0);
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 0, 0x17, 5}).bytes(), (Bytes{0x14, 0x03, 0x04}));
    EXPECT_TRUE(pcsc.callsOf("TransmitT0").empty());
    EXPECT_TRUE(pcsc.callsOf("Reconnect").empty());
}

TEST_F(Exchange, PowerOnAnswersByStateAndProtocol)
{
    cardOut();
    connectWithCard();
    ASSERT_EQ(state.ProSetExclusivity(3, kChannel, 1), 0);
    EXPECT_EQ(exchange({0, 1, 0x14, 0}).bytes(), (Bytes{0x00, 0x00, 0x01}));
    // Contacts inactive: the card cannot be powered.
    cardIn(kAtrT0, false);
    EXPECT_EQ(exchange({0, 1, 0x14, 0}).bytes(), (Bytes{0x11, 0x01, 0x03}));
    cardIn(kAtrT0, true);
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    pcsc.calls.clear();
    EXPECT_EQ(exchange({0, 1, 0x14, 0}).bytes(), concat({0x00, 0x03, 0x04}, kAtrT0));
    EXPECT_EQ(pcsc.callsOf("Status"), Calls{"Status(0x201, 32)"});
}

// Card instructions travel with T=0 framing: a T=1 card is unusable, its ATR says why.
TEST_F(Exchange, PowerOnOfACardThatNegotiatedT1)
{
    pcsc.setDefault("Connect", test::connected(pcsc::kProtocolT1));
    pcsc.setDefault("Reconnect", test::connected(pcsc::kProtocolT1));
    holdCard();
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    EXPECT_EQ(exchange({0, 1, 0x14, 0}).bytes(), concat({0x10, 0x03, 0x03}, kAtrT0));
}

TEST_F(Exchange, PowerOnStatusFailureIsAFailureNeverAnEmptySuccess)
{
    holdCard();
    pcsc.queue("Status", test::fail(pcsc::kReaderUnavailable));
    Answer answer = exchange({0, 1, 0x14, 0});
    EXPECT_EQ(answer.status, 0x0040);
    EXPECT_TRUE(answer.untouched(300));
    // A card warning counts as success in the conversion, but there is no ATR to give.
    pcsc.queue("Status", test::fail(pcsc::kRemovedCard));
    answer = exchange({0, 1, 0x14, 0});
    EXPECT_EQ(answer.status, 0x0200);
    EXPECT_TRUE(answer.untouched(300));
}

TEST_F(Exchange, PowerOffOfAPoweredCardReaderWithPowerManagement)
{
    pcsc.setDefault(test::FakePcsc::attribute(kAttrPowerManagement), test::number(1));
    poweredCard();
    // The reader powered the card off: contacts inactive after the ejection.
    cardIn(kAtrT0, false);
    pcsc.queue(test::FakePcsc::attribute(kAttrInterfaceStatus), test::bytes({1}));
    pcsc.queue("Connect", test::connected(pcsc::kProtocolNone));
    EXPECT_EQ(exchange({0, 1, 0x15, 0}).bytes(), (Bytes{0x12, 0x01, 0x04}));
    EXPECT_EQ(Calls(pcsc.calls.begin(), pcsc.calls.begin() + 1), Calls{"GetAttrib(0x201, 0x90300, 1)"});
    EXPECT_EQ(pcsc.callsOf("Disconnect"), Calls{"Disconnect(0x201, 3)"});
    EXPECT_EQ(channel().card, 0x202u);
}

TEST_F(Exchange, PowerOffWhoseDirectConnectionFailsLeavesNoHandle)
{
    poweredCard();
    pcsc.queue("Connect", test::fail(pcsc::kReaderUnavailable));
    const Answer answer = exchange({0, 1, 0x15, 1});
    EXPECT_EQ(answer.status, 0x0040);
    EXPECT_TRUE(answer.untouched(300));
    EXPECT_EQ(channel().card, 0u);
    EXPECT_EQ(channel().cardState, kCardPresent);
    EXPECT_EQ(exchange({0, 1, 0x16, 0}).status, 0x0008) << "exclusivity must be taken again";
}

struct EjectionWarning {
    const char* name;
    // What the direct connection after the ejection answers.
    std::int32_t connection;
    std::uint8_t removalMode;
    bool cardTaken;
    Bytes answer;
};

class PowerOffEjectionWarning : public Exchange, public ::testing::WithParamInterface<EjectionWarning> {};

// A card warning from the reconnection after the ejection is no failure: the command
// goes on to see what became of the card and answers, never success without an answer.
TEST_P(PowerOffEjectionWarning, StillAnswersStateAndCounter)
{
    const EjectionWarning& c = GetParam();
    poweredCard();
    // Seen before the ejection; the reader reports the card as scripted after it.
    pcsc.queue(test::FakePcsc::attribute(kAttrCardPresence), test::bytes({2}));
    pcsc.queue(test::FakePcsc::attribute(kAttrInterfaceStatus), test::bytes({1}));
    pcsc.queue(test::FakePcsc::attribute(kAttrAtr), test::bytes(kAtrT0));
    if (c.cardTaken) cardOut();
    pcsc.queue("Connect", test::fail(c.connection));
    const Answer answer = exchange({0, 0, 0x15, c.removalMode}, 55);
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(state.lastDetail(), 0u);
    EXPECT_EQ(answer.bytes(), c.answer);
    EXPECT_EQ(pcsc.callsOf("Disconnect"), Calls{"Disconnect(0x201, 3)"});
    EXPECT_EQ(pcsc.callsOf("Connect"), Calls{"Connect(0x100, \"Reader A 00 00\", 3, 0)"});
    EXPECT_EQ(channel().card, 0u) << "no handle came of the connection";
}

INSTANTIATE_TEST_SUITE_P(
    Warnings, PowerOffEjectionWarning,
    ::testing::Values(
        EjectionWarning{"UnpoweredCardLeftInTheReader", pcsc::kUnpoweredCard, 0, false, {0x12, 0x01, 0x04}},
        EjectionWarning{"UnpoweredCardLeftRemovalMode1", pcsc::kUnpoweredCard, 1, false, {0x00, 0x01, 0x04}},
        EjectionWarning{"RemovedCardTaken", pcsc::kRemovedCard, 0, true, {0x00, 0x00, 0x05}},
        EjectionWarning{"ResetCardTaken", pcsc::kResetCard, 1, true, {0x00, 0x00, 0x05}}),
    [](const auto& info) { return std::string(info.param.name); });

// The reader reports the card unpowered, so the handle is reconnected, and its driver
// refuses that with system error 22, which converts to a card change even where card
// warnings count as success. A card change leaves the previous status standing: it
// must not end the exchange, or the access manager reads success with no answer.
TEST_F(Exchange, PowerOnWhoseReconnectionTheDriverRefusesFails)
{
    holdCard();
    pcsc.queue(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kUnpoweredCard));
    pcsc.queue("Reconnect", test::fail(22));
    const Answer answer = exchange({0, 0, 0x14}, 52);
    EXPECT_EQ(answer.status, 0x0400);
    EXPECT_EQ(state.lastDetail(), 28u);
    EXPECT_TRUE(answer.untouched(52));
    EXPECT_EQ(pcsc.calls, (Calls{"GetAttrib(0x201, 0x90300, 1)", "EndTransaction(0x201, 0)",
                                 "Reconnect(0x201, 3, 0, 0)"}));
}

struct LengthCorrection {
    const char* name;
    std::uint8_t command;
    Bytes instruction;
    std::uint32_t capacity;
    std::string sent;
};

class ExchangeLengthCorrection : public Exchange, public ::testing::WithParamInterface<LengthCorrection> {};

TEST_P(ExchangeLengthCorrection, SendsTheBytesTheCardExpects)
{
    const LengthCorrection& c = GetParam();
    poweredCard();
    pcsc.queue("TransmitT0", test::bytes({0x90, 0x00}));
    const Answer answer = exchange(concat({0, 1, c.command, 0}, c.instruction), c.capacity);
    EXPECT_EQ(answer.bytes(), (Bytes{0x00, 0x03, 0x03, 0x90, 0x00}));
    EXPECT_EQ(pcsc.calls, Calls{"TransmitT0(0x201, [" + c.sent + "], 265)"});
}

INSTANTIATE_TEST_SUITE_P(
    Instructions, ExchangeLengthCorrection,
    ::testing::Values(
        LengthCorrection{"P3ZeroOnCode00", 0x00, {0x00, 0xB0, 0x00, 0x00, 0x00}, 300, "00 B0 00 00"},
        LengthCorrection{"P3ZeroOnCode01", 0x01, {0x00, 0xB0, 0x00, 0x00, 0x00}, 300, "00 B0 00 00 00"},
        LengthCorrection{"CapacityOf5", 0x01, {0x00, 0xB0, 0x00, 0x00, 0x10}, 5, "00 B0 00 00"},
        LengthCorrection{"P3NonZero", 0x00, {0x00, 0xB0, 0x00, 0x00, 0x10}, 300, "00 B0 00 00 10"},
        LengthCorrection{
            "WithData", 0x00, {0x00, 0xA4, 0x04, 0x00, 0x02, 0x3F, 0x00}, 5, "00 A4 04 00 02 3F 00"},
        LengthCorrection{"HeaderOnly", 0x00, {0x00, 0xB0, 0x00, 0x00}, 300, "00 B0 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Exchange, InstructionCounterZeroOrCurrentIsCarriedOut)
{
    poweredCard();
    pcsc.setDefault("TransmitT0", test::bytes({0x6A, 0x82}));
    for (std::uint8_t counter : {0, 3}) {
        SCOPED_TRACE(counter);
        EXPECT_EQ(exchange({0, 1, 0x00, counter, 0x00, 0xB0, 0x00, 0x00, 0x02}).bytes(),
                  (Bytes{0x00, 0x03, 0x03, 0x6A, 0x82}));
    }
    EXPECT_EQ(exchange({0, 1, 0x00, 2, 0x00, 0xB0, 0x00, 0x00, 0x02}).bytes(), (Bytes{0x16, 0x03, 0x03}));
    EXPECT_EQ(pcsc.callsOf("TransmitT0").size(), 2u);
}

TEST_F(Exchange, InstructionFillingTheSendBufferIsSentWhole)
{
    poweredCard();
    pcsc.queue("TransmitT0", test::bytes(Bytes(258, 0x5A)));
    const Answer answer = exchange(concat({0, 1, 0x01, 0}, Bytes(265, 0x11)));
    EXPECT_EQ(answer.length, 261u);
    EXPECT_EQ(answer.buffer[260], 0x5A);
    ASSERT_EQ(pcsc.callsOf("TransmitT0").size(), 1u);
    EXPECT_EQ(pcsc.calls[0].size(), std::string("TransmitT0(0x201, [], 265)").size() + 265 * 3 - 1);
}

struct TransmitFailure {
    const char* name;
    std::int32_t result;
    // The card after the failure: 0 gone, 1 contacts inactive, 3 still powered.
    int card;
    // Extra scripting of the refresh that follows.
    void (*script)(test::FakePcsc&);
    std::uint16_t status;
    Bytes answer;
};

void nothing(test::FakePcsc&) {}
void readerGone(test::FakePcsc& pcsc)
{
    pcsc.setDefault(test::FakePcsc::attribute(kAttrCardPresence), test::fail(pcsc::kReaderUnavailable));
}
void reconnectionRefused(std::int32_t direct, std::int32_t transaction, test::FakePcsc& pcsc)
{
    pcsc.queue("GetStatusChange", test::polled(pcsc::kStateUnavailable | pcsc::kStateChanged));
    pcsc.queue("Reconnect", test::fail(pcsc::kSharingViolation));
    pcsc.queue("Connect", direct == 0 ? test::connected(0) : test::fail(direct));
    pcsc.queue("BeginTransaction", test::fail(transaction));
}

class ExchangeTransmitFailure : public Exchange, public ::testing::WithParamInterface<TransmitFailure> {};

TEST_P(ExchangeTransmitFailure, IsAnsweredFromTheRefreshedState)
{
    const TransmitFailure& c = GetParam();
    poweredCard();
    if (c.card == 0) cardOut();
    if (c.card == 1) cardIn(kAtrT0, false);
    c.script(pcsc);
    pcsc.queue("TransmitT0", test::fail(c.result));
    const Answer answer = exchange({0, 1, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02});
    EXPECT_EQ(answer.status, c.status);
    if (c.answer.empty())
        EXPECT_TRUE(answer.untouched(300));
    else
        EXPECT_EQ(answer.bytes(), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Results, ExchangeTransmitFailure,
    ::testing::Values(
        TransmitFailure{
            "RemovedCardStillThereUnpowered", pcsc::kRemovedCard, 1, nothing, 0, {0x11, 0x01, 0x04}},
        TransmitFailure{"CommunicationCardGone", pcsc::kCommError, 0, nothing, 0, {0x17, 0x00, 0x04}},
        TransmitFailure{"CommunicationCardUnpowered", pcsc::kCommError, 1, nothing, 0, {0x11, 0x01, 0x04}},
        TransmitFailure{"CommunicationCardPowered", pcsc::kCommError, 3, nothing, 0x0200, {}},
        TransmitFailure{"ReaderUnavailable", pcsc::kCommError, 3, readerGone, 0, {0x10, 0x03, 0x03}},
        TransmitFailure{"RefreshInvalidValue",
                        pcsc::kInternalError,
                        3,
                        [](test::FakePcsc& p) { reconnectionRefused(0, pcsc::kInvalidValue, p); },
                        0,
                        {0x13, 0x03, 0x03}},
        TransmitFailure{"RefreshInsufficientBuffer",
                        pcsc::kInternalError,
                        3,
                        [](test::FakePcsc& p) { reconnectionRefused(pcsc::kInsufficientBuffer, 0, p); },
                        0,
                        {0x13, 0x03, 0x03}},
        TransmitFailure{"RefreshSharingViolation",
                        pcsc::kInternalError,
                        3,
                        [](test::FakePcsc& p) { reconnectionRefused(0, pcsc::kSharingViolation, p); },
                        0x0004,
                        {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The PC/SC calls of the exchange paths whose failure the command reports: the
// reconnection after a card change, the restarted transaction, and the status read
// of the power-on. Card warnings count as success in their conversion.
enum class FailingExchangeCall { Reconnect, Transaction, Status };

class FailingExchange
    : public Exchange,
      public ::testing::WithParamInterface<std::tuple<FailingExchangeCall, test::ResultClass>> {};

TEST_P(FailingExchange, GivesTheConvertedStatusAndWritesNothingOnFailure)
{
    const auto& [call, row] = GetParam();
    holdCard();
    pcsc.setDefault("Status", test::bytes(kAtrT0));
    std::uint16_t expected = row.statusWhenWarningsCount;
    switch (call) {
    case FailingExchangeCall::Reconnect: pcsc.queue("Reconnect", test::fail(row.result)); break;
    case FailingExchangeCall::Transaction: pcsc.queue("BeginTransaction", test::fail(row.result)); break;
    case FailingExchangeCall::Status:
        pcsc.queue("Status", test::fail(row.result));
        // Without an ATR to give, a warning is no success here.
        if (expected == 0) expected = 0x0200;
        break;
    }
    const Answer answer = exchange({0, 1, 0x14, 0});
    EXPECT_EQ(answer.status, expected);
    if (expected != 0)
        EXPECT_TRUE(answer.untouched(300));
    else
        EXPECT_EQ(answer.bytes(), concat({0x00, 0x03, 0x03}, kAtrT0)) << "the refresh went on";
}

// System error 22 converts to a card change with either flag; a card change left at
// the end of an exchange is a card that cannot be used as it stands.
const test::ResultClass kRefusedByTheDriver[] = {{22, 0x0400, 0x0400}};

INSTANTIATE_TEST_SUITE_P(CardChange, FailingExchange,
                         ::testing::Combine(::testing::Values(FailingExchangeCall::Reconnect,
                                                              FailingExchangeCall::Transaction,
                                                              FailingExchangeCall::Status),
                                            ::testing::ValuesIn(kRefusedByTheDriver)));

INSTANTIATE_TEST_SUITE_P(EveryPath, FailingExchange,
                         ::testing::Combine(::testing::Values(FailingExchangeCall::Reconnect,
                                                              FailingExchangeCall::Transaction,
                                                              FailingExchangeCall::Status),
                                            ::testing::ValuesIn(test::kResultClasses)));

}  // namespace
}  // namespace ostrel
