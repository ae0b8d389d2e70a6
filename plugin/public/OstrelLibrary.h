#pragma once
// A protocol library loaded by file name with its nine exports resolved, as the access
// manager loads one: LoadLibraryA and GetProcAddress on Windows, dlopen and dlsym
// elsewhere. tuvex-host, the tests and the benchmarks all load the plug-in through it.

#include "Ostrel.h"

#include <memory>
#include <string>

namespace ostrel {

struct Exports {
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

class LoadedLibrary {
public:
    // Null, with the loader's reason in `error`, when `file` cannot be loaded.
    static std::unique_ptr<LoadedLibrary> open(const std::string& file, std::string& error);

    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    // Unloads, ignoring a failure; call release() to see one.
    ~LoadedLibrary();

    // Unloads now (the plug-in's unload runs ProTermin); false when the loader refused.
    bool release();

    const std::string& file() const { return m_file; }
    void* symbol(const char* name) const;

    // Resolves the nine exports; false with `error` naming the first one missing.
    bool resolve(Exports& exports, std::string& error) const;

private:
    LoadedLibrary(void* handle, std::string file) : m_handle(handle), m_file(std::move(file)) {}

    void* m_handle;
    std::string m_file;
};

}  // namespace ostrel
