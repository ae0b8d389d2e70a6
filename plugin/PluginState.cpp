#include "PluginState.h"

#include "Identification.h"
#include "MemoryProbe.h"

#include <cstring>
#include <new>

namespace ostrel {

namespace {

bool validChannel(std::uint32_t channelType, std::uint8_t channel)
{
    return (channelType & 0xFF) == kPcscChannelType && channel >= 1 && channel <= kMaxChannel;
}

}  // namespace

PluginState::PluginState(pcsc::PcscApi& pcsc) : m_pcsc(pcsc) {}

std::uint16_t PluginState::SetLastStatus(DetailCode detail)
{
    m_lastDetail = detail;
    if (const auto status = statusForDetail(detail)) m_lastStatus = *status;
    return m_lastStatus;
}

std::uint16_t PluginState::failWith(DetailCode detail, std::uint16_t status)
{
    m_lastDetail = detail;
    m_lastStatus = status;
    return status;
}

ChannelRecord* PluginState::FindChannel(std::uint8_t channel)
{
    for (ChannelRecord& entry : m_channels)
        if (entry.channel == channel) return &entry;
    return nullptr;
}

std::uint16_t PluginState::ProInit(std::uint16_t protocolNumber, const char* configPath, std::uint32_t)
{
    if (configPath == nullptr) return failWith(kDetailNullArgument, kStatusBadArgument);
    // The path is read as text; an address that cannot be read must not fault here.
    if (!isReadableText(configPath)) return failWith(kDetailMemoryNotAccessible, kStatusBadArgument);
    if (configPath[0] == '\0') return failWith(kDetailNullArgument, kStatusBadArgument);
    m_protocolNumber = protocolNumber;
    if (!m_exclusivity) {
        m_exclusivity.reset(new (std::nothrow) ExclusivityBlock{});
        // Both registers keep the previous call's values; the access manager only
        // learns from the returned value.
        if (!m_exclusivity) return kStatusNoExclusivityBlock;
    }
    return SetLastStatus(PCSC_Init(configPath));
}

std::uint16_t PluginState::ProTermin()
{
    for (std::uint8_t channel = 1; channel <= kMaxChannel; ++channel) {
        if (m_connectedFlags[channel] == 0) continue;
        if (m_exclusivity) {
            for (std::size_t index = 0; index < kExclusivityIndexes; ++index)
                if ((*m_exclusivity)[channel][index] != 0)
                    ProReleaseExclusivity(kPcscChannelType, channel, static_cast<std::uint8_t>(index));
        }
        ProDisconnect(kPcscChannelType, channel);
    }
    const DetailCode detail = ClearChannelTable();
    m_exclusivity.reset();
    return SetLastStatus(detail);
}

DetailCode PluginState::ClearChannelTable()
{
    // A channel connected more often than it was disconnected still holds its context,
    // and so may one connected after a ProInit that failed part-way: whatever the
    // table's fate, nothing of the service stays open.
    ReleaseChannelResources();
    if (m_initialised == 0) return kDetailNotConnected;
    m_channels = ChannelTable{};
    return kDetailOk;
}

std::uint16_t PluginState::ProConnect(std::uint32_t channelType, std::uint8_t channel, const char*)
{
    if (!validChannel(channelType, channel)) return failWith(kDetailBadChannel, kStatusBadArgument);
    return SetLastStatus(PCSC_Connexion(channel));
}

std::uint16_t PluginState::ProDisconnect(std::uint32_t channelType, std::uint8_t channel)
{
    if (!validChannel(channelType, channel)) return failWith(kDetailBadChannel, kStatusBadArgument);
    return SetLastStatus(PCSC_Deconnexion(channel));
}

std::uint16_t PluginState::ProExchange(std::uint32_t channelType, std::uint8_t channel, std::uint8_t index,
                                       std::uint16_t parameter, const std::uint8_t* request,
                                       std::uint32_t requestLength, std::uint8_t* response,
                                       std::uint32_t* responseLength)
{
    if (request == nullptr || response == nullptr || responseLength == nullptr)
        return failWith(kDetailNullArgument, kStatusBadArgument);
    // The length cell is read for the capacity (copied by the read probe, not read in
    // place) and written with the answer's length; the response area is written, so
    // it must be writable, not merely readable.
    std::uint32_t capacity = 0;
    if (!isReadable({{responseLength, sizeof capacity}, {request, requestLength}}, &capacity,
                    sizeof capacity) ||
        !isWritable({{responseLength, sizeof capacity}, {response, capacity}}))
        return failWith(kDetailMemoryNotAccessible, kStatusBufferTooSmall);
    if (!validChannel(channelType, channel)) return failWith(kDetailBadChannel, kStatusBadArgument);
    if (m_connectedFlags[channel] == 0) return failWith(kDetailNotConnected, kStatusNotConnected);
    if (parameter == 0) parameter = 0xFFFF;
    return SetLastStatus(
        PCSC_Echange(channel, index, parameter, request, requestLength, response, responseLength));
}

std::uint16_t PluginState::ProGetStatus(std::uint16_t* status, std::uint32_t* detail, char* text)
{
    if (status == nullptr || detail == nullptr || text == nullptr)
        return failWith(kDetailNullArgument, kStatusBadArgument);
    if (!isWritable({{status, sizeof *status}, {detail, sizeof *detail}, {text, sizeof kStatusText}}))
        return failWith(kDetailMemoryNotAccessible, kStatusBadArgument);
    // The caller's cells need not be aligned.
    std::memcpy(status, &m_lastStatus, sizeof m_lastStatus);
    std::memcpy(detail, &m_lastDetail, sizeof m_lastDetail);
    std::memcpy(text, kStatusText, sizeof kStatusText);
    m_lastStatus = 0;
    return 0;
}

std::uint16_t PluginState::ProIdentify(void* record)
{
    if (record == nullptr) return failWith(kDetailNullArgument, kStatusBadArgument);
    if (!isWritable(record, sizeof(IdentificationRecord)))
        return failWith(kDetailMemoryNotAccessible, kStatusBadArgument);
    fillIdentification(static_cast<unsigned char*>(record), m_protocolNumber);
    m_lastStatus = 0;
    return 0;
}

std::uint16_t PluginState::ProSetExclusivity(std::uint32_t channelType, std::uint8_t channel,
                                             std::uint8_t index)
{
    return exclusivityExport(channelType, channel, index, &PluginState::PCSC_SetExclusivity, 1);
}

std::uint16_t PluginState::ProReleaseExclusivity(std::uint32_t channelType, std::uint8_t channel,
                                                 std::uint8_t index)
{
    return exclusivityExport(channelType, channel, index, &PluginState::PCSC_RelExclusivity, 0);
}

std::uint16_t PluginState::exclusivityExport(std::uint32_t channelType, std::uint8_t channel,
                                             std::uint8_t index, ExclusivityWorker worker, std::uint8_t mark)
{
    if (!validChannel(channelType, channel)) return failWith(kDetailBadChannel, kStatusBadArgument);
    // Unlike ProExchange, a channel without a connection is a bad argument here.
    if (m_connectedFlags[channel] == 0) return failWith(kDetailNotConnected, kStatusBadArgument);
    const DetailCode detail = (this->*worker)(channel, index);
    if (detail == kDetailOk && m_exclusivity) (*m_exclusivity)[channel][index] = mark;
    return SetLastStatus(detail);
}

}  // namespace ostrel
