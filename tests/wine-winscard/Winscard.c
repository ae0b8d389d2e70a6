/* A test-only winscard.dll for Wine (Winelib, 32-bit): the WinSCard functions the
 * Windows build imports, each forwarded to the 32-bit pcsc-lite client, so the
 * Windows programs run against a real pcscd. Where pcsc-lite answers otherwise
 * than WinSCard, this library answers as WinSCard does (Conversion.h, and the
 * connection table below). Never shipped: Wine takes it in place of its own stub
 * only in the test prefix (WINEDLLPATH, WINEDLLOVERRIDES). */

#include "Conversion.h"

#include <stdarg.h>

#include <windef.h>
#include <winbase.h>
#include <winscard.h>
#include <winsmcrd.h>

#include <string.h>

#include <stddef.h>

/* The caller's records are read through the layout Conversion.h describes. */
_Static_assert(sizeof(SCARD_READERSTATEA) == sizeof(WscWindowsReaderState), "reader-state size");
_Static_assert(offsetof(SCARD_READERSTATEA, cbAtr) == offsetof(WscWindowsReaderState, atrLength),
               "reader-state ATR length");
_Static_assert(offsetof(SCARD_READERSTATEA, rgbAtr) == offsetof(WscWindowsReaderState, atr),
               "reader-state ATR");

/* pcsc-lite's functions, bound by their ELF names; on i386 its LONG, DWORD and
 * handles are 32-bit like WinSCard's, its calls use the C convention. */
typedef long LiteLong;
typedef unsigned long LiteDword;
#define LITE(name) __asm__(#name)
extern LiteLong liteEstablishContext(LiteDword, const void*, const void*, LiteLong*)
    LITE(SCardEstablishContext);
extern LiteLong liteReleaseContext(LiteLong) LITE(SCardReleaseContext);
extern LiteLong liteIsValidContext(LiteLong) LITE(SCardIsValidContext);
extern LiteLong liteListReaderGroups(LiteLong, char*, LiteDword*) LITE(SCardListReaderGroups);
extern LiteLong liteListReaders(LiteLong, const char*, char*, LiteDword*) LITE(SCardListReaders);
extern LiteLong liteFreeMemory(LiteLong, const void*) LITE(SCardFreeMemory);
extern LiteLong liteConnect(LiteLong, const char*, LiteDword, LiteDword, LiteLong*, LiteDword*)
    LITE(SCardConnect);
extern LiteLong liteReconnect(LiteLong, LiteDword, LiteDword, LiteDword, LiteDword*) LITE(SCardReconnect);
extern LiteLong liteDisconnect(LiteLong, LiteDword) LITE(SCardDisconnect);
extern LiteLong liteBeginTransaction(LiteLong) LITE(SCardBeginTransaction);
extern LiteLong liteEndTransaction(LiteLong, LiteDword) LITE(SCardEndTransaction);
extern LiteLong liteStatus(LiteLong, char*, LiteDword*, LiteDword*, LiteDword*, unsigned char*, LiteDword*)
    LITE(SCardStatus);
extern LiteLong liteGetStatusChange(LiteLong, LiteDword, WscLiteReaderState*, LiteDword)
    LITE(SCardGetStatusChange);
extern LiteLong liteTransmit(LiteLong, const void*, const unsigned char*, LiteDword, void*, unsigned char*,
                             LiteDword*) LITE(SCardTransmit);
extern LiteLong liteGetAttrib(LiteLong, LiteDword, unsigned char*, LiteDword*) LITE(SCardGetAttrib);

/* pcsc-lite's protocol control records: {protocol, length}, as WinSCard's. */
typedef struct {
    LiteDword protocol;
    LiteDword length;
} LiteIoRequest;

/* Share modes, the same numbers on both sides; Wine's headers leave them out. */
#define SHARE_DIRECT 3u

#define LITE_UNSUPPORTED_FEATURE ((LiteLong)0x8010001FL)

