#include "PluginLibrary.h"

#include "HostConfig.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tuvex_host {

namespace {

// The platform's loader: LoadLibraryA and GetProcAddress, or dlopen and dlsym.
#ifdef _WIN32
void* openLibrary(const std::string& file)
{
    return reinterpret_cast<void*>(LoadLibraryA(file.c_str()));
}
void* symbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}
std::string loadError(const std::string& file)
{
    return file + ": error " + std::to_string(GetLastError());
}
#else
void* openLibrary(const std::string& file)
{
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* symbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}
void closeLibrary(void* handle)
{
    dlclose(handle);
}
std::string loadError(const std::string& file)
{
    const char* why = dlerror();
    return why != nullptr ? why : file;
}
#endif

bool hasDirectory(const std::string& name)
{
    return name.find_first_of("/\\") != std::string::npos;
}

template <typename Fn>
bool resolve(PluginLibrary& library, const char* name, Fn& target, std::string& error)
{
    target = reinterpret_cast<Fn>(symbol(library.handle, name));
    if (target == nullptr && error.empty()) error = library.file + " lacks the export " + name;
    return target != nullptr;
}

}  // namespace

PluginLibrary::~PluginLibrary()
{
    if (handle != nullptr) closeLibrary(handle);
}

std::unique_ptr<PluginLibrary> loadPlugin(const std::string& nomLib,
                                          const std::vector<std::string>& directories, std::string& error)
{
    std::vector<std::string> candidates;
    for (const std::string& name : libraryFileNames(nomLib)) {
        if (hasDirectory(name)) {
            candidates.push_back(name);
            continue;
        }
        std::error_code ignored;
        for (const std::string& directory : directories)
            if (std::filesystem::exists(directory + "/" + name, ignored))
                candidates.push_back(directory + "/" + name);
    }
    // Then the platform's search (library path, cache), by the bare names.
    for (const std::string& name : libraryFileNames(nomLib))
        if (!hasDirectory(name)) candidates.push_back(name);

    auto library = std::make_unique<PluginLibrary>();
    std::string reasons;
    for (const std::string& candidate : candidates) {
        library->handle = openLibrary(candidate);
        if (library->handle != nullptr) {
            library->file = candidate;
            break;
        }
        reasons += "\n  " + loadError(candidate);
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
