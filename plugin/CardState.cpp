#include "PluginState.h"

#include "Attributes.h"

#include <cstring>

// The card-state refresh that every reader command runs first: it follows insertion,
// removal, change of card and power, reconnects after a change, and keeps the state
// and change counter that every response reports.

namespace ostrel {

namespace {

constexpr std::uint32_t kCardProtocols = pcsc::kProtocolT0 | pcsc::kProtocolT1;

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
    DetailCode result = kDetailOk;
    bool firstRunClean = false;
    if ((entry.flags & kFlagDirectMode) == 0) {
        const DetailCode found = GetCardCapabilities(m_pcsc, entry);
        firstRunClean = found == kDetailOk;
        if (found == kDetailCardChanged) {
            // Another card, or the old one reset, pulled or unpowered: the handle no
            // longer speaks to it. Hold the reader directly until the new card is seen.
            setCardState(entry, kCardAbsent);
            std::uint32_t protocol = 0;
            std::int32_t last = m_pcsc.reconnect(&entry.card, pcsc::kShareDirect, pcsc::kProtocolNone,
                                                 pcsc::kLeaveCard, &protocol);
            if (last == pcsc::kSuccess) {
                entry.activeProtocol = protocol;
                if ((entry.flags & kFlagTransaction) != 0) {
                    last = m_pcsc.beginTransaction(entry.card);
                    if (last != pcsc::kSuccess) entry.flags &= static_cast<std::uint16_t>(~kFlagTransaction);
                }
            }
            result = PcscToDetail(last, true);
            if (result != kDetailOk) return result;
        }
    }

    if (!firstRunClean) {
        std::uint8_t atrBefore[kAtrSize];
        std::memcpy(atrBefore, entry.atr, sizeof atrBefore);
        const std::uint32_t atrLengthBefore = entry.atrLength;
        const DetailCode found = GetCardCapabilities(m_pcsc, entry);
        if (found == kDetailReaderUnavailable) {
            if (entry.card != 0) {
                m_pcsc.endTransaction(entry.card, pcsc::kLeaveCard);
                if ((entry.flags & kFlagDirectMode) != 0) {
                    m_pcsc.disconnect(entry.card, pcsc::kLeaveCard);
                    entry.card = 0;
                }
            }
            entry.flags &= static_cast<std::uint16_t>(~kFlagTransaction);
            return kDetailReaderUnavailable;
        }
        // A new card seen here has no reconnection above to step the counter for it;
        // without this step a card swapped while the reader was held directly would
        // leave state and counter as they were. A removal reported as a warning is
        // no new card: the state below tells it.
        const bool newAtr =
            entry.atrLength != atrLengthBefore || std::memcmp(entry.atr, atrBefore, sizeof atrBefore) != 0;
        if (found == kDetailCardChanged && newAtr) stepCardCounter(entry);
    }

    if (!cardIsThere(entry.cardPresence)) {
        setCardState(entry, kCardAbsent);
        return result;
    }

    entry.readerState = pcsc::ReaderState{};
    entry.readerState.reader = entry.readerName;
    entry.readerState.currentState = pcsc::kStatePresent;
    const std::int32_t polled = m_pcsc.getStatusChange(entry.context, 0, &entry.readerState, 1);
    if (polled == pcsc::kSuccess && (entry.readerState.eventState & pcsc::kStateUnavailable) != 0) {
        // The service no longer tracks a reader held directly: take the card
        // exclusively again, with a fresh power-up.
        std::int32_t last;
        if (entry.card != 0) {
            if ((entry.flags & kFlagTransaction) != 0) m_pcsc.endTransaction(entry.card, pcsc::kUnpowerCard);
            entry.flags &= kFlagModeMask;
            last = m_pcsc.reconnect(&entry.card, pcsc::kShareExclusive, kCardProtocols, pcsc::kUnpowerCard,
                                    &entry.activeProtocol);
            if (last == pcsc::kSuccess) entry.flags |= kFlagExclusiveMode;
        } else {
            last = connectReader(entry, pcsc::kShareExclusive, kFlagExclusiveMode);
        }
        if (last != pcsc::kSuccess) {
            const DetailCode refused = PcscToDetail(last, false);
            if (refused == kDetailCardChanged || refused == kDetailCardUnusable)
                entry.cardInterfaceStatus = 0;
            // The handle whose reconnection failed is closed before a new one is
            // opened, so no handle is lost.
            if (entry.card != 0) {
                m_pcsc.disconnect(entry.card, pcsc::kLeaveCard);
                entry.card = 0;
            }
            last = connectReader(entry, pcsc::kShareDirect, kFlagDirectMode);
        }
        if (last == pcsc::kSuccess && (entry.flags & kFlagTransaction) != 0) {
            last = m_pcsc.beginTransaction(entry.card);
            if (last != pcsc::kSuccess) entry.flags &= static_cast<std::uint16_t>(~kFlagTransaction);
        }
        result = PcscToDetail(last, true);
    }
    setCardState(entry, observedState(entry, powerOn));
    return result;
}

}  // namespace ostrel
