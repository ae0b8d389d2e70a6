// The built plug-in when the PC/SC service stops under it, and when another program
// uses the same reader: what each command answers, that the channel works again once
// the service is back, and that the other program's card is never reset under it.

#include "PluginOverPcscd.h"

#include <PCSC/winscard.h>

namespace {

using integration::Bytes;
using integration::kPowerOn;
using integration::kPresence;
using integration::PluginOverPcscd;
using virtual_reader::parseHex;

const Bytes kAmbrel = *parseHex(integration::kAmbrelAtr);
const Bytes kRead{0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02};
const Bytes kReadAnswer{0x12, 0x34, 0x90, 0x00};

class PluginService : public PluginOverPcscd {
protected:
    // The card every test starts with: the patient card answering one read.
    bool patientCard()
    {
        return pcscd->insertCard(0, integration::kAmbrelAtr) &&
               pcscd->control(0).ok("script 00B0000002 12349000");
    }
};

TEST_F(PluginService, StoppedServiceIsNeverAPoweredCardAndTheChannelComesBack)
{
    ASSERT_TRUE(patientCard());
    open(1);
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x01, 0x03}));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x00, 0x03, 0x04}, kAmbrel));
    EXPECT_EQ(exchange(1, kRead), withData({0x00, 0x03, 0x04}, kReadAnswer));

    pcscd->stop();
    // The service is gone: no state, only its loss (status 0x800A, detail 2).
    for (const Bytes& request : {kPresence, kPowerOn, kRead}) {
        EXPECT_EQ(exchange(1, request), Bytes{});
        EXPECT_EQ(status, 0x800A);
        EXPECT_EQ(lastDetail(), 2u);
    }

    ASSERT_EQ(pcscd->start(), "");
    ASSERT_TRUE(patientCard());
    // The old context and handle mean nothing to the new service.
    EXPECT_EQ(exchange(1, kPresence), Bytes{});
    EXPECT_NE(status, 0);
    // What the access manager does after such a failure: the channel again.
    exports.disconnect(3, 1);
    ASSERT_EQ(exports.connect(3, 1, ""), 0) << lastDetail();
    ASSERT_EQ(exports.setExclusivity(3, 1, 0), 0) << lastDetail();
    // The same card as before the loss: the record's state and counter stand.
    EXPECT_EQ(exchange(1, kPresence), (Bytes{0x00, 0x03, 0x04}));
    EXPECT_EQ(exchange(1, kPowerOn), withData({0x00, 0x03, 0x04}, kAmbrel));
    EXPECT_EQ(exchange(1, kRead), withData({0x00, 0x03, 0x04}, kReadAnswer));
    EXPECT_EQ(exports.releaseExclusivity(3, 1, 0), 0);
    EXPECT_EQ(exports.disconnect(3, 1), 0);
    EXPECT_EQ(exports.termin(), 0);
}

TEST_F(PluginService, ReaderInUseByAnotherProgramIsReportedAndItsCardKept)
{
    ASSERT_TRUE(patientCard());
    // The other program: a shared connection, as a browser's middleware keeps one.
    SCARDCONTEXT context = 0;
    ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    SCARDHANDLE other = 0;
    DWORD protocol = 0;
    ASSERT_EQ(SCardConnect(context, pcscd->readerName(0).c_str(), SCARD_SHARE_SHARED,
                           SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &other, &protocol),
              SCARD_S_SUCCESS);

    ASSERT_EQ(exports.init(1, config.c_str(), 0), 0) << lastDetail();
    ASSERT_EQ(exports.connect(3, 1, ""), 0) << lastDetail();
    // Reader in use, as on Windows; every call returns (none waits for the other
    // program), and the channel holds nothing to command.
    EXPECT_EQ(exports.setExclusivity(3, 1, 0), 0x0004);
    EXPECT_EQ(lastDetail(), 22u);
    EXPECT_EQ(exchange(1, kPresence), Bytes{});
    EXPECT_EQ(status, 0x0008);
    EXPECT_EQ(exports.setExclusivity(3, 1, 0), 0x0004) << "asked again, the same answer";

    char reader[256];
    DWORD readerLength = sizeof reader;
    DWORD state = 0;
    BYTE atr[MAX_ATR_SIZE];
    DWORD atrLength = sizeof atr;
    EXPECT_EQ(SCardStatus(other, reader, &readerLength, &state, &protocol, atr, &atrLength), SCARD_S_SUCCESS)
        << "the other program's card was not reset";
    BYTE answer[16];
    DWORD answerLength = sizeof answer;
    const BYTE read[] = {0x00, 0xB0, 0x00, 0x00, 0x02};
    EXPECT_EQ(SCardTransmit(other, SCARD_PCI_T0, read, sizeof read, nullptr, answer, &answerLength),
              SCARD_S_SUCCESS);

    // The other program leaves: the channel is taken as usual.
    ASSERT_EQ(SCardDisconnect(other, SCARD_LEAVE_CARD), SCARD_S_SUCCESS);
    SCardReleaseContext(context);
    ASSERT_EQ(exports.setExclusivity(3, 1, 0), 0) << lastDetail();
    const Bytes presence = exchange(1, kPresence);
    ASSERT_EQ(presence.size(), 3u) << status;
    EXPECT_EQ(presence[0], 0x00);
    EXPECT_EQ(presence[1], 0x01);
    EXPECT_EQ(exchange(1, kRead).size(), 7u) << status;
    EXPECT_EQ(exports.releaseExclusivity(3, 1, 0), 0);
    EXPECT_EQ(exports.disconnect(3, 1), 0);
}

}  // namespace
