#pragma once
// The one settings record of a wizard run. Every value that ends up in a file
// is held as the short decimal text that is written, so the templates copy it
// as it is.

#include <cstdint>
#include <string>

namespace calveno {

// Topology ids are the ids of the choice page's radio buttons.
constexpr std::uint16_t kTopologyMonofente = 5017;  // one-slot reader
constexpr std::uint16_t kTopologyBifente = 5014;    // two-slot reader
constexpr std::uint16_t kTopologyChaines = 5016;    // two chained readers on one port
constexpr std::uint16_t kTopologyDeuxPorts = 5015;  // two readers on two ports

// Protocol ids are also the string ids of the protocol names.
constexpr std::uint16_t kProtocolSerie = 5116;  // "Protocole Santé-Social"
constexpr std::uint16_t kProtocolPcsc = 5117;   // "Protocole PC / SC"

// The PC/SC name field holds at most this many characters; the plug-in reads
// no more of it back from tuvex.ini.
constexpr std::size_t kMaxPcscNameLength = 255;

struct ReaderSettings {
    std::uint16_t protocol = kProtocolSerie;
    std::string pcscName;
    std::string port;      // "1".."4" for COM1..COM4
    std::string speed;     // "9600" or "19200"
    std::string dataBits;  // "5" or "8"
    std::string parity;    // "0" none, "1" odd, "2" even
    std::string stopBits;  // "0" one, "1" one and a half, "2" two
    std::string address;   // one digit "0".."8"
    std::uint16_t UseCps = 0;
    std::uint16_t UseAmbrel = 0;

    bool operator==(const ReaderSettings&) const = default;
};

struct WizardSettings {
    std::uint16_t Topology = kTopologyMonofente;
    int CurrentReader = 0;
    int MakeCnf = 0;
    int SummaryRow = 0;
    ReaderSettings reader1;
    ReaderSettings reader2;

    bool operator==(const WizardSettings&) const = default;
};

// The record as the main window sets it up before the choice page opens.
WizardSettings defaultWizardSettings();

bool isKnownTopology(std::uint16_t topology);
bool isTwoReaderTopology(std::uint16_t topology);

// A click on a choice-page radio button: sets the topology and presets the
// uses (and, for the two-reader arrangements, reader 2's port or address).
// Returns false and changes nothing for an unknown id.
bool applyTopologyChoice(WizardSettings& settings, std::uint16_t topology);

}  // namespace calveno
