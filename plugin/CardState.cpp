#include "PluginState.h"

#include "Attributes.h"

#include <cstring>

// The card-state refresh that every reader command runs first, in three steps: read
// what the reader says about the card (following a change of card there), compare it
// with the record, and reconnect or fall back to a direct hold when the service no
// longer tracks the card for us. It keeps the state and change counter that every
// response reports.

namespace ostrel {

namespace {

constexpr std::uint32_t kCardProtocols = pcsc::kProtocolT0 | pcsc::kProtocolT1;
// The poll asks for the reader's state as it is, without waiting for a change.
constexpr std::uint32_t kPollWithoutWaiting = 0;

bool cardIsThere(std::uint8_t presence)
{
    return presence == 1 || presence == 2 || presence == 4;
}

std::uint8_t observedState(const ChannelRecord& entry, bool powerOn)
{
    if (entry.cardInterfaceStatus == 0) return kCardPresent;
    // Only the power-on command moves a card with active contacts to "powered".
    return entry.cardState == kCardPowered || powerOn ? kCardPowered : kCardPresent;
}

}  // namespace

DetailCode PluginState::RefreshCardState(ChannelRecord& entry, bool powerOn)
{
    if (const DetailCode read = readReader(entry); read != kDetailOk) return read;
    return compareWithRecord(entry, powerOn);
}

std::int32_t PluginState::restartTransaction(ChannelRecord& entry)
{
    if (!inTransaction(entry)) return pcsc::kSuccess;
    const std::int32_t begun = m_pcsc.beginTransaction(entry.card);
    if (begun != pcsc::kSuccess) dropTransaction(entry);
    return begun;
}

DetailCode PluginState::readReader(ChannelRecord& entry)
{
    std::int32_t lost = pcsc::kSuccess;
    if (!hasFlag(entry, kFlagDirectMode)) {
        const DetailCode found = GetCardCapabilities(m_pcsc, entry, &lost);
        // A state read from a service that is gone would only be the last one known.
        if (lost != pcsc::kSuccess) return PcscToDetail(lost, true);
        if (found == kDetailOk) return kDetailOk;
        if (found == kDetailCardChanged) {
            if (const DetailCode followed = followNewCard(entry); followed != kDetailOk) return followed;
        }
    }

    std::uint8_t atrBefore[kAtrSize];
    std::memcpy(atrBefore, entry.atr, sizeof atrBefore);
    const std::uint32_t atrLengthBefore = entry.atrLength;
    const DetailCode found = GetCardCapabilities(m_pcsc, entry, &lost);
    if (lost != pcsc::kSuccess) return PcscToDetail(lost, true);
    if (found == kDetailReaderUnavailable) {
        if (entry.card != 0) {
            m_pcsc.endTransaction(entry.card, pcsc::kLeaveCard);
            if (hasFlag(entry, kFlagDirectMode)) closeCard(entry);
        }
        dropTransaction(entry);
        return kDetailReaderUnavailable;
    }
    // A new card seen here has no reconnection above to step the counter for it;
    // without this step a card swapped while the reader was held directly would
    // leave state and counter as they were. A removal reported as a warning is no
    // new card: the state tells it.
    const bool newAtr =
        entry.atrLength != atrLengthBefore || std::memcmp(entry.atr, atrBefore, sizeof atrBefore) != 0;
    if (found == kDetailCardChanged && newAtr) stepCardCounter(entry);
    return kDetailOk;
}

DetailCode PluginState::followNewCard(ChannelRecord& entry)
{
    // Another card, or the old one reset, pulled or unpowered: the handle no longer
    // speaks to it. Hold the reader directly until the new card is seen.
    setCardState(entry, kCardAbsent);
    // pcsc-lite counts nested transactions and keeps one across a reconnection, so
    // the one begun again below would leave the card locked after the release.
    if (inTransaction(entry)) m_pcsc.endTransaction(entry.card, pcsc::kLeaveCard);
    std::uint32_t protocol = 0;
    std::int32_t last =
        m_pcsc.reconnect(&entry.card, pcsc::kShareDirect, pcsc::kProtocolNone, pcsc::kLeaveCard, &protocol);
    if (last == pcsc::kSuccess) {
        entry.activeProtocol = protocol;
        last = restartTransaction(entry);
    }
    return PcscToDetail(last, true);
}

DetailCode PluginState::compareWithRecord(ChannelRecord& entry, bool powerOn)
{
    if (!cardIsThere(entry.cardPresence)) {
        setCardState(entry, kCardAbsent);
        return kDetailOk;
    }
    entry.readerState = pcsc::ReaderState{};
    entry.readerState.reader = entry.readerName;
    entry.readerState.currentState = pcsc::kStatePresent;
    const std::int32_t polled =
        m_pcsc.getStatusChange(entry.context, kPollWithoutWaiting, &entry.readerState, 1);
    if (pcsc::isServiceLoss(polled)) return PcscToDetail(polled, true);
    DetailCode result = kDetailOk;
    if (polled == pcsc::kSuccess && (entry.readerState.eventState & pcsc::kStateUnavailable) != 0)
        result = reconnectOrFallBack(entry);
    setCardState(entry, observedState(entry, powerOn));
    return result;
}

DetailCode PluginState::reconnectOrFallBack(ChannelRecord& entry)
{
    // The service no longer tracks a reader held directly: take the card exclusively
    // again, with a fresh power-up.
    std::int32_t last;
    if (entry.card != 0) {
        if (inTransaction(entry)) m_pcsc.endTransaction(entry.card, pcsc::kUnpowerCard);
        clearMode(entry);
        last = m_pcsc.reconnect(&entry.card, pcsc::kShareExclusive, kCardProtocols, pcsc::kUnpowerCard,
                                &entry.activeProtocol);
        if (last == pcsc::kSuccess) setMode(entry, kFlagExclusiveMode);
    } else {
        last = connectReader(entry, pcsc::kShareExclusive, kFlagExclusiveMode);
    }
    if (last != pcsc::kSuccess) {
        const DetailCode refused = PcscToDetail(last, false);
        if (refused == kDetailCardChanged || refused == kDetailCardUnusable) entry.cardInterfaceStatus = 0;
        // The handle whose reconnection failed is closed before a new one is opened,
        // so no handle is lost.
        closeCard(entry);
        last = connectReader(entry, pcsc::kShareDirect, kFlagDirectMode);
    }
    if (last == pcsc::kSuccess) last = restartTransaction(entry);
    return PcscToDetail(last, true);
}

}  // namespace ostrel
