// The checks each export makes before its worker, in their order, with the status and
// detail that each failure leaves for ProGetStatus.

#include "ExportGuard.h"
#include "Identification.h"
#include "PluginState.h"

#include "FakePcsc.h"
#include "GuardedPages.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace ostrel {
namespace {

using test::FakePcsc;
using test::GuardedPages;

constexpr char kTwoChannels[] =
    "[PROTOCOLE1]\r\nNomLib=OSTREL.DLL\r\nListeCanaux=5,6\r\n"
    "[CANAL5]\r\nTCanal=3\r\nCaracteristiques=Reader A 00 00\r\nIndex=5\r\n"
    "[CANAL6]\r\nTCanal=3\r\nCaracteristiques=Reader B 00 00\r\nIndex=6\r\n";

class ExportChecks : public ::testing::Test {
protected:
    ExportChecks() : state(pcsc)
    {
        pcsc.setDefault("ListReaderGroups", test::names({"SCard$DefaultReaders"}));
        pcsc.setDefault("ListReaders", test::names({"Reader A 00 00", "Reader B 00 00"}));
    }

    std::uint16_t initialiseWithTwoChannels()
    {
        return state.ProInit(1, dir.write("tuvex.ini", kTwoChannels).c_str(), 0);
    }

    void expectRegisters(std::uint16_t status, std::uint32_t detail)
    {
        EXPECT_EQ(state.lastStatus(), status);
        EXPECT_EQ(state.lastDetail(), detail);
    }

    TempDir dir;
    FakePcsc pcsc;
    PluginState state;
    std::uint8_t request[8] = {0, 1, 0x16, 0};
    std::uint8_t response[64] = {};
    std::uint32_t responseLength = sizeof response;
};

TEST_F(ExportChecks, ProInitRefusesNullOrEmptyPathBeforeAnythingElse)
{
    EXPECT_EQ(state.ProInit(4, nullptr, 0), 0x4000);
    expectRegisters(0x4000, 1);
    EXPECT_EQ(state.ProInit(4, "", 0), 0x4000);
    expectRegisters(0x4000, 1);
    EXPECT_EQ(state.protocolNumber(), 1) << "a refused call stores nothing";
    EXPECT_EQ(state.exclusivityBlock(), nullptr);
}

TEST_F(ExportChecks, ProInitRefusesAPathItCannotRead)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_EQ(state.ProInit(4, reinterpret_cast<const char*>(pages.noAccess()), 0), 0x4000);
    expectRegisters(0x4000, 4);
    // A path running into the hole without a terminator is as unreadable.
    std::memset(pages.tail(8), 'a', 8);
    EXPECT_EQ(state.ProInit(4, reinterpret_cast<const char*>(pages.tail(8)), 0), 0x4000);
    expectRegisters(0x4000, 4);
}

TEST_F(ExportChecks, ProInitStoresProtocolAndAllocatesBlockEvenWhenLoadingFails)
{
    EXPECT_EQ(state.ProInit(0x0102, dir.file("absent.ini").c_str(), 0), 0x800C);
    expectRegisters(0x800C, 10);
    EXPECT_EQ(state.protocolNumber(), 0x0102);
    EXPECT_NE(state.exclusivityBlock(), nullptr);
    EXPECT_FALSE(state.initialised());
}

TEST_F(ExportChecks, SecondProInitKeepsTheExclusivityBlockAndItsMarks)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    ExclusivityBlock* block = state.exclusivityBlock();
    (*block)[5][200] = 1;
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    EXPECT_EQ(state.exclusivityBlock(), block);
    EXPECT_EQ((*block)[5][200], 1);
}

