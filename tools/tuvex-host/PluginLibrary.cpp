#include "PluginLibrary.h"

#include "HostConfig.h"

#include <dlfcn.h>
#include <unistd.h>

namespace tuvex_host {

namespace {

template <typename Fn>
bool resolve(PluginLibrary& library, const char* name, Fn& target, std::string& error) {
    target = reinterpret_cast<Fn>(dlsym(library.handle, name));
    if (target == nullptr && error.empty()) error = library.file + " lacks the export " + name;
    return target != nullptr;
}

}  // namespace

PluginLibrary::~PluginLibrary() {
    if (handle != nullptr) dlclose(handle);
}

std::unique_ptr<PluginLibrary> loadPlugin(const std::string& nomLib,
                                          const std::vector<std::string>& directories,
                                          std::string& error) {
    std::vector<std::string> candidates;
    for (const std::string& name : libraryFileNames(nomLib)) {
        if (name.find('/') != std::string::npos) {
            candidates.push_back(name);
            continue;
        }
        for (const std::string& directory : directories)
            if (::access((directory + "/" + name).c_str(), F_OK) == 0)
                candidates.push_back(directory + "/" + name);
    }
    // Then the platform's search (library path, cache), by the bare names.
    for (const std::string& name : libraryFileNames(nomLib))
        if (name.find('/') == std::string::npos) candidates.push_back(name);

    auto library = std::make_unique<PluginLibrary>();
    std::string reasons;
    for (const std::string& candidate : candidates) {
        library->handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library->handle != nullptr) {
            library->file = candidate;
            break;
        }
        const char* why = dlerror();
        reasons += std::string("\n  ") + (why != nullptr ? why : candidate.c_str());
    }
    if (library->handle == nullptr) {
        error = "cannot load the protocol library " + nomLib + reasons;
        return nullptr;
    }
    error.clear();
    const bool complete = resolve(*library, "ProInit", library->init, error) &
                          resolve(*library, "ProTermin", library->termin, error) &
                          resolve(*library, "ProConnect", library->connect, error) &
                          resolve(*library, "ProDisconnect", library->disconnect, error) &
                          resolve(*library, "ProExchange", library->exchange, error) &
                          resolve(*library, "ProGetStatus", library->getStatus, error) &
                          resolve(*library, "ProIdentify", library->identify, error) &
                          resolve(*library, "ProSetExclusivity", library->setExclusivity, error) &
                          resolve(*library, "ProReleaseExclusivity", library->releaseExclusivity, error);
    if (!complete) return nullptr;
    return library;
}

}  // namespace tuvex_host
