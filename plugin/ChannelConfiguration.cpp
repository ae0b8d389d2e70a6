#include "PluginState.h"

#include "common/ProfileFile.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace ostrel {

namespace {

constexpr std::uint32_t kListBufferSize = 255;
constexpr std::uint32_t kCharacteristicsBufferSize = 256;
constexpr std::uint32_t kPcscListSize = 1024;

// A profile value starting with '?' is the default: the key is treated as absent.
bool missing(const char* value)
{
    return value[0] == '?';
}

// Items of the channel list: pieces between commas, empty pieces skipped, so "1,,2"
// and ",1" still name channels and a list of commas names none.
std::vector<std::string> listItems(const char* text)
{
    std::vector<std::string> items;
    std::string current;
    for (const char* at = text;; ++at) {
        if (*at == ',' || *at == '\0') {
            if (!current.empty()) items.push_back(current);
            current.clear();
            if (*at == '\0') break;
        } else {
            current += *at;
        }
    }
    return items;
}

// Leading blanks skipped, then digits up to the first other character; a sign is such
// a character, so "+1" and "-255" read as 0. Wrapping modulo 2^32 keeps the low 8 bits
// of any length of number exact.
std::uint32_t decimalValue(const std::string& item)
{
    std::size_t at = 0;
    while (at < item.size() && std::isspace(static_cast<unsigned char>(item[at]))) ++at;
    std::uint32_t value = 0;
    for (; at < item.size() && item[at] >= '0' && item[at] <= '9'; ++at)
        value = value * 10 + static_cast<std::uint32_t>(item[at] - '0');
    return value;
}

// A multi-string list is empty when it holds no first name.
bool emptyList(const char* list, std::uint32_t length)
{
    return length == 0 || list[0] == '\0';
}

}  // namespace

DetailCode PluginState::PCSC_Init(const char* configPath)
{
    ReleaseChannelResources();
    m_channels = ChannelTable{};
    for (ChannelRecord& entry : m_channels) entry.cardCounter = 1;
    const DetailCode result = LoadChannels(configPath);
    if (result == kDetailOk) m_initialised = 1;
    return result;
}

DetailCode PluginState::LoadChannels(const char* configPath)
{
    std::unique_ptr<char[]> list(new (std::nothrow) char[kListBufferSize]);
    if (!list) return kDetailNotConnected;
    const std::string protocolSection = "Protocole" + std::to_string(m_protocolNumber);
    common::getProfileString(protocolSection.c_str(), "ListeCanaux", "?", list.get(), kListBufferSize,
                             configPath);
    const std::vector<std::string> items = listItems(list.get());
    if (items.empty() || items.front()[0] == '?') return kDetailNoChannelList;

    for (const std::string& item : items) {
        const auto channel = static_cast<std::uint8_t>(decimalValue(item) & 0xFF);
        if (channel < 1 || channel > kMaxChannel) return kDetailBadChannelEntry;
        const std::string channelSection = "Canal" + std::to_string(channel);
        char characteristics[kCharacteristicsBufferSize];
        common::getProfileString(channelSection.c_str(), "Caracteristiques", "?", characteristics,
                                 kCharacteristicsBufferSize, configPath);
        if (missing(characteristics)) return kDetailBadChannelEntry;
        const auto index = static_cast<std::uint8_t>(
            common::getProfileInt(channelSection.c_str(), "Index", 0, configPath) & 0xFF);
        if (index == 0) return kDetailNoIndex;
        if (const DetailCode found = FindReader(characteristics); found != kDetailOk) return found;
        if (const DetailCode added = AddChannel(index, characteristics); added != kDetailOk) return added;
    }
    return kDetailOk;
}

DetailCode PluginState::FindReader(const char* characteristics)
{
    // One spare byte past each list keeps the walk terminated whatever the service
    // wrote.
    char groups[kPcscListSize + 1] = {};
    std::uint32_t length = kPcscListSize;
    std::int32_t result = m_pcsc.listReaderGroups(0, groups, &length);
    // A service without reader groups cannot be asked: the reader is taken on trust.
    if (result != pcsc::kSuccess || emptyList(groups, length)) return PcscToDetail(result, true);

    char readers[kPcscListSize + 1] = {};
    length = kPcscListSize;
    result = m_pcsc.listReaders(0, nullptr, readers, &length);
    if (result != pcsc::kSuccess || emptyList(readers, length)) return PcscToDetail(result, true);

    // The configured text may be longer than the reader's name: a listed name anywhere
    // in it counts, and every listed reader is looked at.
    const char* end = readers + (length < kPcscListSize ? length : kPcscListSize);
    bool found = false;
    for (const char* name = readers; name < end && *name != '\0'; name += std::strlen(name) + 1)
        if (readerNameMatches(characteristics, name)) found = true;
    return found ? kDetailOk : kDetailReaderNotFound;
}

DetailCode PluginState::AddChannel(std::uint8_t index, const char* characteristics)
{
    for (ChannelRecord& entry : m_channels) {
        if (entry.channel != 0) continue;
        entry.channel = index;
        entry.flags |= kFlagConfigured;
        entry.context = 0;
        std::strncpy(entry.readerName, characteristics, kReaderNameSize - 1);
        entry.readerName[kReaderNameSize - 1] = '\0';
        return kDetailOk;
    }
    return kDetailTableFull;
}

}  // namespace ostrel
