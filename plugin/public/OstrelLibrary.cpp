#include "OstrelLibrary.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ostrel {

namespace {

#ifdef _WIN32
void* openFile(const std::string& file)
{
    return reinterpret_cast<void*>(LoadLibraryA(file.c_str()));
}
void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
bool closeHandle(void* handle)
{
    return FreeLibrary(static_cast<HMODULE>(handle)) != 0;
}
std::string loaderError(const std::string& file)
{
    return file + ": system error " + std::to_string(GetLastError());
}
#else
void* openFile(const std::string& file)
{
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}
bool closeHandle(void* handle)
{
    return dlclose(handle) == 0;
}
std::string loaderError(const std::string& file)
{
    // dlerror names the file itself.
    const char* why = dlerror();
    return why != nullptr ? why : file;
}
#endif

template <typename Fn>
void take(const LoadedLibrary& library, const char* name, Fn& target, std::string& error)
{
    target = reinterpret_cast<Fn>(library.symbol(name));
    if (target == nullptr && error.empty()) error = library.file() + " lacks the export " + name;
}

}  // namespace

std::unique_ptr<LoadedLibrary> LoadedLibrary::open(const std::string& file, std::string& error)
{
    void* handle = openFile(file);
    if (handle == nullptr) {
        error = loaderError(file);
        return nullptr;
    }
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle, file));
}

LoadedLibrary::~LoadedLibrary()
{
    release();
}

bool LoadedLibrary::release()
{
    if (m_handle == nullptr) return true;
    void* handle = m_handle;
    m_handle = nullptr;
    return closeHandle(handle);
}

void* LoadedLibrary::symbol(const char* name) const
{
    return m_handle != nullptr ? findSymbol(m_handle, name) : nullptr;
}

bool LoadedLibrary::resolve(Exports& exports, std::string& error) const
{
    error.clear();
    take(*this, "ProInit", exports.init, error);
    take(*this, "ProTermin", exports.termin, error);
    take(*this, "ProConnect", exports.connect, error);
    take(*this, "ProDisconnect", exports.disconnect, error);
    take(*this, "ProExchange", exports.exchange, error);
    take(*this, "ProGetStatus", exports.getStatus, error);
    take(*this, "ProIdentify", exports.identify, error);
    take(*this, "ProSetExclusivity", exports.setExclusivity, error);
    take(*this, "ProReleaseExclusivity", exports.releaseExclusivity, error);
    return error.empty();
}

}  // namespace ostrel
