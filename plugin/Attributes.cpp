#include "Attributes.h"

#include "CardTypeTable.h"

#include <cstring>

namespace ostrel {

namespace {

struct NumberAttribute {
    std::uint32_t id;
    std::uint32_t ChannelRecord::*field;
};

constexpr NumberAttribute kReaderNumbers[] = {
    {kAttrDriverVersion, &ChannelRecord::driverVersion},
    {kAttrChannelId, &ChannelRecord::channelId},
    {kAttrDefaultClock, &ChannelRecord::defaultClockKHz},
    {kAttrMaximumClock, &ChannelRecord::maximumClockKHz},
    {kAttrDefaultDataRate, &ChannelRecord::defaultDataRate},
    {kAttrMaximumDataRate, &ChannelRecord::maximumDataRate},
    {kAttrPowerManagement, &ChannelRecord::powerManagement},
    {kAttrMechanical, &ChannelRecord::mechanicalCharacteristics},
};

// Only a card connection has negotiated a protocol to report.
constexpr NumberAttribute kCardProtocolNumbers[] = {
    {kAttrProtocolType, &ChannelRecord::currentProtocolType},
    {kAttrCurrentBwt, &ChannelRecord::currentBwt},
    {kAttrCurrentCwt, &ChannelRecord::currentCwt},
    {kAttrCurrentW, &ChannelRecord::currentW},
    {kAttrCurrentN, &ChannelRecord::currentN},
};

// Every read goes into a cleared buffer of the attribute's own size, so a shorter
// answer leaves zeros behind it.
// `answered` receives the attribute's length, capped at the buffer's size.
std::int32_t readAttribute(pcsc::PcscApi& pcsc, pcsc::Handle card, std::uint32_t id, std::uint8_t* buffer,
                           std::uint32_t size, std::uint32_t* answered = nullptr)
{
    std::memset(buffer, 0, size);
    std::uint32_t length = size;
    const std::int32_t result = pcsc.getAttrib(card, id, buffer, &length);
    if (answered != nullptr) *answered = length < size ? length : size;
    return result;
}

void readNumber(pcsc::PcscApi& pcsc, ChannelRecord& entry, const NumberAttribute& attribute)
{
    std::uint8_t buffer[4];
    if (readAttribute(pcsc, entry.card, attribute.id, buffer, sizeof buffer) != pcsc::kSuccess) return;
    entry.*attribute.field =
        static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
        static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
}

bool cardIsThere(std::uint8_t presence)
{
    return presence == 1 || presence == 2 || presence == 4;
}

void registerCardType(pcsc::PcscApi& pcsc, const ChannelRecord& entry)
{
    const CardTypeRow& row = findCardType(entry.atr, entry.atrLength);
    const CardTypeIdentifier identifier = cardTypeIdentifier(row);
    pcsc.introduceCardType(entry.context, row.cardName, identifier.data(), identifier.data(), 0, entry.atr,
                           nullptr, entry.atrLength);
}

}  // namespace

void GetReaderCapabilities(pcsc::PcscApi& pcsc, ChannelRecord& entry)
{
    std::uint8_t text[32];
    if (readAttribute(pcsc, entry.card, kAttrVendorName, text, sizeof text) == pcsc::kSuccess) {
        std::memcpy(entry.vendorName, text, sizeof text);
        entry.vendorName[sizeof text] = '\0';
    }
    readAttribute(pcsc, entry.card, kAttrVendorReaderType, text, sizeof text);
    for (const NumberAttribute& attribute : kReaderNumbers) readNumber(pcsc, entry, attribute);
    if ((entry.flags & (kFlagSharedMode | kFlagExclusiveMode)) == 0) return;
    for (const NumberAttribute& attribute : kCardProtocolNumbers) readNumber(pcsc, entry, attribute);
}

DetailCode GetCardCapabilities(pcsc::PcscApi& pcsc, ChannelRecord& entry, std::int32_t* serviceLoss)
{
    const auto lost = [&](std::int32_t read) {
        if (!pcsc::isServiceLoss(read)) return false;
        if (serviceLoss != nullptr) *serviceLoss = read;
        return true;
    };
    std::uint8_t byte[1];
    DetailCode result = kDetailOk;
    std::int32_t read = readAttribute(pcsc, entry.card, kAttrCardPresence, byte, sizeof byte);
    if (lost(read)) return PcscToDetail(read, false);
    if (read == pcsc::kSuccess) {
        entry.cardPresence = byte[0];
    } else {
        result = PcscToDetail(read, false);
        // Only answers that mean "no card" clear the presence; after any other failure
        // the last known presence is the best guess.
        if (read == pcsc::kNoSmartcard || read == pcsc::kSystemNoMedia || read == pcsc::kRemovedCard)
            entry.cardPresence = 0;
    }
    if (!cardIsThere(entry.cardPresence)) return result;

    read = readAttribute(pcsc, entry.card, kAttrInterfaceStatus, byte, sizeof byte);
    if (lost(read)) return PcscToDetail(read, false);
    if (read == pcsc::kSuccess)
        entry.cardInterfaceStatus = byte[0];
    else
        result = PcscToDetail(read, false);

    std::uint8_t atr[kAtrSize];
    std::uint32_t length = 0;
    read = readAttribute(pcsc, entry.card, kAttrAtr, atr, sizeof atr, &length);
    lost(read);
    if (read != pcsc::kSuccess) return PcscToDetail(read, false);
    if (length == entry.atrLength && std::memcmp(atr, entry.atr, length) == 0) return result;

    // Another ATR means another card: the caller reconnects and steps the counter.
    std::memcpy(entry.atr, atr, length);
    if (length < kAtrSize) entry.atr[length] = 0;
    entry.atrLength = length;
    registerCardType(pcsc, entry);
    entry.cardState = kCardPresent;

    if (readAttribute(pcsc, entry.card, kAttrCardTypePerAtr, byte, sizeof byte) == pcsc::kSuccess)
        entry.cardTypePerAtr = byte[0];
    return kDetailCardChanged;
}

}  // namespace ostrel
