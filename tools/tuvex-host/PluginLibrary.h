#pragma once
// One protocol library loaded by file name, with its nine exports resolved.

#include "Ostrel.h"

#include <memory>
#include <string>
#include <vector>

namespace tuvex_host {

struct PluginLibrary {
    PluginLibrary() = default;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    std::string file;  // the file that was loaded
    void* handle = nullptr;
    ProInitFn init = nullptr;
    ProTerminFn termin = nullptr;
    ProConnectFn connect = nullptr;
    ProDisconnectFn disconnect = nullptr;
    ProExchangeFn exchange = nullptr;
    ProGetStatusFn getStatus = nullptr;
    ProIdentifyFn identify = nullptr;
    ProExclusivityFn setExclusivity = nullptr;
    ProExclusivityFn releaseExclusivity = nullptr;
};

// Loads the library a NomLib value names: each of its file names (see
// libraryFileNames) in each of `directories` in order, then by the platform's own
// search. Null with `error` naming the library and the reason.
std::unique_ptr<PluginLibrary> loadPlugin(const std::string& nomLib,
                                          const std::vector<std::string>& directories, std::string& error);

}  // namespace tuvex_host
