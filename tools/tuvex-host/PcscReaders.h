#pragma once
// The PC/SC readers as the service lists them, each with its card's state and ATR,
// asked by tuvex-host itself: to show the readers a configuration could name, and to
// say why a ProInit failed.

#include "Commands.h"

#include <cstdint>
#include <functional>
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

namespace tuvex_host {

struct WatchEvent {
    std::string event;  // "present" for the starting state, then "card-inserted", "card-removed",
                        // "reader-added", "reader-removed", "service-lost", "service-back"
    std::string reader;
    Bytes atr;
    std::string detail;  // the PC/SC result behind a service event
};

// Reports the starting state (one "present" event per reader, not counted), then every
// change until `count` changes (0: no limit) or `timeoutSeconds` (0: none) have passed.
// A service that goes away is waited for; when it is back the watch carries on.
void watchReaders(unsigned count, unsigned timeoutSeconds,
                  const std::function<void(const WatchEvent&)>& emit);

}  // namespace tuvex_host