const SCARD_IO_REQUEST fwdT0Pci = {SCARD_PROTOCOL_T0, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST fwdT1Pci = {SCARD_PROTOCOL_T1, sizeof(SCARD_IO_REQUEST)};
const SCARD_IO_REQUEST fwdRawPci = {SCARD_PROTOCOL_RAW, sizeof(SCARD_IO_REQUEST)};

/* Every card connection opened through this library: WinSCard keeps a handle
 * across a reconnection that pcsc-lite has to redo as a new connection, and the
 * share mode decides what a removal or a status poll reports. */
#define MAX_CONNECTIONS 64
typedef struct {
    SCARDHANDLE handle; /* the caller's */
    LiteLong lite;      /* pcsc-lite's, after any reopening */
    LiteLong context;
    DWORD shareMode;
    char reader[128];
} Connection;

static Connection connections[MAX_CONNECTIONS];
static CRITICAL_SECTION guard;
static CRITICAL_SECTION_DEBUG guardDebug = {
    0, 0, &guard, {&guardDebug.ProcessLocksList, &guardDebug.ProcessLocksList}, 0, 0, {0}};
static CRITICAL_SECTION guard = {&guardDebug, -1, 0, 0, 0, 0};

static Connection* findConnection(SCARDHANDLE handle)
{
    for (int i = 0; i < MAX_CONNECTIONS; ++i)
        if (connections[i].handle != 0 && connections[i].handle == handle) return &connections[i];
    return NULL;
}

static LiteLong liteHandle(SCARDHANDLE handle)
{
    EnterCriticalSection(&guard);
    const Connection* known = findConnection(handle);
    const LiteLong lite = known != NULL ? known->lite : (LiteLong)handle;
    LeaveCriticalSection(&guard);
    return lite;
}

static DWORD shareModeOf(SCARDHANDLE handle)
{
    EnterCriticalSection(&guard);
    const Connection* known = findConnection(handle);
    const DWORD mode = known != NULL ? known->shareMode : 0;
    LeaveCriticalSection(&guard);
    return mode;
}

static BOOL heldDirect(const char* reader)
{
    BOOL held = FALSE;
    EnterCriticalSection(&guard);
    for (int i = 0; i < MAX_CONNECTIONS && !held; ++i)
        held = connections[i].handle != 0 && connections[i].shareMode == SHARE_DIRECT &&
               strcmp(connections[i].reader, reader) == 0;
    LeaveCriticalSection(&guard);
    return held;
}

static LONG result(LiteLong value)
{
    return wscResultFromLite(value);
}

/* WinSCard lets the listings run without a context; pcsc-lite does not. */
static LiteLong withTemporaryContext(SCARDCONTEXT context, LiteLong* used)
{
    if (context != 0) {
        *used = (LiteLong)context;
        return 0;
    }
    return liteEstablishContext(SCARD_SCOPE_SYSTEM, NULL, NULL, used);
}

LONG WINAPI fwdEstablishContext(DWORD scope, const void* reserved1, const void* reserved2,
                                SCARDCONTEXT* context)
{
    LiteLong value = 0;
    const LiteLong answer = liteEstablishContext(scope, reserved1, reserved2, &value);
    if (context != NULL) *context = answer == 0 ? (SCARDCONTEXT)value : 0;
    return result(answer);
}

LONG WINAPI fwdReleaseContext(SCARDCONTEXT context)
{
    return result(liteReleaseContext((LiteLong)context));
}

LONG WINAPI fwdIsValidContext(SCARDCONTEXT context)
{
    return result(liteIsValidContext((LiteLong)context));
}

LONG WINAPI fwdListReaderGroupsA(SCARDCONTEXT context, char* groups, DWORD* length)
{
    LiteLong used = 0;
    LiteLong answer = withTemporaryContext(context, &used);
    if (answer != 0) return result(answer);
    LiteDword size = *length;
    /* SCARD_AUTOALLOCATE is the same all-ones value on both sides: pcsc-lite then
     * stores its own allocation, which fwdFreeMemory hands back to it. */
    answer = liteListReaderGroups(used, groups, &size);
    *length = size;
    if (context == 0) liteReleaseContext(used);
    return result(answer);
}

LONG WINAPI fwdListReadersA(SCARDCONTEXT context, const char* groups, char* readers, DWORD* length)
{
    LiteLong used = 0;
    LiteLong answer = withTemporaryContext(context, &used);
    if (answer != 0) return result(answer);
    LiteDword size = *length;
    answer = liteListReaders(used, groups, readers, &size);
    *length = size;
    if (context == 0) liteReleaseContext(used);
    return result(answer);
}

LONG WINAPI fwdFreeMemory(SCARDCONTEXT context, const void* memory)
{
    return result(liteFreeMemory((LiteLong)context, memory));
}

LONG WINAPI fwdConnectA(SCARDCONTEXT context, const char* reader, DWORD shareMode, DWORD protocols,
                        SCARDHANDLE* card, DWORD* active)
{
    LiteLong handle = 0;
    LiteDword protocol = 0;
    const LiteLong answer =
        liteConnect((LiteLong)context, reader, shareMode, wscProtocolToLite(protocols), &handle, &protocol);
    if (answer != 0) return result(answer);
    *card = (SCARDHANDLE)handle;
    *active = wscProtocolFromLite(protocol);
    EnterCriticalSection(&guard);
    for (int i = 0; i < MAX_CONNECTIONS; ++i) {
        if (connections[i].handle != 0) continue;
        connections[i].handle = *card;
        connections[i].lite = handle;
        connections[i].context = (LiteLong)context;
        connections[i].shareMode = shareMode;
        lstrcpynA(connections[i].reader, reader, sizeof connections[i].reader);
        break;
    }
    LeaveCriticalSection(&guard);
    return SCARD_S_SUCCESS;
}

LONG WINAPI fwdReconnect(SCARDHANDLE card, DWORD shareMode, DWORD protocols, DWORD initialization,
                         DWORD* active)
{
    LiteDword protocol = 0;
    const LiteLong lite = liteHandle(card);
    LiteLong answer = liteReconnect(lite, shareMode, wscProtocolToLite(protocols), initialization, &protocol);
    EnterCriticalSection(&guard);
    Connection* known = findConnection(card);
    if (answer == 0) {
        if (known != NULL) known->shareMode = shareMode;
        *active = wscProtocolFromLite(protocol);
    } else if (wscReconnectReopensDirect(answer, shareMode) && known != NULL) {
        /* pcsc-lite looks for a card before it looks at the share mode; WinSCard
         * goes to direct mode on an empty reader. Reopen, keeping the handle. */
        liteDisconnect(lite, initialization);
        LiteLong fresh = 0;
        answer = liteConnect(known->context, known->reader, SHARE_DIRECT, wscProtocolToLite(protocols),
                             &fresh, &protocol);
        if (answer == 0) {
            known->lite = fresh;
            known->shareMode = SHARE_DIRECT;
            *active = wscProtocolFromLite(protocol);
        } else {
            known->handle = 0;
        }
    }
    LeaveCriticalSection(&guard);
    return result(answer);
}

LONG WINAPI fwdDisconnect(SCARDHANDLE card, DWORD disposition)
{
    const LiteLong answer = liteDisconnect(liteHandle(card), disposition);
    if (answer == 0) {
        EnterCriticalSection(&guard);
        Connection* known = findConnection(card);
        if (known != NULL) known->handle = 0;
        LeaveCriticalSection(&guard);
    }
    return result(answer);
}

LONG WINAPI fwdBeginTransaction(SCARDHANDLE card)
{
    return result(liteBeginTransaction(liteHandle(card)));
}

LONG WINAPI fwdEndTransaction(SCARDHANDLE card, DWORD disposition)
{
    return result(liteEndTransaction(liteHandle(card), disposition));
}

LONG WINAPI fwdTransmit(SCARDHANDLE card, const SCARD_IO_REQUEST* sendPci, const BYTE* send, DWORD sendLength,
                        SCARD_IO_REQUEST* receivePci, BYTE* receive, DWORD* receiveLength)
{
    /* The protocol control record carries a protocol number, whose raw bit differs. */
    LiteIoRequest sendLite = {0, sizeof(LiteIoRequest)};
    if (sendPci != NULL) sendLite.protocol = wscProtocolToLite(sendPci->dwProtocol);
    LiteIoRequest receiveLite = {0, sizeof(LiteIoRequest)};
    LiteDword size = *receiveLength;
    LiteLong answer = liteTransmit(liteHandle(card), sendPci != NULL ? &sendLite : NULL, send, sendLength,
                                   receivePci != NULL ? &receiveLite : NULL, receive, &size);
    *receiveLength = size;
    if (receivePci != NULL) receivePci->dwProtocol = wscProtocolFromLite(receiveLite.protocol);
    return wscTransmitResultFromLite(answer, shareModeOf(card));
}

LONG WINAPI fwdStatusA(SCARDHANDLE card, char* readers, DWORD* readersLength, DWORD* state, DWORD* protocol,
                       BYTE* atr, DWORD* atrLength)
{
    /* Names and ATR keep their lengths, their SCARD_AUTOALLOCATE and their
     * "too small" answer on both sides; a missing length cell becomes a length
     * query, which pcsc-lite accepts. */
    LiteDword namesSize = readersLength != NULL ? *readersLength : 0;
    LiteDword atrSize = atrLength != NULL ? *atrLength : 0;
    LiteDword liteState = 0;
    LiteDword liteProtocol = 0;
    const LiteLong answer = liteStatus(liteHandle(card), readersLength != NULL ? readers : NULL, &namesSize,
                                       &liteState, &liteProtocol, atrLength != NULL ? atr : NULL, &atrSize);
    if (readersLength != NULL) *readersLength = namesSize;
    if (atrLength != NULL) *atrLength = atrSize;
    if (answer != 0) return result(answer);
    if (state != NULL) *state = wscCardStateFromLite(liteState);
    if (protocol != NULL) *protocol = wscProtocolFromLite(liteProtocol);
    return SCARD_S_SUCCESS;
}

LONG WINAPI fwdGetStatusChangeA(SCARDCONTEXT context, DWORD timeout, SCARD_READERSTATEA* states, DWORD count)
{
    WscWindowsReaderState* windows = (WscWindowsReaderState*)states;
    WscLiteReaderState lite[16];
    if (count > sizeof lite / sizeof lite[0]) return SCARD_E_INVALID_VALUE;
    wscReaderStatesToLite(windows, lite, count);
    LiteLong answer = liteGetStatusChange((LiteLong)context, timeout, lite, count);
    wscReaderStatesFromLite(lite, windows, count);
    int directHeld = 0;
    /* Only an answer about the readers (success or time-out) is rewritten. */
    for (DWORD i = 0; i < count && wscStatusChangeResult(answer, 1) == 0; ++i) {
        if (windows[i].reader == NULL || !heldDirect(windows[i].reader)) continue;
        wscMarkDirectHeld(&windows[i]);
        ++directHeld;
    }
    return wscStatusChangeResult(answer, directHeld);
}

LONG WINAPI fwdGetAttrib(SCARDHANDLE card, DWORD attributeId, BYTE* buffer, DWORD* length)
{
    const LiteLong lite = liteHandle(card);
    LiteDword size = *length == SCARD_AUTOALLOCATE ? SCARD_AUTOALLOCATE : wscAttributeCapacity(*length);
    const LiteLong answer = liteGetAttrib(lite, attributeId, buffer, &size);
    if (answer == LITE_UNSUPPORTED_FEATURE && wscIsStatusAttribute(attributeId) &&
        *length != SCARD_AUTOALLOCATE) {
        DWORD state = 0;
        DWORD protocol = 0;
        BYTE atr[WSC_WINDOWS_ATR_SIZE];
        DWORD atrLength = sizeof atr;
        const LONG status = fwdStatusA(card, NULL, NULL, &state, &protocol, atr, &atrLength);
        if (status != SCARD_S_SUCCESS) return status;
        BYTE value[WSC_WINDOWS_ATR_SIZE];
        const DWORD needed = wscAttributeFromStatus(attributeId, state, atr, atrLength, value);
        const DWORD capacity = *length;
        *length = needed;
        if (needed > capacity) return SCARD_E_INSUFFICIENT_BUFFER;
        memcpy(buffer, value, needed);
        return SCARD_S_SUCCESS;
    }
    *length = size;
    return result(answer);
}

LONG WINAPI fwdIntroduceCardTypeA(SCARDCONTEXT context, const char* name, const GUID* provider,
                                  const GUID* interfaces, DWORD interfaceCount, const BYTE* atr,
                                  const BYTE* mask, DWORD atrLength)
{
    /* pcsc-lite keeps no card-type database: accepted, as a fresh Windows would. */
    (void)context, (void)name, (void)provider, (void)interfaces, (void)interfaceCount, (void)atr, (void)mask,
        (void)atrLength;
    return SCARD_S_SUCCESS;
}
