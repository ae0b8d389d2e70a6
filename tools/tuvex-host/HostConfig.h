#pragma once
// What a host reads from tuvex.ini: the protocol sections with the library each names
// (NomLib) and the channels it serves (ListeCanaux), and the channel sections.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tuvex_host {

struct ChannelConfig {
    unsigned section = 0;  // n of [CANALn], as ListeCanaux names it
    unsigned index = 0;    // Index: the channel number the exports take
    unsigned type = 3;     // TCanal; 3 (PC/SC) when absent
    std::string reader;    // Caracteristiques
};

struct ProtocolConfig {
    unsigned number = 0;  // n of [PROTOCOLEn], given to ProInit
    std::string library;  // NomLib
    std::vector<unsigned> channels;
};

struct HostConfig {
    std::string path;
    std::vector<ProtocolConfig> protocols;  // in protocol-number order
    std::map<unsigned, ChannelConfig> channels;
};

// Reads `path`; on failure `error` says what is wrong with which file.
std::optional<HostConfig> readConfig(const std::string& path, std::string& error);

// The file names tried for a NomLib value: the value itself, then, away from Windows,
// for a Windows name such as OSTREL.DLL the platform's lib<lowercase name>.so.
std::vector<std::string> libraryFileNames(const std::string& nomLib);

}  // namespace tuvex_host
