#pragma once
// Loads a library by file name and looks up its exports, as a host does:
// LoadLibraryA/GetProcAddress/FreeLibrary on Windows, dlopen/dlsym/dlclose elsewhere.

#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ostrel::test {

#ifdef _WIN32

inline void* loadLibrary(const char* file)
{
    return reinterpret_cast<void*>(LoadLibraryA(file));
}
inline void* findSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
inline bool freeLibrary(void* library)
{
    return FreeLibrary(static_cast<HMODULE>(library)) != 0;
}
inline std::string loaderError()
{
    return "system error " + std::to_string(GetLastError());
}

#else

inline void* loadLibrary(const char* file)
{
    return dlopen(file, RTLD_NOW | RTLD_LOCAL);
}
inline void* findSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}
inline bool freeLibrary(void* library)
{
    return dlclose(library) == 0;
}
inline std::string loaderError()
{
    const char* text = dlerror();
    return text != nullptr ? text : "";
}

#endif

}  // namespace ostrel::test
