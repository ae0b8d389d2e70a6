#include "PluginLibrary.h"

#include "HostConfig.h"

#include <filesystem>

namespace tuvex_host {

namespace {

bool hasDirectory(const std::string& name)
{
    return name.find_first_of("/\\") != std::string::npos;
}

}  // namespace

std::unique_ptr<PluginLibrary> loadPlugin(const std::string& nomLib,
                                          const std::vector<std::string>& directories, std::string& error)
{
    const std::vector<std::string> names = libraryFileNames(nomLib);
    std::vector<std::string> candidates;
    std::string tried;
    for (const std::string& name : names) {
        if (hasDirectory(name)) {
            candidates.push_back(name);
            continue;
        }
        for (const std::string& directory : directories) {
            const std::string path = directory + "/" + name;
            std::error_code ignored;
            if (std::filesystem::exists(path, ignored))
                candidates.push_back(path);
            else
                tried += "\n  " + path + ": no such file";
        }
    }
    // Then the platform's search (library path, cache), by the bare names.
    for (const std::string& name : names)
        if (!hasDirectory(name)) candidates.push_back(name);

    auto library = std::make_unique<PluginLibrary>();
    for (const std::string& candidate : candidates) {
        std::string why;
        library->loaded = ostrel::LoadedLibrary::open(candidate, why);
        if (library->loaded) {
            library->file = candidate;
            break;
        }
        tried += (hasDirectory(candidate) ? "\n  " : "\n  system library path: ") + why;
    }
    if (!library->loaded) {
        error = "cannot load the protocol library " + nomLib + "; tried:" + tried +
                "\nGive the folder that holds it with --lib-dir DIR.";
        return nullptr;
    }
    if (!library->loaded->resolve(*library, error)) return nullptr;
    return library;
}

}  // namespace tuvex_host