TEST_F(ExportChecks, ChannelTypeAndNumberAreCheckedOnEveryChannelExport)
{
    const std::uint32_t badTypes[] = {0, 2, 4, 0x0302, 0x0300};
    for (std::uint32_t type : badTypes) {
        SCOPED_TRACE(type);
        EXPECT_EQ(state.ProConnect(type, 5, "x"), 0x4000);
        expectRegisters(0x4000, 5);
        EXPECT_EQ(state.ProDisconnect(type, 5), 0x4000);
        EXPECT_EQ(state.ProSetExclusivity(type, 5, 0), 0x4000);
        EXPECT_EQ(state.ProReleaseExclusivity(type, 5, 0), 0x4000);
        EXPECT_EQ(state.ProExchange(type, 5, 0, 0, request, 4, response, &responseLength), 0x4000);
        expectRegisters(0x4000, 5);
    }
    for (std::uint8_t channel : {0, 64, 65, 255}) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(state.ProConnect(3, channel, nullptr), 0x4000);
        expectRegisters(0x4000, 5);
        EXPECT_EQ(state.ProDisconnect(3, channel), 0x4000);
        EXPECT_EQ(state.ProSetExclusivity(3, channel, 1), 0x4000);
        EXPECT_EQ(state.ProReleaseExclusivity(3, channel, 1), 0x4000);
        EXPECT_EQ(state.ProExchange(3, channel, 0, 0, request, 4, response, &responseLength), 0x4000);
        expectRegisters(0x4000, 5);
    }
}

TEST_F(ExportChecks, OnlyTheLowByteOfTheChannelTypeCounts)
{
    // Channel 63 passes the checks and reaches the worker, which does not know it.
    EXPECT_EQ(state.ProConnect(0x0103, 63, nullptr), 0x800F);
    expectRegisters(0x800F, 5);
    EXPECT_EQ(state.ProConnect(0xFFFFFF03u, 1, nullptr), 0x800F);
}

TEST_F(ExportChecks, ConnectionWorkersAnswerUnknownChannelThenTheServicesFailure)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    EXPECT_EQ(state.ProConnect(3, 7, nullptr), 0x800F);
    expectRegisters(0x800F, 5);
    EXPECT_TRUE(pcsc.callsOf("EstablishContext").empty());
    pcsc.queue("EstablishContext", test::fail(pcsc::kInternalError));
    EXPECT_EQ(state.ProConnect(3, 5, nullptr), 0x0001);
    expectRegisters(0x0001, 21);
    EXPECT_EQ(state.connectedFlags()[5], 0) << "no context, no connection";
    // A channel without a context has nothing to disconnect.
    EXPECT_EQ(state.ProDisconnect(3, 6), 0);
    EXPECT_EQ(state.ProDisconnect(3, 7), 0x800F);
    EXPECT_TRUE(pcsc.callsOf("ReleaseContext").empty());
}

TEST_F(ExportChecks, ProExchangeChecksNullsThenMemoryThenChannelThenConnection)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    // Null pointers win over a wrong channel.
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, nullptr, 4, response, &responseLength), 0x4000);
    expectRegisters(0x4000, 1);
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, request, 4, nullptr, &responseLength), 0x4000);
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, request, 4, response, nullptr), 0x4000);
    expectRegisters(0x4000, 1);
    // Then unreadable request or unusable response, still before the channel.
    std::uint8_t* shortRequest = pages.tail(3);
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, shortRequest, 4, response, &responseLength), 0x0010);
    expectRegisters(0x0010, 4);
    std::uint32_t capacity = 17;
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, request, 4, pages.tail(16), &capacity), 0x0010);
    expectRegisters(0x0010, 4);
    // Then the channel, then the connection.
    EXPECT_EQ(state.ProExchange(9, 0, 0, 0, request, 4, response, &responseLength), 0x4000);
    expectRegisters(0x4000, 5);
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, request, 4, response, &responseLength), 0x0008);
    expectRegisters(0x0008, 2);
}

TEST_F(ExportChecks, ProExchangeWithZeroRequestLengthSkipsOnlyTheRequestReadCheck)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, nullptr, 0, response, &responseLength), 0x4000);
    expectRegisters(0x4000, 1);
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, pages.noAccess(), 0, response, &responseLength), 0x0008);
    expectRegisters(0x0008, 2);
}

TEST_F(ExportChecks, ProExchangeRefusesResponseItCannotWriteOrLengthCellItCannotUse)
{
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    std::uint32_t capacity = 8;
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, request, 4, pages.readOnly(), &capacity), 0x0010);
    expectRegisters(0x0010, 4);
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, request, 4, response,
                                reinterpret_cast<std::uint32_t*>(pages.noAccess())),
              0x0010);
    // A capacity of 0 needs no response area at all.
    capacity = 0;
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, request, 4, pages.noAccess(), &capacity), 0x0008);
}

