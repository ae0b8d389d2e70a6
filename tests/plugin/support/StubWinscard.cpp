#include "StubWinscard.h"

#include <algorithm>
#include <cstring>

namespace ostrel::test {

StubWinscard stub;

LONG StubWinscard::next(const std::string& function)
{
    auto& queued = results[function];
    if (queued.empty()) {
        const auto fallback = defaults.find(function);
        return fallback != defaults.end() ? fallback->second : SCARD_S_SUCCESS;
    }
    const LONG result = queued.front();
    queued.pop_front();
    return result;
}

namespace {

std::string number(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%lX", value);
    return text;
}

LONG deliver(const std::string& function, unsigned char* buffer, LPDWORD length)
{
    const LONG result = stub.next(function);
    if (result != SCARD_S_SUCCESS) return result;
    if (stub.data.size() > *length) {
        *length = stub.data.size();
        return SCARD_E_INSUFFICIENT_BUFFER;
    }
    std::copy(stub.data.begin(), stub.data.end(), buffer);
    *length = stub.data.size();
    return SCARD_S_SUCCESS;
}

}  // namespace

}  // namespace ostrel::test

using ostrel::test::stub;

extern "C" {

const SCARD_IO_REQUEST g_rgSCardT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST g_rgSCardRawPci = {SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};

LONG SCardEstablishContext(DWORD scope, LPCVOID, LPCVOID, LPSCARDCONTEXT context)
{
    stub.calls.push_back("SCardEstablishContext(" + std::to_string(scope) + ")");
    const LONG result = stub.next("SCardEstablishContext");
    if (result == SCARD_S_SUCCESS) *context = stub.nextContext++;
    return result;
}

LONG SCardReleaseContext(SCARDCONTEXT context)
{
    stub.calls.push_back("SCardReleaseContext(" + ostrel::test::number(context) + ")");
    return stub.next("SCardReleaseContext");
}

LONG SCardConnect(SCARDCONTEXT context, LPCSTR reader, DWORD share, DWORD protocols, LPSCARDHANDLE card,
                  LPDWORD active)
{
    stub.calls.push_back("SCardConnect(" + ostrel::test::number(context) + ", " + reader + ", " +
                         std::to_string(share) + ", " + std::to_string(protocols) + ")");
    const LONG result = stub.next("SCardConnect");
    if (result == SCARD_S_SUCCESS) {
        *card = stub.nextHandle++;
        *active = protocols == 0 ? 0 : SCARD_PROTOCOL_T0;
    }
    return result;
}

LONG SCardReconnect(SCARDHANDLE card, DWORD share, DWORD protocols, DWORD initialization, LPDWORD active)
{
    stub.calls.push_back("SCardReconnect(" + ostrel::test::number(card) + ", " + std::to_string(share) +
                         ", " + std::to_string(protocols) + ", " + std::to_string(initialization) + ")");
    const LONG result = stub.next("SCardReconnect");
    if (result == SCARD_S_SUCCESS) *active = SCARD_PROTOCOL_T1;
    return result;
}

LONG SCardDisconnect(SCARDHANDLE card, DWORD disposition)
{
    stub.calls.push_back("SCardDisconnect(" + ostrel::test::number(card) + ", " +
                         std::to_string(disposition) + ")");
    return stub.next("SCardDisconnect");
}

LONG SCardBeginTransaction(SCARDHANDLE card)
{
    stub.calls.push_back("SCardBeginTransaction(" + ostrel::test::number(card) + ")");
    return stub.next("SCardBeginTransaction");
}

LONG SCardEndTransaction(SCARDHANDLE card, DWORD disposition)
{
    stub.calls.push_back("SCardEndTransaction(" + ostrel::test::number(card) + ", " +
                         std::to_string(disposition) + ")");
    return stub.next("SCardEndTransaction");
}

LONG SCardStatus(SCARDHANDLE card, LPSTR, LPDWORD, LPDWORD state, LPDWORD protocol, LPBYTE atr,
                 LPDWORD atrLength)
{
    stub.calls.push_back("SCardStatus(" + ostrel::test::number(card) + ", " + std::to_string(*atrLength) +
                         ")");
    *state = stub.statusState;
    *protocol = SCARD_PROTOCOL_T0;
    return ostrel::test::deliver("SCardStatus", atr, atrLength);
}

LONG SCardGetStatusChange(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATE* states, DWORD count)
{
    std::string call =
        "SCardGetStatusChange(" + ostrel::test::number(context) + ", " + std::to_string(timeout);
    for (DWORD i = 0; i < count; ++i) call += ", " + ostrel::test::number(states[i].dwCurrentState);
    stub.calls.push_back(call + ")");
    const LONG result = stub.next("SCardGetStatusChange");
    for (DWORD i = 0; i < count; ++i) {
        states[i].dwEventState = stub.eventState;
        states[i].cbAtr = std::min<DWORD>(stub.data.size(), MAX_ATR_SIZE);
        std::copy_n(stub.data.begin(), states[i].cbAtr, states[i].rgbAtr);
    }
    return result;
}

LONG SCardTransmit(SCARDHANDLE card, const SCARD_IO_REQUEST* pci, LPCBYTE, DWORD sendLength,
                   SCARD_IO_REQUEST*, LPBYTE receive, LPDWORD receiveLength)
{
    stub.calls.push_back("SCardTransmit(" + ostrel::test::number(card) + ", " +
                         (pci == SCARD_PCI_T0 ? "T0" : "other") + ", " + std::to_string(sendLength) + ")");
    return ostrel::test::deliver("SCardTransmit", receive, receiveLength);
}

LONG SCardListReaderGroups(SCARDCONTEXT context, LPSTR groups, LPDWORD length)
{
    stub.calls.push_back("SCardListReaderGroups(" + ostrel::test::number(context) + ", " +
                         std::to_string(*length) + ")");
    return ostrel::test::deliver("SCardListReaderGroups", reinterpret_cast<unsigned char*>(groups), length);
}

LONG SCardListReaders(SCARDCONTEXT context, LPCSTR, LPSTR readers, LPDWORD length)
{
    stub.calls.push_back("SCardListReaders(" + ostrel::test::number(context) + ", " +
                         std::to_string(*length) + ")");
    return ostrel::test::deliver("SCardListReaders", reinterpret_cast<unsigned char*>(readers), length);
}

LONG SCardGetAttrib(SCARDHANDLE card, DWORD id, LPBYTE buffer, LPDWORD length)
{
    stub.calls.push_back("SCardGetAttrib(" + ostrel::test::number(card) + ", " + ostrel::test::number(id) +
                         ", " + std::to_string(*length) + ")");
    return ostrel::test::deliver("SCardGetAttrib", buffer, length);
}

}  // extern "C"
