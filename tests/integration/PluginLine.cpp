#include "PluginLine.h"

#include "Ostrel.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <vector>

namespace integration {

namespace {

constexpr std::uint32_t kChannelType = 3;
constexpr std::uint32_t kResponseCapacity = 300;

void* openLibrary(const std::string& path, std::string& why)
{
#ifdef _WIN32
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) why = "LoadLibraryA failed, system error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
#else
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) why = dlerror();
    return handle;
#endif
}

bool closeLibrary(void* library)
{
#ifdef _WIN32
    return FreeLibrary(reinterpret_cast<HMODULE>(library)) != 0;
#else
    return dlclose(library) == 0;
#endif
}

void* symbol(void* library, const char* name)
{
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

template <typename Fn>
Fn resolve(void* library, const char* name)
{
    return reinterpret_cast<Fn>(symbol(library, name));
}

std::string statusText(std::uint16_t status)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", status);
    return text;
}

std::string hex(const std::uint8_t* bytes, std::size_t length)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

bool unhex(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    if (text.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(text.c_str() + i, "%2x", &value) != 1) return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return true;
}

}  // namespace

PluginLine::~PluginLine()
{
    if (m_library != nullptr) closeLibrary(m_library);
}

std::string PluginLine::call(std::string_view line)
{
    std::istringstream in{std::string(line)};
    std::string verb;
    in >> verb;
    if (verb == "load") {
        std::string path;
        std::getline(in >> std::ws, path);
        std::string why;
        m_library = openLibrary(path, why);
        return m_library != nullptr ? "0" : "1 " + why;
    }
    if (m_library == nullptr) return "error no library loaded";
    if (verb == "unload") {
        const bool closed = closeLibrary(m_library);
        m_library = nullptr;
        return closed ? "0" : "1";
    }
    if (verb == "termin") return statusText(resolve<ProTerminFn>(m_library, "ProTermin")());
    if (verb == "init") {
        unsigned protocol = 0;
        std::string path;
        in >> protocol;
        std::getline(in >> std::ws, path);
        return statusText(
            resolve<ProInitFn>(m_library, "ProInit")(static_cast<std::uint16_t>(protocol), path.c_str(), 0));
    }
    unsigned channel = 0;
    if (!(in >> channel)) return "error no channel";
    const auto ch = static_cast<std::uint8_t>(channel);
    if (verb == "connect")
        return statusText(resolve<ProConnectFn>(m_library, "ProConnect")(kChannelType, ch, ""));
    if (verb == "disconnect")
        return statusText(resolve<ProDisconnectFn>(m_library, "ProDisconnect")(kChannelType, ch));
    if (verb == "exclusive" || verb == "release") {
        unsigned index = 0;
        in >> index;
        const auto fn = resolve<ProExclusivityFn>(
            m_library, verb == "exclusive" ? "ProSetExclusivity" : "ProReleaseExclusivity");
        return statusText(fn(kChannelType, ch, static_cast<std::uint8_t>(index)));
    }
    if (verb == "exchange") {
        std::string requestHex;
        std::vector<std::uint8_t> request;
        if (!(in >> requestHex) || !unhex(requestHex, request)) return "error bad request";
        std::vector<std::uint8_t> response(kResponseCapacity, 0xEE);
        std::uint32_t length = kResponseCapacity;
        const std::uint16_t status = resolve<ProExchangeFn>(m_library, "ProExchange")(
            kChannelType, ch, 0, 0, request.data(), static_cast<std::uint32_t>(request.size()),
            response.data(), &length);
        if (status != 0) return statusText(status);
        return statusText(status) + " " + hex(response.data(), length);
    }
    return "error unknown command " + verb;
}

}  // namespace integration
