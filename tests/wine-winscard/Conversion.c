#include "Conversion.h"

#include <string.h>

#define LITE_UNSUPPORTED_FEATURE 0x8010001Fu
#define TIMEOUT 0x8010000Au
#define NO_SMARTCARD 0x8010000Cu
#define REMOVED_CARD 0x80100069u
#define SHARE_DIRECT 3u
#define WINDOWS_UNSUPPORTED_FEATURE 0x80100022u

#define PROTOCOL_T0 0x0001u
#define PROTOCOL_T1 0x0002u
#define LITE_PROTOCOL_RAW 0x0004u
#define WINDOWS_PROTOCOL_RAW 0x00010000u
#define WINDOWS_PROTOCOL_DEFAULT 0x80000000u

#define STATE_CHANGED 0x0002u
#define STATE_UNAVAILABLE 0x0008u

#define ATTRIBUTE_PRESENCE 0x90300u
#define ATTRIBUTE_INTERFACE_STATUS 0x90301u
#define ATTRIBUTE_ATR 0x90303u

/* WinSCard's SCardStatus states. */
enum { WINDOWS_ABSENT = 1, WINDOWS_PRESENT = 2, WINDOWS_SWALLOWED = 3, WINDOWS_POWERED = 4 };

int32_t wscResultFromLite(long result)
{
    const uint32_t bits = (uint32_t)result;
    return (int32_t)(bits == LITE_UNSUPPORTED_FEATURE ? WINDOWS_UNSUPPORTED_FEATURE : bits);
}

uint32_t wscProtocolToLite(uint32_t windowsProtocols)
{
    uint32_t lite = windowsProtocols & (PROTOCOL_T0 | PROTOCOL_T1);
    if (windowsProtocols & WINDOWS_PROTOCOL_RAW) lite |= LITE_PROTOCOL_RAW;
    if (windowsProtocols & WINDOWS_PROTOCOL_DEFAULT) lite |= PROTOCOL_T0 | PROTOCOL_T1;
    return lite;
}

uint32_t wscProtocolFromLite(unsigned long liteProtocol)
{
    uint32_t windows = (uint32_t)liteProtocol & (PROTOCOL_T0 | PROTOCOL_T1);
    if (liteProtocol & LITE_PROTOCOL_RAW) windows |= WINDOWS_PROTOCOL_RAW;
    return windows;
}

uint32_t wscCardStateFromLite(unsigned long liteState)
{
    /* pcsc-lite's bits from SCARD_UNKNOWN (0x1) to SCARD_SPECIFIC (0x40) stand in
     * the order of WinSCard's values 0 to 6: the highest bit set is the state. */
    const uint32_t bits = (uint32_t)liteState & 0x7Fu;
    uint32_t state = 0;
    for (uint32_t value = 1; value <= 6; ++value)
        if (bits & (1u << value)) state = value;
    return state;
}

void wscReaderStatesToLite(const WscWindowsReaderState* from, WscLiteReaderState* to, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        memset(&to[i], 0, sizeof to[i]);
        to[i].reader = from[i].reader;
        to[i].userData = from[i].userData;
        to[i].currentState = from[i].currentState;
        to[i].eventState = from[i].eventState;
    }
}

void wscReaderStatesFromLite(const WscLiteReaderState* from, WscWindowsReaderState* to, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        size_t length = from[i].atrLength;
        if (length > WSC_LITE_ATR_SIZE) length = WSC_LITE_ATR_SIZE;
        to[i].eventState = (uint32_t)from[i].eventState;
        to[i].atrLength = (uint32_t)length;
        memcpy(to[i].atr, from[i].atr, length);
        memset(to[i].atr + length, 0, WSC_WINDOWS_ATR_SIZE - length);
    }
}

void wscMarkDirectHeld(WscWindowsReaderState* state)
{
    state->eventState = (state->eventState & 0xFFFF0000u) | STATE_UNAVAILABLE | STATE_CHANGED;
}

int32_t wscTransmitResultFromLite(long result, uint32_t shareMode)
{
    if ((uint32_t)result == NO_SMARTCARD && shareMode != SHARE_DIRECT) return (int32_t)REMOVED_CARD;
    return wscResultFromLite(result);
}

int wscReconnectReopensDirect(long result, uint32_t shareMode)
{
    return (uint32_t)result == NO_SMARTCARD && shareMode == SHARE_DIRECT;
}

int32_t wscStatusChangeResult(long result, int directHeld)
{
    const uint32_t bits = (uint32_t)result;
    if (directHeld && (bits == 0 || bits == TIMEOUT)) return 0;
    return wscResultFromLite(result);
}

uint32_t wscAttributeCapacity(uint32_t windowsLength)
{
    return windowsLength > WSC_LITE_MAX_ATTRIBUTE ? WSC_LITE_MAX_ATTRIBUTE : windowsLength;
}

int wscIsStatusAttribute(uint32_t attributeId)
{
    return attributeId == ATTRIBUTE_PRESENCE || attributeId == ATTRIBUTE_INTERFACE_STATUS ||
           attributeId == ATTRIBUTE_ATR;
}

uint32_t wscAttributeFromStatus(uint32_t attributeId, uint32_t windowsState, const uint8_t* atr,
                                uint32_t atrLength, uint8_t* out)
{
    if (attributeId == ATTRIBUTE_PRESENCE) {
        out[0] = windowsState >= WINDOWS_PRESENT ? 2 : 0;
        return 1;
    }
    if (attributeId == ATTRIBUTE_INTERFACE_STATUS) {
        out[0] = windowsState >= WINDOWS_POWERED ? 1 : 0;
        return 1;
    }
    if (atrLength > WSC_WINDOWS_ATR_SIZE) atrLength = WSC_WINDOWS_ATR_SIZE;
    memcpy(out, atr, atrLength);
    return atrLength;
}
