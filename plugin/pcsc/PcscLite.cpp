#include "pcsc/PcscLite.h"

#include "pcsc/SystemPcsc.h"

#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace ostrel::pcsc {

namespace {

// pcsc-lite's LONG is 64-bit on 64-bit Linux; its codes keep WinSCard's low 32 bits.
std::int32_t normalise(LONG result)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
}

// The client library refuses attribute buffers above its message size.
constexpr std::uint32_t kMaxAttributeBuffer = 264;

constexpr std::uint32_t kAttributePresence = 0x90300;
constexpr std::uint32_t kAttributeInterfaceStatus = 0x90301;
constexpr std::uint32_t kAttributeAtr = 0x90303;

// The card attributes a status read also tells, one bit each; 0 for any other.
std::uint32_t statusAttributeBit(std::uint32_t attributeId)
{
    switch (attributeId) {
    case kAttributePresence: return 1;
    case kAttributeInterfaceStatus: return 2;
    case kAttributeAtr: return 4;
    default: return 0;
    }
}

// pcsc-lite's card state is a bit mask under an event counter in the high 16 bits.
constexpr DWORD kCardStateBits = 0xFFFF;

// Gives `size` bytes to a caller's buffer whose capacity `*length` holds; the
// length cell always receives the size, as WinSCard reports the size it needed.
std::int32_t copyOut(const std::uint8_t* from, std::uint32_t size, std::uint8_t* to, std::uint32_t* length)
{
    const std::uint32_t capacity = *length;
    *length = size;
    if (size > capacity) return kInsufficientBuffer;
    std::memcpy(to, from, size);
    return kSuccess;
}

// Runs `call` with the caller's context, or with a temporary one when the caller gave
// none, as WinSCard lets reader listings run without a context.
template <typename Call>
std::int32_t withContext(Context context, Call call)
{
    if (context != 0) return normalise(call(static_cast<SCARDCONTEXT>(context)));
    SCARDCONTEXT temporary = 0;
    const LONG established = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &temporary);
    if (established != SCARD_S_SUCCESS) return normalise(established);
    const LONG result = call(temporary);
    SCardReleaseContext(temporary);
    return normalise(result);
}

}  // namespace

bool changedSince(std::uint32_t known, std::uint32_t now)
{
    const std::uint32_t knownCounter = known >> 16;
    // A caller that gives no event counter is not told about counted events.
    if (knownCounter != 0 && knownCounter != now >> 16) return true;
    if ((now & kStateUnknown) != 0) return (known & kStateUnknown) == 0;
    if ((known & kStateUnknown) != 0) return true;
    if ((now & kStateUnavailable) != 0) return (known & kStateUnavailable) == 0;
    if ((known & kStateUnavailable) != 0) return true;
    if ((now & kStateEmpty) != 0) return (known & kStatePresent) != 0;
    if ((now & kStatePresent) == 0) return false;
    if ((known & kStateEmpty) != 0 || ((now ^ known) & kStateMute) != 0) return true;
    if ((now & kStateExclusive) != 0) return (known & kStateInUse) != 0;
    if ((now & kStateInUse) != 0) return (known & kStateExclusive) != 0;
    return (known & (kStateInUse | kStateExclusive)) != 0;
}

std::unique_ptr<PcscApi> makeSystemPcsc()
{
    return std::make_unique<PcscLite>();
}

std::int32_t PcscLite::establishContext(std::uint32_t scope, Context* context)
{
    SCARDCONTEXT value = 0;
    const LONG result = SCardEstablishContext(scope, nullptr, nullptr, &value);
    *context = result == SCARD_S_SUCCESS ? static_cast<Context>(value) : 0;
    return normalise(result);
}

std::int32_t PcscLite::releaseContext(Context context)
{
    return normalise(SCardReleaseContext(static_cast<SCARDCONTEXT>(context)));
}

std::int32_t PcscLite::listReaderGroups(Context context, char* groups, std::uint32_t* length)
{
    return withContext(context, [&](SCARDCONTEXT used) {
        DWORD size = *length;
        const LONG result = SCardListReaderGroups(used, groups, &size);
        *length = static_cast<std::uint32_t>(size);
        return result;
    });
}

std::int32_t PcscLite::listReaders(Context context, const char* groupFilter, char* readers,
                                   std::uint32_t* length)
{
    return withContext(context, [&](SCARDCONTEXT used) {
        DWORD size = *length;
        const LONG result = SCardListReaders(used, groupFilter, readers, &size);
        *length = static_cast<std::uint32_t>(size);
        return result;
    });
}

