#pragma once
// The PC/SC seam: one method per PC/SC call the plug-in makes. Results carry the
// 32-bit bit patterns of WinSCard (SCARD_E_NO_SMARTCARD is 0x8010000C as a signed
// 32-bit value on every platform), so the conversion table is platform-free.
// Contexts and card handles are wide enough for the platform's own values.

#include <cstdint>

namespace ostrel::pcsc {

using Context = std::uintptr_t;
using Handle = std::uintptr_t;

constexpr std::int32_t code(std::uint32_t bits)
{
    return static_cast<std::int32_t>(bits);
}

inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kInternalError = code(0x80100001u);
inline constexpr std::int32_t kInvalidHandle = code(0x80100003u);
inline constexpr std::int32_t kInsufficientBuffer = code(0x80100008u);
inline constexpr std::int32_t kUnknownReader = code(0x80100009u);
inline constexpr std::int32_t kTimeout = code(0x8010000Au);
inline constexpr std::int32_t kSharingViolation = code(0x8010000Bu);
inline constexpr std::int32_t kNoSmartcard = code(0x8010000Cu);
inline constexpr std::int32_t kInvalidValue = code(0x80100011u);
inline constexpr std::int32_t kCommError = code(0x80100013u);
inline constexpr std::int32_t kUnknownError = code(0x80100014u);
inline constexpr std::int32_t kNotTransacted = code(0x80100016u);
inline constexpr std::int32_t kReaderUnavailable = code(0x80100017u);
inline constexpr std::int32_t kNoService = code(0x8010001Du);
inline constexpr std::int32_t kServiceStopped = code(0x8010001Eu);
inline constexpr std::int32_t kUnsupportedFeature = code(0x8010001Fu);
inline constexpr std::int32_t kNoReadersAvailable = code(0x8010002Eu);
inline constexpr std::int32_t kUnsupportedCard = code(0x80100065u);
inline constexpr std::int32_t kUnresponsiveCard = code(0x80100066u);
inline constexpr std::int32_t kUnpoweredCard = code(0x80100067u);
inline constexpr std::int32_t kResetCard = code(0x80100068u);
inline constexpr std::int32_t kRemovedCard = code(0x80100069u);
// Windows system error a reader driver passes through when the slot is empty.
inline constexpr std::int32_t kSystemNoMedia = 1112;

// The service stopped, or was restarted and no longer knows this process's contexts
// and handles (the plug-in only ever passes ones that were valid): nothing but a new
// context works again.
constexpr bool isServiceLoss(std::int32_t result)
{
    return result == kNoService || result == kServiceStopped || result == kInvalidHandle;
}

inline constexpr std::uint32_t kScopeSystem = 2;

inline constexpr std::uint32_t kShareExclusive = 1;
inline constexpr std::uint32_t kShareShared = 2;
inline constexpr std::uint32_t kShareDirect = 3;

inline constexpr std::uint32_t kProtocolNone = 0;
inline constexpr std::uint32_t kProtocolT0 = 1;
inline constexpr std::uint32_t kProtocolT1 = 2;

inline constexpr std::uint32_t kLeaveCard = 0;
inline constexpr std::uint32_t kResetCardDisposition = 1;
inline constexpr std::uint32_t kUnpowerCard = 2;
inline constexpr std::uint32_t kEjectCard = 3;

inline constexpr std::uint32_t kStateUnaware = 0x0000;
inline constexpr std::uint32_t kStateChanged = 0x0002;
inline constexpr std::uint32_t kStateUnknown = 0x0004;
inline constexpr std::uint32_t kStateUnavailable = 0x0008;
inline constexpr std::uint32_t kStateEmpty = 0x0010;
inline constexpr std::uint32_t kStatePresent = 0x0020;
inline constexpr std::uint32_t kStateExclusive = 0x0080;
inline constexpr std::uint32_t kStateInUse = 0x0100;
inline constexpr std::uint32_t kStateMute = 0x0200;
// The service's event counter rides in the upper half of a reader state.
inline constexpr std::uint32_t kStateCounterMask = 0xFFFF0000u;

// Size of the ATR array of the Windows reader-state record; pcsc-lite's is 33.
inline constexpr std::uint32_t kReaderStateAtrSize = 36;

// The reader-state record of the status-change poll, laid out by meaning rather than
// by any platform's struct: each implementation copies it in and out.
struct ReaderState {
    const char* reader = nullptr;
    void* userData = nullptr;
    std::uint32_t currentState = 0;
    std::uint32_t eventState = 0;
    std::uint32_t atrLength = 0;
    std::uint8_t atr[kReaderStateAtrSize] = {};
};

class PcscApi {
public:
    virtual ~PcscApi() = default;

    virtual std::int32_t establishContext(std::uint32_t scope, Context* context) = 0;
    virtual std::int32_t releaseContext(Context context) = 0;
    // `length`: capacity of `groups` in, bytes of the double-NUL list out. A context of
    // 0 is accepted, as WinSCard accepts it.
    virtual std::int32_t listReaderGroups(Context context, char* groups, std::uint32_t* length) = 0;
    // `groupFilter` null lists the readers of every group. A context of 0 is accepted.
    virtual std::int32_t listReaders(Context context, const char* groupFilter, char* readers,
                                     std::uint32_t* length) = 0;
    virtual std::int32_t connect(Context context, const char* reader, std::uint32_t shareMode,
                                 std::uint32_t preferredProtocols, Handle* card,
                                 std::uint32_t* activeProtocol) = 0;
    // The handle is in-out: an implementation that must reopen the connection to give
    // the caller WinSCard's behaviour hands back the new handle.
    virtual std::int32_t reconnect(Handle* card, std::uint32_t shareMode, std::uint32_t preferredProtocols,
                                   std::uint32_t initialization, std::uint32_t* activeProtocol) = 0;
    virtual std::int32_t disconnect(Handle card, std::uint32_t disposition) = 0;
    virtual std::int32_t beginTransaction(Handle card) = 0;
    virtual std::int32_t endTransaction(Handle card, std::uint32_t disposition) = 0;
    // Transmission with the T=0 protocol control information; `receiveLength` is the
    // capacity of `receive` in and the answer's length out.
    virtual std::int32_t transmitT0(Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                                    std::uint8_t* receive, std::uint32_t* receiveLength) = 0;
    // The card status: its ATR (`atrLength` capacity in, length out) and active protocol.
    virtual std::int32_t status(Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                                std::uint32_t* atrLength) = 0;
    virtual std::int32_t getStatusChange(Context context, std::uint32_t timeoutMs, ReaderState* states,
                                         std::uint32_t count) = 0;
    // `length`: capacity of `buffer` in, bytes of the attribute out.
    virtual std::int32_t getAttrib(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                   std::uint32_t* length) = 0;
    // Card-type registration in the service's card database; `primaryProvider` and each
    // of the `interfaceCount` interfaces are 16-byte identifiers.
    virtual std::int32_t introduceCardType(Context context, const char* cardName,
                                           const std::uint8_t* primaryProvider,
                                           const std::uint8_t* interfaces, std::uint32_t interfaceCount,
                                           const std::uint8_t* atr, const std::uint8_t* atrMask,
                                           std::uint32_t atrLength) = 0;
};

}  // namespace ostrel::pcsc