TEST_F(ExportChecks, ProExchangeOnConnectedChannelReachesTheWorker)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    state.connectedFlags()[5] = 1;
    state.connectedFlags()[9] = 1;
    EXPECT_EQ(state.ProExchange(3, 9, 0, 0, request, 4, response, &responseLength), 0x800F);
    expectRegisters(0x800F, 5);
    // Flagged as connected, but without a context or card handle in its record.
    EXPECT_EQ(state.ProExchange(3, 5, 0, 0, request, 4, response, &responseLength), 0x0008);
    expectRegisters(0x0008, 14);
    EXPECT_EQ(responseLength, sizeof response);
}

TEST_F(ExportChecks, ExclusivityExportsReportMissingConnectionAsBadArgument)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    EXPECT_EQ(state.ProSetExclusivity(3, 5, 7), 0x4000);
    expectRegisters(0x4000, 2);
    EXPECT_EQ(state.ProReleaseExclusivity(3, 5, 7), 0x4000);
    expectRegisters(0x4000, 2);
    state.connectedFlags()[5] = 1;
    state.connectedFlags()[8] = 1;
    EXPECT_EQ(state.ProSetExclusivity(3, 8, 7), 0x800F);
    // The workers find no context in the record.
    EXPECT_EQ(state.ProSetExclusivity(3, 5, 7), 0x0008);
    expectRegisters(0x0008, 14);
    EXPECT_EQ((*state.exclusivityBlock())[5][7], 0) << "a failed worker sets no mark";
    (*state.exclusivityBlock())[5][7] = 1;
    EXPECT_EQ(state.ProReleaseExclusivity(3, 5, 7), 0x0008);
    EXPECT_EQ((*state.exclusivityBlock())[5][7], 1) << "a failed worker clears no mark";
}

TEST_F(ExportChecks, ProGetStatusReportsTheFailureOnceThenStatusZero)
{
    ASSERT_EQ(state.ProConnect(2, 5, nullptr), 0x4000);
    std::uint16_t status = 0xEEEE;
    std::uint32_t detail = 0xEEEEEEEE;
    char text[16];
    std::memset(text, 'z', sizeof text);
    EXPECT_EQ(state.ProGetStatus(&status, &detail, text), 0);
    EXPECT_EQ(status, 0x4000);
    EXPECT_EQ(detail, 5u);
    EXPECT_EQ(std::string(text, 12), std::string("Erreur PCSC\0", 12));
    EXPECT_EQ(text[12], 'z') << "nothing beyond the terminator";
    EXPECT_EQ(state.ProGetStatus(&status, &detail, text), 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(detail, 5u);
}

TEST_F(ExportChecks, ProGetStatusRefusesNullAndUnwritableCells)
{
    std::uint16_t status = 0;
    std::uint32_t detail = 0;
    char text[12];
    state.SetLastStatus(3);
    EXPECT_EQ(state.ProGetStatus(nullptr, &detail, text), 0x4000);
    expectRegisters(0x4000, 1);
    EXPECT_EQ(state.ProGetStatus(&status, nullptr, text), 0x4000);
    EXPECT_EQ(state.ProGetStatus(&status, &detail, nullptr), 0x4000);
    expectRegisters(0x4000, 1);
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_EQ(state.ProGetStatus(&status, &detail, reinterpret_cast<char*>(pages.tail(11))), 0x4000);
    expectRegisters(0x4000, 4);
    EXPECT_EQ(state.ProGetStatus(reinterpret_cast<std::uint16_t*>(pages.readOnly()), &detail, text), 0x4000);
}

TEST_F(ExportChecks, ProIdentifyBeforeProInitReportsProtocolOne)
{
    unsigned char record[120];
    std::memset(record, 0xCC, sizeof record);
    state.SetLastStatus(26);
    EXPECT_EQ(state.ProIdentify(record), 0);
    expectRegisters(0, 26);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(record)), "Protocole PCSC-TUVEX");
    EXPECT_EQ(record[20], 0);
    for (int i = 21; i < 100; ++i) ASSERT_EQ(record[i], 0xCC) << "byte " << i;
    const unsigned char tail[] = {0x01, 0x00, '0', '1', '0', '9'};
    EXPECT_EQ(std::memcmp(record + 100, tail, sizeof tail), 0);
    EXPECT_EQ(record[106], 0xCC) << "the record is 106 bytes";
}

