#include "PluginState.h"

#include "Attributes.h"

// The PC/SC side of a channel: the context opened by the first ProConnect and released
// by the last ProDisconnect, and the card handle with its transaction that
// ProSetExclusivity opens and ProReleaseExclusivity ends.

namespace ostrel {

namespace {

constexpr std::uint32_t kCardProtocols = pcsc::kProtocolT0 | pcsc::kProtocolT1;

std::uint32_t protocolsFor(std::uint32_t shareMode)
{
    return shareMode == pcsc::kShareDirect ? pcsc::kProtocolNone : kCardProtocols;
}

}  // namespace

std::int32_t PluginState::connectReader(ChannelRecord& entry, std::uint32_t shareMode, std::uint16_t modeFlag)
{
    clearMode(entry);
    const std::int32_t result = m_pcsc.connect(entry.context, entry.readerName, shareMode,
                                               protocolsFor(shareMode), &entry.card, &entry.activeProtocol);
    if (result == pcsc::kSuccess)
        setMode(entry, modeFlag);
    else
        entry.card = 0;
    return result;
}

void PluginState::closeCard(ChannelRecord& entry)
{
    if (entry.card == 0) return;
    m_pcsc.disconnect(entry.card, pcsc::kLeaveCard);
    entry.card = 0;
}

void PluginState::forgetContext(ChannelRecord& entry)
{
    entry.context = 0;
    entry.flags = 0;
    entry.connectionCount = 0;
    if (entry.channel <= kMaxChannel) m_connectedFlags[entry.channel] = 0;
}

DetailCode PluginState::PCSC_Connexion(std::uint8_t channel)
{
    ChannelRecord* entry = FindChannel(channel);
    if (entry == nullptr) return kDetailBadChannel;
    DetailCode result = kDetailOk;
    if (!hasFlag(*entry, kFlagContext)) {
        pcsc::Context context = 0;
        const std::int32_t established = m_pcsc.establishContext(pcsc::kScopeSystem, &context);
        if (established != pcsc::kSuccess) return PcscToDetail(established, true);
        entry->context = context;
        entry->flags |= kFlagContext;
        m_connectedFlags[channel] = 1;

        // A test connection: the reader's attributes are read once, on a card
        // connection when a card is there, else on the reader alone.
        std::int32_t connected = connectReader(*entry, pcsc::kShareShared, kFlagSharedMode);
        if (connected != pcsc::kSuccess)
            connected = connectReader(*entry, pcsc::kShareDirect, kFlagDirectMode);
        if (connected != pcsc::kSuccess) {
            // The context stays; the last disconnection releases it whatever the count.
            result = PcscToDetail(connected, true);
        } else {
            GetReaderCapabilities(m_pcsc, *entry);
            // The mode bit of the test connection stays although its handle is closed.
            closeCard(*entry);
        }
    }
    if (result == kDetailOk) ++entry->connectionCount;
    return result;
}

DetailCode PluginState::PCSC_Deconnexion(std::uint8_t channel)
{
    ChannelRecord* entry = FindChannel(channel);
    if (entry == nullptr) return kDetailBadChannel;
    if (!hasFlag(*entry, kFlagContext)) return kDetailOk;
    DetailCode result = kDetailOk;
    // A count of 0 is a context left by a connection that failed after establishing
    // it: giving up the channel must still release it.
    if (entry->connectionCount <= 1) {
        closeCard(*entry);
        const std::int32_t released = m_pcsc.releaseContext(entry->context);
        if (released != pcsc::kSuccess) result = PcscToDetail(released, true);
        // A context the service no longer knows can never be released: keeping it
        // would leave the channel dead for the life of the process, as the next
        // ProConnect finds a context and does nothing.
        if (released == pcsc::kSuccess || pcsc::isServiceLoss(released)) {
            forgetContext(*entry);
            return result;
        }
    }
    if (entry->connectionCount > 0) --entry->connectionCount;
    return result;
}

DetailCode PluginState::PCSC_SetExclusivity(std::uint8_t channel, std::uint8_t)
{
    ChannelRecord* entry = FindChannel(channel);
    if (entry == nullptr) return kDetailBadChannel;
    if (!hasFlag(*entry, kFlagContext)) return kDetailNoContext;

    DetailCode result = kDetailOk;
    if (entry->card == 0)
        result = PcscToDetail(connectReader(*entry, pcsc::kShareExclusive, kFlagExclusiveMode), false);
    if (entry->card != 0) result = beginTransaction(*entry);
    if (result == kDetailOk) return kDetailOk;

    // No card to hold exclusively: hold the reader in direct mode instead.
    closeCard(*entry);
    if (connectReader(*entry, pcsc::kShareDirect, kFlagDirectMode) == pcsc::kSuccess)
        result = beginTransaction(*entry);
    entry->cardState = kCardPresent;
    stepCardCounter(*entry);
    return result;
}

DetailCode PluginState::PCSC_RelExclusivity(std::uint8_t channel, std::uint8_t)
{
    ChannelRecord* entry = FindChannel(channel);
    if (entry == nullptr) return kDetailBadChannel;
    if (!hasFlag(*entry, kFlagContext)) return kDetailNoContext;
    if (entry->card == 0) return kDetailOk;

    const std::int32_t ended = m_pcsc.endTransaction(entry->card, pcsc::kLeaveCard);
    // Releasing twice finds no transaction the second time: that is not a failure.
    const DetailCode result = ended == pcsc::kNotTransacted ? kDetailOk : PcscToDetail(ended, true);
    if (hasFlag(*entry, kFlagDirectMode)) closeCard(*entry);
    dropTransaction(*entry);
    return result;
}

DetailCode PluginState::beginTransaction(ChannelRecord& entry)
{
    const DetailCode begun = PcscToDetail(m_pcsc.beginTransaction(entry.card), false);
    if (begun == kDetailOk) markTransaction(entry);
    return begun;
}

void PluginState::ReleaseChannelResources()
{
    // The table is being dropped: a context whose release fails cannot be tried again
    // from here, so every entry is forgotten whatever the service answers.
    for (ChannelRecord& entry : m_channels) {
        closeCard(entry);
        if (entry.context != 0) {
            m_pcsc.releaseContext(entry.context);
            forgetContext(entry);
        }
    }
}

}  // namespace ostrel
