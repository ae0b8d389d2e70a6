#pragma once
// The PC/SC readers as the service lists them, each with its card's state and ATR,
// asked by tuvex-host itself: to show the readers a configuration could name, and to
// say why a ProInit failed.

#include "Commands.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tuvex_host {

struct ReaderInfo {
    std::string name;
    bool card = false;
    bool inUse = false;  // another program holds the card exclusively
    Bytes atr;
};

struct ReaderScan {
    bool reachable = false;   // a context could be established
    std::int32_t result = 0;  // the failing call's result, 0 when all went well
    std::vector<ReaderInfo> readers;
};

ReaderScan scanReaders();

// The service's own name for a PC/SC result, with its number.
std::string pcscResultText(std::int32_t result);

// The readers whose names the configured text carries, by the plug-in's rule.
std::vector<std::string> matchingReaders(const std::string& configured,
                                         const std::vector<ReaderInfo>& readers);

// How to start the PC/SC service, for the messages that say it is not running.
extern const char kStartServiceHint[];

}  // namespace tuvex_host
