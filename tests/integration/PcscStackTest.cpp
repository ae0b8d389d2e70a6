// The virtual reader through the real pcsc-lite client and a private pcscd, then the
// plug-in's pcsc-lite layer on the same stack: the Windows behaviours it emulates
// must hold against the real service, not only against a stand-in.

#include "PcscdTest.h"
#include "VirtualReader.h"
#include "pcsc/PcscLite.h"

#include <PCSC/reader.h>
#include <PCSC/winscard.h>

#include <cstring>
#include <vector>

namespace {

using integration::PcscdTest;
using virtual_reader::Bytes;
using virtual_reader::parseHex;

class VirtualReaderOverPcscd : public PcscdTest {
protected:
    void SetUp() override
    {
        PcscdTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    }
    void TearDown() override
    {
        if (context != 0) SCardReleaseContext(context);
        PcscdTest::TearDown();
    }

    LONG connect(std::size_t reader, DWORD share, DWORD protocols = SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1)
    {
        return SCardConnect(context, pcscd->readerName(reader).c_str(), share, protocols, &card, &protocol);
    }

    Bytes attribute(DWORD id, LONG& result)
    {
        BYTE buffer[MAX_BUFFER_SIZE];
        DWORD length = sizeof buffer;
        result = SCardGetAttrib(card, id, buffer, &length);
        return result == SCARD_S_SUCCESS ? Bytes(buffer, buffer + length) : Bytes{};
    }

