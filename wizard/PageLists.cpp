#include "PageLists.h"

#include <array>
#include <span>
#include <string_view>

namespace calveno {

namespace {

struct SerialEntry {
    std::string_view text;
    std::string_view value;
};

// Each serial list with the value its entries store, in list order. The
// first entry is selected for a value the list does not hold, except for the
// data bits, where only "5" selects the first entry.
constexpr std::array kSpeeds{SerialEntry{"9600 bauds", "9600"}, SerialEntry{"19200 bauds", "19200"}};
constexpr std::array kDataBits{SerialEntry{"5 bits", "5"}, SerialEntry{"8 bits", "8"}};
constexpr std::array kParities{SerialEntry{"Pas de parité", "0"}, SerialEntry{"Parité impaire", "1"},
                               SerialEntry{"Parité paire", "2"}};
constexpr std::array kStopBits{SerialEntry{"1 bit", "0"}, SerialEntry{"1,5 bit", "1"},
                               SerialEntry{"2 bits", "2"}};

constexpr std::array<std::string_view, 4> kPorts{"COM1:", "COM2:", "COM3:", "COM4:"};

std::span<const SerialEntry> serialEntries(SerialField field)
{
    switch (field) {
    case SerialField::Speed: return kSpeeds;
    case SerialField::DataBits: return kDataBits;
    case SerialField::Parity: return kParities;
    case SerialField::StopBits: return kStopBits;
    }
    return {};
}

const std::string& serialValue(const ReaderSettings& reader, SerialField field)
{
    switch (field) {
    case SerialField::Speed: return reader.speed;
    case SerialField::DataBits: return reader.dataBits;
    case SerialField::Parity: return reader.parity;
    case SerialField::StopBits: break;
    }
    return reader.stopBits;
}

std::string& serialValue(ReaderSettings& reader, SerialField field)
{
    return const_cast<std::string&>(serialValue(static_cast<const ReaderSettings&>(reader), field));
}

// "2" → 1, "3" → 2, "4" → 3, anything else → 0.
int portIndex(const std::string& port)
{
    for (int i = 1; i < static_cast<int>(kPorts.size()); ++i) {
        if (port == std::to_string(i + 1)) return i;
    }
    return 0;
}

bool chainedReaderTwo(const WizardSettings& settings)
{
    return settings.CurrentReader == 2 && settings.Topology == kTopologyChaines;
}

int titleByReader(const WizardSettings& settings, int first, int single, int second)
{
    if (settings.CurrentReader == 2) return second;
    return isTwoReaderTopology(settings.Topology) ? first : single;
}

}  // namespace

ReaderSettings& currentReaderSettings(WizardSettings& settings)
{
    return settings.CurrentReader == 2 ? settings.reader2 : settings.reader1;
}

const ReaderSettings& currentReaderSettings(const WizardSettings& settings)
{
    return settings.CurrentReader == 2 ? settings.reader2 : settings.reader1;
}

int readerPageTitle(const WizardSettings& settings)
{
    return titleByReader(settings, kTitleFirstReader, kTitleSingleReader, kTitleSecondReader);
}

int serialPortPageTitle(const WizardSettings& settings)
{
    return titleByReader(settings, kTitlePortFirstReader, kTitlePortSingleReader, kTitlePortSecondReader);
}

std::string protocolName(std::uint16_t protocol)
{
    return protocol == kProtocolPcsc ? "Protocole PC / SC" : "Protocole Santé-Social";
}

std::vector<std::uint16_t> protocolChoices(const WizardSettings& settings)
{
    if (settings.CurrentReader == 2 && settings.Topology == kTopologyDeuxPorts)
        return {settings.reader1.protocol};
    if (settings.Topology == kTopologyChaines || settings.Topology == kTopologyBifente)
        return {kProtocolSerie};
    return {kProtocolSerie, kProtocolPcsc};
}

ChoiceList protocolList(const WizardSettings& settings)
{
    ChoiceList list;
    const std::uint16_t current = currentReaderSettings(settings).protocol;
    for (std::uint16_t protocol : protocolChoices(settings)) {
        if (protocol == current) list.selected = static_cast<int>(list.entries.size());
        list.entries.push_back(protocolName(protocol));
    }
    return list;
}

bool storeProtocolChoice(WizardSettings& settings, int index)
{
    const std::vector<std::uint16_t> choices = protocolChoices(settings);
    if (index < 0 || index >= static_cast<int>(choices.size())) return false;
    currentReaderSettings(settings).protocol = choices[static_cast<std::size_t>(index)];
    return true;
}

ChoiceList portList(const WizardSettings& settings)
{
    if (chainedReaderTwo(settings))
        return {{std::string(kPorts[static_cast<std::size_t>(portIndex(settings.reader1.port))])}, 0};
    ChoiceList list;
    for (std::string_view port : kPorts) list.entries.emplace_back(port);
    list.selected = portIndex(currentReaderSettings(settings).port);
    return list;
}

bool storePortChoice(WizardSettings& settings, int index)
{
    if (chainedReaderTwo(settings)) {
        if (index != 0) return false;
        settings.reader2.port = settings.reader1.port;
        return true;
    }
    if (index < 0 || index >= static_cast<int>(kPorts.size())) return false;
    currentReaderSettings(settings).port = std::to_string(index + 1);
    return true;
}

ChoiceList addressList(const ReaderSettings& reader)
{
    ChoiceList list;
    list.selected = 0;
    for (int digit = 0; digit <= 8; ++digit) {
        list.entries.push_back(std::to_string(digit));
        if (reader.address == list.entries.back()) list.selected = digit;
    }
    return list;
}

bool storeAddressChoice(ReaderSettings& reader, int index)
{
    if (index < 0 || index > 8) return false;
    reader.address = std::to_string(index);
    return true;
}

ChoiceList serialList(const ReaderSettings& reader, SerialField field)
{
    const std::span<const SerialEntry> entries = serialEntries(field);
    ChoiceList list;
    const std::string& value = serialValue(reader, field);
    // Data bits: anything but "5" shows "8 bits", the list's usual entry.
    list.selected = field == SerialField::DataBits ? 1 : 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        list.entries.emplace_back(entries[i].text);
        if (value == entries[i].value) list.selected = static_cast<int>(i);
    }
    return list;
}

bool storeSerialChoice(ReaderSettings& reader, SerialField field, int index)
{
    const std::span<const SerialEntry> entries = serialEntries(field);
    if (index < 0 || index >= static_cast<int>(entries.size())) return false;
    serialValue(reader, field) = std::string(entries[static_cast<std::size_t>(index)].value);
    return true;
}

}  // namespace calveno
