#pragma once
// All module state of the plug-in and the logic behind its nine exports. The library
// forwards its exports to one instance over the system PC/SC service; tests build
// their own instances over a scripted fake.

#include "ChannelRecord.h"
#include "StatusConversion.h"
#include "pcsc/PcscApi.h"

#include <array>
#include <cstdint>
#include <memory>

namespace ostrel {

inline constexpr std::uint8_t kPcscChannelType = 3;
inline constexpr std::uint8_t kMaxChannel = 63;
inline constexpr std::size_t kChannelSlots = 64;
inline constexpr std::size_t kExclusivityIndexes = 256;
// What ProInit returns, registers untouched, when the exclusivity block cannot be had.
inline constexpr std::uint16_t kStatusNoExclusivityBlock = 2;

using ExclusivityBlock = std::array<std::array<std::uint8_t, kExclusivityIndexes>, kChannelSlots>;

// One reader command on its way through the interpreter. `capacity` is the size of
// `response` as the caller gave it; `length` receives the bytes written.
struct Exchange {
    ChannelRecord& entry;
    const std::uint8_t* request;
    std::uint32_t requestLength;
    std::uint8_t* response;
    std::uint32_t capacity;
    std::uint32_t* length;
};

class PluginState {
public:
    explicit PluginState(pcsc::PcscApi& pcsc);
    PluginState(const PluginState&) = delete;
    PluginState& operator=(const PluginState&) = delete;

    // The exports. Only the low byte of `channelType` counts.
    std::uint16_t ProInit(std::uint16_t protocolNumber, const char* configPath, std::uint32_t unused);
    std::uint16_t ProTermin();
    std::uint16_t ProConnect(std::uint32_t channelType, std::uint8_t channel, const char* parameters);
    std::uint16_t ProDisconnect(std::uint32_t channelType, std::uint8_t channel);
    std::uint16_t ProExchange(std::uint32_t channelType, std::uint8_t channel, std::uint8_t index,
                              std::uint16_t parameter, const std::uint8_t* request,
                              std::uint32_t requestLength, std::uint8_t* response,
                              std::uint32_t* responseLength);
    std::uint16_t ProGetStatus(std::uint16_t* status, std::uint32_t* detail, char* text);
    std::uint16_t ProIdentify(void* record);
    std::uint16_t ProSetExclusivity(std::uint32_t channelType, std::uint8_t channel, std::uint8_t index);
    std::uint16_t ProReleaseExclusivity(std::uint32_t channelType, std::uint8_t channel, std::uint8_t index);

    // Stores `detail` and the status it converts to; returns the status register.
    std::uint16_t SetLastStatus(DetailCode detail);

    // The first entry of the table configured with this channel number, or null.
    ChannelRecord* FindChannel(std::uint8_t channel);

    // Configuration loading (tuvex.ini).
    DetailCode PCSC_Init(const char* configPath);
    DetailCode LoadChannels(const char* configPath);
    DetailCode FindReader(const char* characteristics);
    DetailCode AddChannel(std::uint8_t index, const char* characteristics);

    // Connection, exclusivity and exchange workers.
    DetailCode PCSC_Connexion(std::uint8_t channel);
    DetailCode PCSC_Deconnexion(std::uint8_t channel);
    DetailCode PCSC_SetExclusivity(std::uint8_t channel, std::uint8_t index);
    DetailCode PCSC_RelExclusivity(std::uint8_t channel, std::uint8_t index);
    DetailCode PCSC_Echange(std::uint8_t channel, std::uint8_t index, std::uint16_t parameter,
                            const std::uint8_t* request, std::uint32_t requestLength, std::uint8_t* response,
                            std::uint32_t* responseLength);
    // Follows card insertion, removal, change and power before every reader command;
    // `powerOn` only for the power-on command.
    DetailCode RefreshCardState(ChannelRecord& entry, bool powerOn);

    std::uint16_t lastStatus() const { return m_lastStatus; }
    std::uint32_t lastDetail() const { return m_lastDetail; }
    std::uint16_t protocolNumber() const { return m_protocolNumber; }
    bool initialised() const { return m_initialised != 0; }
    const ChannelTable& channelTable() const { return m_channels; }
    ChannelTable& channelTable() { return m_channels; }
    std::array<std::uint8_t, kChannelSlots>& connectedFlags() { return m_connectedFlags; }
    ExclusivityBlock* exclusivityBlock() { return m_exclusivity.get(); }

private:
    using ExclusivityWorker = DetailCode (PluginState::*)(std::uint8_t, std::uint8_t);

    std::uint16_t failWith(DetailCode detail, std::uint16_t status);
    // The checks shared by ProSetExclusivity and ProReleaseExclusivity; `mark` is what
    // the exclusivity block records when the worker succeeds.
    std::uint16_t exclusivityExport(std::uint32_t channelType, std::uint8_t channel, std::uint8_t index,
                                    ExclusivityWorker worker, std::uint8_t mark);
    DetailCode ClearChannelTable();
    // Closes the card handles and releases the contexts the table still holds, so that
    // zeroing it loses no PC/SC resource.
    void ReleaseChannelResources();
    // Connects the entry's reader after clearing the mode bits; sets `modeFlag` on
    // success. The handle is 0 after a failure.
    std::int32_t connectReader(ChannelRecord& entry, std::uint32_t shareMode, std::uint16_t modeFlag);
    // Closes the entry's card handle, if any, leaving the card. The handle is
    // forgotten whatever the service answered: it cannot be closed a second time.
    void closeCard(ChannelRecord& entry);
    // Begins a transaction on the entry's handle; the converted result, card warnings
    // counting as failures.
    DetailCode beginTransaction(ChannelRecord& entry);
    // Forgets the entry's context and connection, as the last disconnection does.
    void forgetContext(ChannelRecord& entry);

    // The three steps of RefreshCardState. Each returns a non-zero code that ends
    // the refresh.
    DetailCode readReader(ChannelRecord& entry);
    DetailCode compareWithRecord(ChannelRecord& entry, bool powerOn);
    DetailCode reconnectOrFallBack(ChannelRecord& entry);
    // After a change of card: state 0 and a direct hold on the reader.
    DetailCode followNewCard(ChannelRecord& entry);
    // Begins the transaction again on a new or reconnected handle when the entry had
    // one; forgets it when that fails.
    std::int32_t restartTransaction(ChannelRecord& entry);

    // The reader commands, each after the common checks of PCSC_Echange.
    DetailCode dispatch(Exchange& x);
    DetailCode resetReader(Exchange& x);
    DetailCode selfTest(Exchange& x);
    DetailCode configureFrequency(Exchange& x);
    DetailCode testPresence(Exchange& x);
    DetailCode powerOn(Exchange& x);
    DetailCode powerOff(Exchange& x);
    DetailCode cardInstruction(Exchange& x);

    pcsc::PcscApi& m_pcsc;
    std::uint16_t m_lastStatus = 0;
    std::uint32_t m_lastDetail = 0;
    std::uint16_t m_protocolNumber = 1;
    // 1 while the channel number has a live PC/SC context.
    std::array<std::uint8_t, kChannelSlots> m_connectedFlags{};
    // Mark [channel][index] is 1 while that exclusivity is held. Allocated by the
    // first ProInit, freed by ProTermin.
    std::unique_ptr<ExclusivityBlock> m_exclusivity;
    ChannelTable m_channels{};
    // Set once a configuration loaded completely; never cleared.
    std::uint8_t m_initialised = 0;
};

}  // namespace ostrel