std::int32_t PcscLite::connect(Context context, const char* reader, std::uint32_t shareMode,
                               std::uint32_t preferredProtocols, Handle* card, std::uint32_t* activeProtocol)
{
    forgetStatus();
    // Windows refuses a direct connection while another program holds the reader;
    // pcsc-lite grants it, and the refresh would then reset that program's card.
    if (shareMode == kShareDirect && reader != nullptr && !holdsAny(reader) &&
        heldByAnother(context, reader)) {
        *card = 0;
        return kSharingViolation;
    }
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    const LONG result = SCardConnect(static_cast<SCARDCONTEXT>(context), reader, shareMode,
                                     preferredProtocols, &handle, &protocol);
    if (result != SCARD_S_SUCCESS) {
        *card = 0;
        return normalise(result);
    }
    *card = static_cast<Handle>(handle);
    *activeProtocol = static_cast<std::uint32_t>(protocol);
    m_connections[*card] = Connection{context, reader != nullptr ? reader : "", shareMode};
    return kSuccess;
}

std::int32_t PcscLite::reconnect(Handle* card, std::uint32_t shareMode, std::uint32_t preferredProtocols,
                                 std::uint32_t initialization, std::uint32_t* activeProtocol)
{
    forgetStatus();
    DWORD protocol = 0;
    const LONG result = SCardReconnect(static_cast<SCARDHANDLE>(*card), shareMode, preferredProtocols,
                                       initialization, &protocol);
    const auto known = m_connections.find(*card);
    if (result == SCARD_S_SUCCESS) {
        *activeProtocol = static_cast<std::uint32_t>(protocol);
        if (known != m_connections.end()) known->second.shareMode = shareMode;
        return kSuccess;
    }
    // pcsc-lite checks for a card before looking at the share mode; WinSCard reopens
    // a direct connection on an empty reader, which the refresh after a removal needs.
    if (shareMode != kShareDirect || result != SCARD_E_NO_SMARTCARD || known == m_connections.end())
        return normalise(result);
    const Connection previous = known->second;
    disconnect(*card, initialization);
    Handle fresh = 0;
    const std::int32_t reopened = connect(previous.context, previous.reader.c_str(), kShareDirect,
                                          preferredProtocols, &fresh, activeProtocol);
    *card = fresh;
    return reopened;
}

std::int32_t PcscLite::disconnect(Handle card, std::uint32_t disposition)
{
    forgetStatus();
    const LONG result = SCardDisconnect(static_cast<SCARDHANDLE>(card), disposition);
    // Whatever the answer, the caller is done with the handle: kept here, a handle
    // in direct mode would make its reader look held directly for ever.
    m_connections.erase(card);
    return normalise(result);
}

std::int32_t PcscLite::beginTransaction(Handle card)
{
    forgetStatus();
    return normalise(SCardBeginTransaction(static_cast<SCARDHANDLE>(card)));
}

std::int32_t PcscLite::endTransaction(Handle card, std::uint32_t disposition)
{
    forgetStatus();
    return normalise(SCardEndTransaction(static_cast<SCARDHANDLE>(card), disposition));
}

std::int32_t PcscLite::transmitT0(Handle card, const std::uint8_t* send, std::uint32_t sendLength,
                                  std::uint8_t* receive, std::uint32_t* receiveLength)
{
    forgetStatus();
    DWORD size = *receiveLength;
    const LONG result = SCardTransmit(static_cast<SCARDHANDLE>(card), SCARD_PCI_T0, send, sendLength, nullptr,
                                      receive, &size);
    *receiveLength = static_cast<std::uint32_t>(size);
    // pcscd reports a card pulled mid-command as "no card"; WinSCard, like later calls
    // on the same handle here, reports a removed card. A direct connection never had a
    // card to lose, so its answer stays as it is.
    if (result == SCARD_E_NO_SMARTCARD) {
        const auto known = m_connections.find(card);
        if (known != m_connections.end() && known->second.shareMode != kShareDirect) return kRemovedCard;
    }
    return normalise(result);
}

