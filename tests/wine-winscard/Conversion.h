#pragma once
/* What differs between WinSCard and pcsc-lite, for the test-only winscard.dll that
 * lets the Windows build run on pcsc-lite under Wine. Plain C with fixed-width
 * types: the DLL (32-bit, Winelib) and the unit tests (the build machine's own
 * compiler) both compile it, so neither platform's headers come in here. */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The reader-state record as WinSCard lays it out (SCARD_READERSTATEA). */
#define WSC_WINDOWS_ATR_SIZE 36
typedef struct {
    const char* reader;
    void* userData;
    uint32_t currentState;
    uint32_t eventState;
    uint32_t atrLength;
    uint8_t atr[WSC_WINDOWS_ATR_SIZE];
} WscWindowsReaderState;

/* The same record as pcsc-lite lays it out: its DWORD is an unsigned long, and the
 * ATR array is three bytes shorter. */
#define WSC_LITE_ATR_SIZE 33
typedef struct {
    const char* reader;
    void* userData;
    unsigned long currentState;
    unsigned long eventState;
    unsigned long atrLength;
    unsigned char atr[WSC_LITE_ATR_SIZE];
} WscLiteReaderState;

/* Results: the same 32 bits on both sides, but for "unsupported feature", which
 * pcsc-lite reports with WinSCard's code for "unexpected". */
int32_t wscResultFromLite(long result);

/* Protocol masks: T=0 and T=1 share their bits; the raw protocol does not, and
 * WinSCard's "default" request has no pcsc-lite equivalent but "T=0 or T=1". */
uint32_t wscProtocolToLite(uint32_t windowsProtocols);
uint32_t wscProtocolFromLite(unsigned long liteProtocol);

/* SCardStatus's state: pcsc-lite gives a bit mask (under an event counter in the
 * high 16 bits), WinSCard one value of its enumeration, the most advanced state. */
uint32_t wscCardStateFromLite(unsigned long liteState);

/* The reader-state records of a status-change poll, in and out. */
void wscReaderStatesToLite(const WscWindowsReaderState* from, WscLiteReaderState* to, size_t count);
void wscReaderStatesFromLite(const WscLiteReaderState* from, WscWindowsReaderState* to, size_t count);

/* WinSCard's answer for a reader that the caller holds in direct mode: the service
 * stops tracking it, so the poll reports it unavailable and changed at once, where
 * pcsc-lite keeps tracking it (and answers an unchanged reader with a time-out). */
void wscMarkDirectHeld(WscWindowsReaderState* state);

/* A transmission's result: pcscd reports a card pulled during the command as "no
 * card"; WinSCard reports a removed card on a card connection (not on a direct one,
 * which never had a card to lose). */
int32_t wscTransmitResultFromLite(long result, uint32_t shareMode);

/* Whether a failed reconnection is one WinSCard would have carried out: to direct
 * mode on an empty reader, which pcsc-lite refuses as it looks for a card first.
 * The forwarder then reopens the connection in direct mode under the same handle. */
int wscReconnectReopensDirect(long result, uint32_t shareMode);

/* The status poll's result once `directHeld` of the caller's readers were marked
 * with wscMarkDirectHeld: those make it a success, whether pcsc-lite answered
 * success or its time-out for an unchanged reader; other failures stay. */
int32_t wscStatusChangeResult(long result, int directHeld);

/* Attribute buffers: pcsc-lite's client refuses lengths above its message size. */
#define WSC_LITE_MAX_ATTRIBUTE 264
uint32_t wscAttributeCapacity(uint32_t windowsLength);

/* The three attributes that pcsc-lite's reader drivers may leave unanswered, and
 * Windows drivers answer: taken from the handle's status instead. */
int wscIsStatusAttribute(uint32_t attributeId);
/* The attribute's bytes from a card status (WinSCard state enumeration and ATR);
 * the number of bytes written into `out`, which holds at least 36. */
uint32_t wscAttributeFromStatus(uint32_t attributeId, uint32_t windowsState, const uint8_t* atr,
                                uint32_t atrLength, uint8_t* out);

#ifdef __cplusplus
}
#endif
