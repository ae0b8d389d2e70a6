#include "pcsc/WinScard.h"

#include "pcsc/SystemPcsc.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winscard.h>

#include <cstring>
#include <vector>

namespace ostrel::pcsc {

namespace {

std::int32_t result(LONG value)
{
    return static_cast<std::int32_t>(value);
}

GUID toGuid(const std::uint8_t* bytes)
{
    GUID guid;
    static_assert(sizeof guid == 16);
    std::memcpy(&guid, bytes, sizeof guid);
    return guid;
}

}  // namespace

std::unique_ptr<PcscApi> makeSystemPcsc()
{
    return std::make_unique<WinScard>();
}

std::int32_t WinScard::establishContext(std::uint32_t scope, Context* context)
{
    SCARDCONTEXT value = 0;
    const LONG answer = SCardEstablishContext(scope, nullptr, nullptr, &value);
    *context = answer == SCARD_S_SUCCESS ? static_cast<Context>(value) : 0;
    return result(answer);
}

std::int32_t WinScard::releaseContext(Context context)
{
    return result(SCardReleaseContext(static_cast<SCARDCONTEXT>(context)));
}

std::int32_t WinScard::listReaderGroups(Context context, char* groups, std::uint32_t* length)
{
    DWORD size = *length;
    const LONG answer = SCardListReaderGroupsA(static_cast<SCARDCONTEXT>(context), groups, &size);
    *length = size;
    return result(answer);
}

std::int32_t WinScard::listReaders(Context context, const char* groupFilter, char* readers,
                                   std::uint32_t* length)
{
    DWORD size = *length;
    const LONG answer = SCardListReadersA(static_cast<SCARDCONTEXT>(context), groupFilter, readers, &size);
    *length = size;
    return result(answer);
}

std::int32_t WinScard::connect(Context context, const char* reader, std::uint32_t shareMode,
                               std::uint32_t preferredProtocols, Handle* card, std::uint32_t* activeProtocol)
{
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    const LONG answer = SCardConnectA(static_cast<SCARDCONTEXT>(context), reader, shareMode,
                                      preferredProtocols, &handle, &protocol);
    *card = answer == SCARD_S_SUCCESS ? static_cast<Handle>(handle) : 0;
    if (answer == SCARD_S_SUCCESS) *activeProtocol = protocol;
    return result(answer);
}

std::int32_t WinScard::reconnect(Handle* card, std::uint32_t shareMode, std::uint32_t preferredProtocols,
                                 std::uint32_t initialization, std::uint32_t* activeProtocol)
{
    DWORD protocol = 0;
    const LONG answer = SCardReconnect(static_cast<SCARDHANDLE>(*card), shareMode, preferredProtocols,
                                       initialization, &protocol);
    if (answer == SCARD_S_SUCCESS) *activeProtocol = protocol;
    return result(answer);
}

std::int32_t WinScard::disconnect(Handle card, std::uint32_t disposition)
{
    return result(SCardDisconnect(static_cast<SCARDHANDLE>(card), disposition));
}

std::int32_t WinScard::beginTransaction(Handle card)
{
    return result(SCardBeginTransaction(static_cast<SCARDHANDLE>(card)));
}

std::int32_t WinScard::endTransaction(Handle card, std::uint32_t disposition)
{
    return result(SCardEndTransaction(static_cast<SCARDHANDLE>(card), disposition));
}

std::int32_t WinScard::transmitT0(Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                                  std::uint8_t* receive, std::uint32_t* receiveLength)
{
    DWORD size = *receiveLength;
    const LONG answer = SCardTransmit(static_cast<SCARDHANDLE>(card), SCARD_PCI_T0, send, sendLength, nullptr,
                                      receive, &size);
    *receiveLength = size;
    return result(answer);
}

std::int32_t WinScard::status(Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                              std::uint32_t* atrLength)
{
    DWORD readerLength = 0;
    DWORD state = 0;
    DWORD protocol = 0;
    DWORD size = *atrLength;
    const LONG answer =
        SCardStatusA(static_cast<SCARDHANDLE>(card), nullptr, &readerLength, &state, &protocol, atr, &size);
    *atrLength = size;
    if (answer == SCARD_S_SUCCESS) *activeProtocol = protocol;
    return result(answer);
}

std::int32_t WinScard::getStatusChange(Context context, std::uint32_t timeoutMs, ReaderState* states,
                                       std::uint32_t count)
{
    std::vector<SCARD_READERSTATEA> native(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        native[i].szReader = states[i].reader;
        native[i].pvUserData = states[i].userData;
        native[i].dwCurrentState = states[i].currentState;
        native[i].dwEventState = states[i].eventState;
    }
    const LONG answer =
        SCardGetStatusChangeA(static_cast<SCARDCONTEXT>(context), timeoutMs, native.data(), count);
    for (std::uint32_t i = 0; i < count; ++i) {
        states[i].eventState = native[i].dwEventState;
        states[i].atrLength = native[i].cbAtr < kReaderStateAtrSize ? native[i].cbAtr : kReaderStateAtrSize;
        std::memcpy(states[i].atr, native[i].rgbAtr, states[i].atrLength);
    }
    return result(answer);
}

std::int32_t WinScard::getAttrib(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                 std::uint32_t* length)
{
    DWORD size = *length;
    const LONG answer = SCardGetAttrib(static_cast<SCARDHANDLE>(card), attributeId, buffer, &size);
    *length = size;
    return result(answer);
}

std::int32_t WinScard::introduceCardType(Context context, const char* cardName,
                                         const std::uint8_t* primaryProvider, const std::uint8_t* interfaces,
                                         std::uint32_t interfaceCount, const std::uint8_t* atr,
                                         const std::uint8_t* atrMask, std::uint32_t atrLength)
{
    const GUID provider = toGuid(primaryProvider);
    const GUID firstInterface = toGuid(interfaces);
    return result(SCardIntroduceCardTypeA(static_cast<SCARDCONTEXT>(context), cardName, &provider,
                                          &firstInterface, interfaceCount, atr, atrMask, atrLength));
}

}  // namespace ostrel::pcsc
