#pragma once
// What the reader page and the serial-port page show in their lists, which
// entry they select on opening and what choosing an entry stores. Texts are
// UTF-8 display texts.

#include "WizardSettings.h"

#include <string>
#include <vector>

namespace calveno {

// A list's entries and its selected entry on opening (-1: none).
struct ChoiceList {
    std::vector<std::string> entries;
    int selected = -1;
    bool operator==(const ChoiceList&) const = default;
};

// Title texts of the reader page and the serial-port page, by id.
constexpr int kTitleFirstReader = 5102;
constexpr int kTitleSingleReader = 5046;
constexpr int kTitleSecondReader = 5039;
constexpr int kTitlePortFirstReader = 5040;
constexpr int kTitlePortSingleReader = 5047;
constexpr int kTitlePortSecondReader = 5041;

// The id of the title the reader page shows for `CurrentReader`.
int readerPageTitle(const WizardSettings& settings);
// The id of the title the serial-port page shows, by the same rule.
int serialPortPageTitle(const WizardSettings& settings);

// "Protocole Santé-Social" or "Protocole PC / SC".
std::string protocolName(std::uint16_t protocol);

// The protocols the reader page offers for the current reader, in list
// order. Call after prepareReaderPage.
std::vector<std::uint16_t> protocolChoices(const WizardSettings& settings);
ChoiceList protocolList(const WizardSettings& settings);
// Stores the protocol of the `index`-th entry; false for an index out of the list.
bool storeProtocolChoice(WizardSettings& settings, int index);

// "COM1:" to "COM4:"; chained reader 2 shows reader 1's port alone.
ChoiceList portList(const WizardSettings& settings);
bool storePortChoice(WizardSettings& settings, int index);

// "0" to "8".
ChoiceList addressList(const ReaderSettings& reader);
bool storeAddressChoice(ReaderSettings& reader, int index);

enum class SerialField { Speed, DataBits, Parity, StopBits };

ChoiceList serialList(const ReaderSettings& reader, SerialField field);
bool storeSerialChoice(ReaderSettings& reader, SerialField field, int index);

// The reader the reader page and the serial-port page edit.
ReaderSettings& currentReaderSettings(WizardSettings& settings);
const ReaderSettings& currentReaderSettings(const WizardSettings& settings);

}  // namespace calveno