TEST_F(ExportChecks, ProIdentifyReportsTheProtocolNumberLittleEndian)
{
    unsigned char record[106] = {};
    state.ProInit(0x0A0B, dir.file("absent.ini").c_str(), 0);
    EXPECT_EQ(state.ProIdentify(record), 0);
    EXPECT_EQ(record[100], 0x0B);
    EXPECT_EQ(record[101], 0x0A);
}

TEST_F(ExportChecks, ProIdentifyRefusesNullAndInaccessibleRecords)
{
    EXPECT_EQ(state.ProIdentify(nullptr), 0x4000);
    expectRegisters(0x4000, 1);
    GuardedPages pages;
    ASSERT_TRUE(pages.ok());
    EXPECT_EQ(state.ProIdentify(pages.tail(105)), 0x4000);
    expectRegisters(0x4000, 4);
    EXPECT_EQ(state.ProIdentify(pages.readOnly()), 0x4000);
    EXPECT_EQ(state.ProIdentify(pages.noAccess()), 0x4000);
    EXPECT_EQ(state.ProIdentify(pages.tail(106)), 0) << "exactly 106 bytes are enough";
}

TEST_F(ExportChecks, ProTerminWithoutSuccessfulProInitReportsNotInitialised)
{
    EXPECT_EQ(state.ProTermin(), 0x800A);
    expectRegisters(0x800A, 2);
    state.ProInit(1, dir.file("absent.ini").c_str(), 0);
    EXPECT_EQ(state.ProTermin(), 0x800A);
    EXPECT_EQ(state.exclusivityBlock(), nullptr) << "the block is freed all the same";
}

TEST_F(ExportChecks, ProTerminClearsTheTableAndFreesTheBlock)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    ASSERT_NE(state.FindChannel(5), nullptr);
    EXPECT_EQ(state.ProTermin(), 0);
    expectRegisters(0, 0);
    EXPECT_EQ(state.FindChannel(5), nullptr);
    EXPECT_EQ(state.channelTable()[0].cardCounter, 0) << "the whole table is zeroed";
    EXPECT_EQ(state.exclusivityBlock(), nullptr);
    // Initialised is never cleared: a second ProTermin still succeeds.
    EXPECT_EQ(state.ProTermin(), 0);
}

TEST_F(ExportChecks, ProTerminDoesNotReportTheResultsOfItsDisconnections)
{
    ASSERT_EQ(initialiseWithTwoChannels(), 0);
    state.connectedFlags()[5] = 1;
    (*state.exclusivityBlock())[5][3] = 1;
    // The release finds no context and fails; ProTermin still reports only the table
    // clearing.
    EXPECT_EQ(state.ProTermin(), 0);
    expectRegisters(0, 0);
}

TEST(ExportGuard, ExceptionsAreAnsweredAsInternalError)
{
    FakePcsc pcsc;
    PluginState state(pcsc);
    PluginState* current = &state;
    EXPECT_EQ(answerWithoutThrowing(current, [] { return std::uint16_t{0x800C}; }), 0x800C);
    state.SetLastStatus(3);
    EXPECT_EQ(answerWithoutThrowing(current, []() -> std::uint16_t { throw std::bad_alloc(); }), 0x0001);
    EXPECT_EQ(state.lastStatus(), 0x0001);
    EXPECT_EQ(state.lastDetail(), 21u);

    // The module state is created by the first call; a throw after that still lands
    // in its registers, a throw before it has none to land in.
    PluginState* notYet = nullptr;
    state.SetLastStatus(0);
    EXPECT_EQ(answerWithoutThrowing(notYet,
                                    [&]() -> std::uint16_t {
                                        notYet = &state;
                                        throw std::runtime_error("late");
                                    }),
              0x0001);
    EXPECT_EQ(state.lastDetail(), 21u);
    PluginState* never = nullptr;
    EXPECT_EQ(answerWithoutThrowing(never, []() -> std::uint16_t { throw 1; }), 0x0001);
}

}  // namespace
}  // namespace ostrel