    Bytes transmit(const Bytes& instruction, LONG& result)
    {
        BYTE answer[265];
        DWORD length = sizeof answer;
        result = SCardTransmit(card, SCARD_PCI_T0, instruction.data(), instruction.size(), nullptr, answer,
                               &length);
        return result == SCARD_S_SUCCESS ? Bytes(answer, answer + length) : Bytes{};
    }

    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
};

TEST_F(VirtualReaderOverPcscd, EveryCardOfTheTableAndAStrangerPowerUpWithTheirAtrOnT0)
{
    for (const char* atrText :
         {integration::kAmbrelAtr, integration::kCps1TestAtr, "3BAC00402A001225006480000110009000",
          integration::kCps2TestAtr, "3BAC00402A001225006480820212009000", "3F65250838046C9000",
          "3B27008065A206010137", integration::kUnknownAtr}) {
        SCOPED_TRACE(atrText);
        ASSERT_TRUE(pcscd->replaceCard(0, atrText));
        ASSERT_EQ(connect(0, SCARD_SHARE_SHARED), SCARD_S_SUCCESS);
        EXPECT_EQ(protocol, static_cast<DWORD>(SCARD_PROTOCOL_T0));
        BYTE atr[MAX_ATR_SIZE];
        DWORD atrLength = sizeof atr;
        DWORD state = 0;
        DWORD active = 0;
        DWORD nameLength = 0;
        ASSERT_EQ(SCardStatus(card, nullptr, &nameLength, &state, &active, atr, &atrLength), SCARD_S_SUCCESS);
        EXPECT_EQ(Bytes(atr, atr + atrLength), *parseHex(atrText));
        EXPECT_NE(state & SCARD_POWERED, 0u);
        EXPECT_EQ(SCardDisconnect(card, SCARD_LEAVE_CARD), SCARD_S_SUCCESS);
    }
}

TEST_F(VirtualReaderOverPcscd, AnswersEveryAttributeThePluginReadsOrNoneAtAll)
{
    struct Case {
        DWORD id;
        Bytes value;
    };
    const std::vector<Case> cases = {
        {SCARD_ATTR_VENDOR_NAME,
         Bytes{'T', 'o', 'o', 'l', 'k', 'i', 't', ' ', 'V', 'i', 'r', 't', 'u', 'a', 'l'}},
        {SCARD_ATTR_VENDOR_IFD_TYPE, *parseHex("5669727475616C20543D3020726561646572")},
        {SCARD_ATTR_VENDOR_IFD_VERSION, {0x03, 0x00, 0x02, 0x01}},
        {SCARD_ATTR_CHANNEL_ID, {0x00, 0x00, 0xF0, 0x00}},
        {SCARD_ATTR_DEFAULT_CLK, {0xFC, 0x0D, 0x00, 0x00}},
        {SCARD_ATTR_MAX_CLK, {0xC0, 0x12, 0x00, 0x00}},
        {SCARD_ATTR_DEFAULT_DATA_RATE, {0x80, 0x25, 0x00, 0x00}},
        {SCARD_ATTR_MAX_DATA_RATE, {0x00, 0xC2, 0x01, 0x00}},
        {SCARD_ATTR_POWER_MGMT_SUPPORT, {0x01, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_CHARACTERISTICS, {0x00, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_CURRENT_PROTOCOL_TYPE, {0x01, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_CURRENT_BWT, {0x40, 0x1F, 0x00, 0x00}},
        {SCARD_ATTR_CURRENT_CWT, {0x0D, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_CURRENT_W, {0x0A, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_CURRENT_N, {0x00, 0x00, 0x00, 0x00}},
        {SCARD_ATTR_ICC_PRESENCE, {0x02}},
        {SCARD_ATTR_ICC_INTERFACE_STATUS, {0x01}},
        {SCARD_ATTR_ATR_STRING, *parseHex(integration::kAmbrelAtr)},
        {SCARD_ATTR_ICC_TYPE_PER_ATR, {0x01}},
    };
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    ASSERT_EQ(connect(0, SCARD_SHARE_EXCLUSIVE), SCARD_S_SUCCESS);
    for (const auto& c : cases) {
        LONG result = 0;
        EXPECT_EQ(attribute(c.id, result), c.value) << std::hex << c.id;
        EXPECT_EQ(result, SCARD_S_SUCCESS) << std::hex << c.id;
    }
    ASSERT_TRUE(pcscd->control(0).ok("attributes off"));
    for (const auto& c : cases) {
        LONG result = 0;
        attribute(c.id, result);
        EXPECT_EQ(static_cast<std::uint32_t>(result), 0x8010001Fu) << std::hex << c.id;
    }
}

TEST_F(VirtualReaderOverPcscd, TransmitsScriptedInstructionsByteForByteOnEachReader)
{
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    ASSERT_TRUE(pcscd->insertCard(1, integration::kCps2TestAtr));
    ASSERT_TRUE(pcscd->control(1).ok("script 00B0000004 010203049000"));
    ASSERT_EQ(connect(1, SCARD_SHARE_EXCLUSIVE), SCARD_S_SUCCESS);
    LONG result = 0;
    EXPECT_EQ(transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, result), (Bytes{1, 2, 3, 4, 0x90, 0x00}));
    EXPECT_EQ(result, SCARD_S_SUCCESS);
    EXPECT_EQ(transmit({0x00, 0xB0, 0x00, 0x00}, result), (Bytes{0x6D, 0x00}));
    // A card answer is relayed as it is: no GET RESPONSE on the way.
    ASSERT_TRUE(pcscd->control(1).ok("script 00A4040002 6105"));
    EXPECT_EQ(transmit({0x00, 0xA4, 0x04, 0x00, 0x02}, result), (Bytes{0x61, 0x05}));
    const std::string status = pcscd->control(1).send("status");
    EXPECT_EQ(status.rfind("ok present=1 powered=1 protocol=1 transmits=3 polls=", 0), 0u) << status;
    EXPECT_NE(status.find(" last=00A4040002"), std::string::npos) << status;
    // The other reader's card saw nothing and has its own channel identifier.
    EXPECT_NE(pcscd->control(0).send("status").find(" transmits=0 "), std::string::npos);
    ASSERT_EQ(SCardDisconnect(card, SCARD_LEAVE_CARD), SCARD_S_SUCCESS);
    ASSERT_EQ(connect(0, SCARD_SHARE_SHARED), SCARD_S_SUCCESS);
    EXPECT_EQ(attribute(SCARD_ATTR_CHANNEL_ID, result), (Bytes{0x00, 0x00, 0xF0, 0x00}));
}

TEST_F(VirtualReaderOverPcscd, AnEmptyReaderTakesOnlyADirectConnection)
{
    EXPECT_EQ(connect(0, SCARD_SHARE_SHARED), SCARD_E_NO_SMARTCARD);
    ASSERT_EQ(connect(0, SCARD_SHARE_DIRECT, 0), SCARD_S_SUCCESS);
    LONG result = 0;
    EXPECT_EQ(attribute(SCARD_ATTR_ICC_PRESENCE, result), Bytes{0x00});
    EXPECT_EQ(attribute(SCARD_ATTR_ATR_STRING, result), Bytes{});
    EXPECT_EQ(result, SCARD_S_SUCCESS);
}

TEST_F(VirtualReaderOverPcscd, ACardPulledDuringAnInstructionEmptiesTheReader)
{
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    ASSERT_EQ(connect(0, SCARD_SHARE_EXCLUSIVE), SCARD_S_SUCCESS);
    ASSERT_TRUE(pcscd->control(0).ok("fail-next-transmit"));
    LONG result = 0;
    transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, result);
    EXPECT_EQ(result, SCARD_E_NO_SMARTCARD);
    ASSERT_TRUE(pcscd->waitForCard(0, false));
    // Later calls on the handle say "removed", or "no card" again when pcscd marked
    // the slot empty itself before its event thread looked.
    transmit({0x00, 0xB0, 0x00, 0x00, 0x04}, result);
    EXPECT_TRUE(result == SCARD_W_REMOVED_CARD || result == SCARD_E_NO_SMARTCARD) << std::hex << result;
}

// The plug-in's pcsc-lite layer on the real service.
class PcscLiteOverPcscd : public PcscdTest {
protected:
    void SetUp() override
    {
        PcscdTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(pcsc.establishContext(ostrel::pcsc::kScopeSystem, &context), ostrel::pcsc::kSuccess);
    }
    void TearDown() override
    {
        if (context != 0) pcsc.releaseContext(context);
        PcscdTest::TearDown();
    }

    ostrel::pcsc::PcscLite pcsc;
    ostrel::pcsc::Context context = 0;
    ostrel::pcsc::Handle card = 0;
    std::uint32_t protocol = 0;
};

TEST_F(PcscLiteOverPcscd, ListsReadersAndGroupsWithoutAContext)
{
    char list[1024];
    std::uint32_t length = sizeof list;
    ASSERT_EQ(pcsc.listReaders(0, nullptr, list, &length), ostrel::pcsc::kSuccess);
    std::vector<std::string> names;
    for (const char* p = list; *p != '\0'; p += std::strlen(p) + 1) names.emplace_back(p);
    EXPECT_EQ(names, (std::vector<std::string>{pcscd->readerName(0), pcscd->readerName(1)}));
    length = sizeof list;
    ASSERT_EQ(pcsc.listReaderGroups(0, list, &length), ostrel::pcsc::kSuccess);
    EXPECT_STREQ(list, "SCard$DefaultReaders");
}

TEST_F(PcscLiteOverPcscd, ReportsACardPulledMidInstructionAsRemovedAndReopensDirectOnTheEmptyReader)
{
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    const std::string& reader = pcscd->readerName(0);
    ASSERT_EQ(pcsc.connect(context, reader.c_str(), ostrel::pcsc::kShareExclusive, 3, &card, &protocol),
              ostrel::pcsc::kSuccess);
    ASSERT_TRUE(pcscd->control(0).ok("fail-next-transmit"));
    const std::uint8_t instruction[] = {0x00, 0xB0, 0x00, 0x00, 0x04};
    std::uint8_t answer[265];
    std::uint32_t answerLength = sizeof answer;
    EXPECT_EQ(pcsc.transmitT0(card, instruction, sizeof instruction, answer, &answerLength),
              ostrel::pcsc::kRemovedCard);
    ASSERT_TRUE(pcscd->waitForCard(0, false));
    // pcsc-lite refuses this reconnection on an empty reader; Windows grants it.
    ASSERT_EQ(pcsc.reconnect(&card, ostrel::pcsc::kShareDirect, 0, ostrel::pcsc::kLeaveCard, &protocol),
              ostrel::pcsc::kSuccess);
    EXPECT_NE(card, 0u);
    EXPECT_EQ(pcsc.beginTransaction(card), ostrel::pcsc::kSuccess);
    EXPECT_EQ(pcsc.endTransaction(card, ostrel::pcsc::kLeaveCard), ostrel::pcsc::kSuccess);
    EXPECT_EQ(pcsc.disconnect(card, ostrel::pcsc::kLeaveCard), ostrel::pcsc::kSuccess);
}

TEST_F(PcscLiteOverPcscd, PollReportsAReaderHeldInDirectModeUnavailableAsWindowsDoes)
{
    ASSERT_TRUE(pcscd->insertCard(0, integration::kAmbrelAtr));
    ASSERT_TRUE(pcscd->insertCard(1, integration::kAmbrelAtr));
    ostrel::pcsc::ReaderState states[2];
    states[0].reader = pcscd->readerName(0).c_str();
    states[1].reader = pcscd->readerName(1).c_str();
    for (auto& s : states) s.currentState = ostrel::pcsc::kStatePresent;
    ASSERT_EQ(pcsc.connect(context, states[0].reader, ostrel::pcsc::kShareDirect, 0, &card, &protocol),
              ostrel::pcsc::kSuccess);
    // pcscd sees no change and answers a time-out; the emulation answers as WinSCard.
    EXPECT_EQ(pcsc.getStatusChange(context, 0, states, 2), ostrel::pcsc::kSuccess);
    EXPECT_EQ(
        states[0].eventState & 0xFFFFu & (ostrel::pcsc::kStateUnavailable | ostrel::pcsc::kStateChanged),
        ostrel::pcsc::kStateUnavailable | ostrel::pcsc::kStateChanged);
    EXPECT_EQ(states[1].eventState & ostrel::pcsc::kStateUnavailable, 0u);
    EXPECT_NE(states[1].eventState & ostrel::pcsc::kStatePresent, 0u);
    EXPECT_EQ(pcsc.disconnect(card, ostrel::pcsc::kLeaveCard), ostrel::pcsc::kSuccess);
}

}  // namespace