std::int32_t PcscLite::status(Handle card, std::uint32_t* activeProtocol, std::uint8_t* atr,
                              std::uint32_t* atrLength)
{
    // The power-on answer's ATR right after the refresh's card reading: that reading
    // already holds it. Used once, then read anew.
    const StatusRead& read = readStatusOnce(card, false);
    forgetStatus();
    if (read.result != kSuccess) return read.result;
    *activeProtocol = read.protocol;
    return copyOut(read.atr, read.atrLength, atr, atrLength);
}

std::int32_t PcscLite::getStatusChange(Context context, std::uint32_t timeoutMs, ReaderState* states,
                                       std::uint32_t count)
{
    std::int32_t result = kSuccess;
    if (timeoutMs == 0 && count == 1 && answerFromStatus(states[0])) {
        result = (states[0].eventState & kStateChanged) != 0 ? kSuccess : kTimeout;
    } else if (timeoutMs == 0) {
        result = pollWithoutWaiting(context, states, count);
    } else {
        std::vector<SCARD_READERSTATE> native(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            native[i].szReader = states[i].reader;
            native[i].pvUserData = states[i].userData;
            native[i].dwCurrentState = states[i].currentState;
            native[i].dwEventState = states[i].eventState;
        }
        result = normalise(
            SCardGetStatusChange(static_cast<SCARDCONTEXT>(context), timeoutMs, native.data(), count));
        for (std::uint32_t i = 0; i < count; ++i) {
            ReaderState& state = states[i];
            state.eventState = static_cast<std::uint32_t>(native[i].dwEventState);
            state.atrLength =
                std::min<std::uint32_t>(static_cast<std::uint32_t>(native[i].cbAtr), MAX_ATR_SIZE);
            std::memcpy(state.atr, native[i].rgbAtr, state.atrLength);
        }
    }
    // Windows takes a reader held in direct mode away from the service's card tracking
    // and answers "unavailable, changed" at once; pcscd keeps tracking it, and answers
    // an unchanged reader with a time-out, so both of its answers are rewritten.
    if (result != kSuccess && result != kTimeout) return result;
    bool rewritten = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        ReaderState& state = states[i];
        if (state.reader == nullptr || !heldDirect(state.reader)) continue;
        state.eventState = (state.eventState & kStateCounterMask) | kStateUnavailable | kStateChanged;
        rewritten = true;
    }
    return rewritten ? kSuccess : result;
}

