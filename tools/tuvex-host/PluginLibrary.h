#pragma once
// One protocol library loaded by file name, with its nine exports resolved.

#include "OstrelLibrary.h"

#include <memory>
#include <string>
#include <vector>

namespace tuvex_host {

struct PluginLibrary : ostrel::Exports {
    std::string file;  // the file that was loaded
    std::unique_ptr<ostrel::LoadedLibrary> loaded;
};

// Loads the library a NomLib value names: each of its file names (see
// libraryFileNames) in each of `directories` in order, then by the platform's own
// search. Null with `error` naming the library, every place tried and the reason.
std::unique_ptr<PluginLibrary> loadPlugin(const std::string& nomLib,
                                          const std::vector<std::string>& directories, std::string& error);

}  // namespace tuvex_host