std::int32_t PcscLite::pollWithoutWaiting(Context context, ReaderState* states, std::uint32_t count)
{
    // With its current state, pcsc-lite answers an unchanged reader only once a
    // time-out it counts in whole milliseconds has run out, busy all the while; asked
    // as unaware, it answers at once with the state as it is. "Changed" then follows
    // from pcsc-lite's own rules, so the caller sees the answer it would have had.
    std::vector<SCARD_READERSTATE> native(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        native[i].szReader = states[i].reader;
        native[i].pvUserData = states[i].userData;
        native[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    const LONG result = SCardGetStatusChange(static_cast<SCARDCONTEXT>(context), 0, native.data(), count);
    if (result != SCARD_S_SUCCESS) return normalise(result);
    bool changed = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        ReaderState& state = states[i];
        const auto now = static_cast<std::uint32_t>(native[i].dwEventState) & ~kStateChanged;
        const bool readerChanged = changedSince(state.currentState, now);
        state.eventState = readerChanged ? now | kStateChanged : now;
        state.atrLength = std::min<std::uint32_t>(static_cast<std::uint32_t>(native[i].cbAtr), MAX_ATR_SIZE);
        std::memcpy(state.atr, native[i].rgbAtr, state.atrLength);
        changed = changed || readerChanged;
    }
    return changed ? kSuccess : kTimeout;
}

bool PcscLite::answerFromStatus(ReaderState& state) const
{
    // The refresh polls right after its card reading. When that reading came from a
    // status read (a driver that answers no card attribute), the service has just
    // answered for the reader: present or empty, and usable. Asking again would only
    // cost a round trip; what the poll is for, a reader held directly, is known here.
    if (m_status.card == 0 || m_status.result != kSuccess || state.reader == nullptr) return false;
    const auto known = m_connections.find(m_status.card);
    if (known == m_connections.end() || known->second.reader != state.reader) return false;
    const std::uint32_t now = (m_status.state & SCARD_PRESENT) != 0 ? kStatePresent : kStateEmpty;
    const bool changed = changedSince(state.currentState & ~kStateCounterMask, now);
    state.eventState = changed ? now | kStateChanged : now;
    state.atrLength = std::min<std::uint32_t>(m_status.atrLength, kReaderStateAtrSize);
    std::memcpy(state.atr, m_status.atr, state.atrLength);
    return true;
}

bool PcscLite::holdsAny(const std::string& reader) const
{
    return std::any_of(m_connections.begin(), m_connections.end(),
                       [&](const auto& entry) { return entry.second.reader == reader; });
}

bool PcscLite::heldByAnother(Context context, const char* reader)
{
    SCARD_READERSTATE state{};
    state.szReader = reader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    if (SCardGetStatusChange(static_cast<SCARDCONTEXT>(context), 0, &state, 1) != SCARD_S_SUCCESS)
        return false;
    return (state.dwEventState & (SCARD_STATE_INUSE | SCARD_STATE_EXCLUSIVE)) != 0;
}

bool PcscLite::heldDirect(const char* reader) const
{
    return std::any_of(m_connections.begin(), m_connections.end(), [&](const auto& entry) {
        return entry.second.shareMode == kShareDirect && entry.second.reader == reader;
    });
}

std::int32_t PcscLite::getAttrib(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                 std::uint32_t* length)
{
    const std::uint32_t fromStatus = statusAttributeBit(attributeId);
    if (attributeId == kAttributePresence) forgetStatus();
    const auto known = m_connections.find(card);
    const std::string* reader = known != m_connections.end() ? &known->second.reader : nullptr;
    if (fromStatus != 0 && reader != nullptr && (m_refused[*reader] & fromStatus) != 0)
        return attributeFromStatus(card, attributeId, buffer, length);
    DWORD size = std::min(*length, kMaxAttributeBuffer);
    const LONG result = SCardGetAttrib(static_cast<SCARDHANDLE>(card), attributeId, buffer, &size);
    // Card presence, contacts and ATR come from the reader driver, and some drivers
    // answer none of them; the handle's status tells the same.
    if (result == SCARD_E_UNSUPPORTED_FEATURE && fromStatus != 0) {
        if (reader != nullptr) m_refused[*reader] |= fromStatus;
        return attributeFromStatus(card, attributeId, buffer, length);
    }
    *length = static_cast<std::uint32_t>(size);
    return normalise(result);
}

const PcscLite::StatusRead& PcscLite::readStatusOnce(Handle card, bool fresh)
{
    if (!fresh && m_status.card == card && card != 0) return m_status;
    BYTE atr[MAX_ATR_SIZE];
    DWORD atrLength = sizeof atr;
    DWORD state = 0;
    DWORD protocol = 0;
    DWORD readerLength = 0;
    const LONG result = SCardStatus(static_cast<SCARDHANDLE>(card), nullptr, &readerLength, &state, &protocol,
                                    atr, &atrLength);
    m_status.card = card;
    m_status.result = normalise(result);
    m_status.protocol = static_cast<std::uint32_t>(protocol);
    m_status.state = static_cast<std::uint32_t>(state & kCardStateBits);
    m_status.atrLength = static_cast<std::uint32_t>(std::min<DWORD>(atrLength, sizeof atr));
    std::memcpy(m_status.atr, atr, m_status.atrLength);
    return m_status;
}

std::int32_t PcscLite::attributeFromStatus(Handle card, std::uint32_t attributeId, std::uint8_t* buffer,
                                           std::uint32_t* length)
{
    const StatusRead& status = readStatusOnce(card, attributeId == kAttributePresence);
    if (status.result != kSuccess) return status.result;
    std::uint8_t value = 0;
    if (attributeId == kAttributePresence) {
        value = (status.state & SCARD_PRESENT) != 0 ? 2 : 0;
    } else if (attributeId == kAttributeInterfaceStatus) {
        value = (status.state & (SCARD_POWERED | SCARD_NEGOTIABLE | SCARD_SPECIFIC)) != 0 ? 1 : 0;
    } else {
        return copyOut(status.atr, status.atrLength, buffer, length);
    }
    return copyOut(&value, 1, buffer, length);
}

std::int32_t PcscLite::introduceCardType(Context, const char*, const std::uint8_t*, const std::uint8_t*,
                                         std::uint32_t, const std::uint8_t*, const std::uint8_t*,
                                         std::uint32_t)
{
    // pcsc-lite keeps no card-type database; the plug-in never uses the result.
    return kSuccess;
}

}  // namespace ostrel::pcsc
