// The library's nine exports and its entry point. Each export forwards to the one
// module state; nothing thrown inside ever reaches the access manager.

#include "Ostrel.h"

#include "ExportGuard.h"
#include "PluginState.h"
#include "pcsc/SystemPcsc.h"

#include <cstdlib>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#define OSTREL_EXPORT
#else
#define OSTREL_EXPORT __attribute__((visibility("default")))
#endif

namespace {

// Plain pointers, not static objects: the unload hook must run ProTermin while the
// state still exists, whatever order the loader tears static objects down in.
ostrel::pcsc::PcscApi* g_pcsc = nullptr;
ostrel::PluginState* g_state = nullptr;

ostrel::PluginState& state()
{
    if (g_state == nullptr) {
        if (g_pcsc == nullptr) g_pcsc = ostrel::pcsc::makeSystemPcsc().release();
        g_state = new ostrel::PluginState(*g_pcsc);
    }
    return *g_state;
}

template <typename Call>
std::uint16_t guarded(Call call) noexcept
{
    return ostrel::answerWithoutThrowing(g_state, [&] { return call(state()); });
}

void unload() noexcept
{
    if (g_state != nullptr) guarded([](ostrel::PluginState& s) { return s.ProTermin(); });
    delete g_state;
    g_state = nullptr;
    delete g_pcsc;
    g_pcsc = nullptr;
}

}  // namespace

extern "C" {

OSTREL_EXPORT uint16_t OSTREL_CALL ProInit(uint16_t protocolNumber, const char* configPath, uint32_t reserved)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProInit(protocolNumber, configPath, reserved); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProTermin(void)
{
    return guarded([](ostrel::PluginState& s) { return s.ProTermin(); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProConnect(uint32_t channelType, uint8_t channel, const char* parameters)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProConnect(channelType, channel, parameters); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProDisconnect(uint32_t channelType, uint8_t channel)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProDisconnect(channelType, channel); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProExchange(uint32_t channelType, uint8_t channel, uint8_t index,
                                               uint16_t parameter, const uint8_t* request,
                                               uint32_t requestLength, uint8_t* response,
                                               uint32_t* responseLength)
{
    return guarded([&](ostrel::PluginState& s) {
        return s.ProExchange(channelType, channel, index, parameter, request, requestLength, response,
                             responseLength);
    });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProGetStatus(uint16_t* status, uint32_t* detail, char* text)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProGetStatus(status, detail, text); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProIdentify(void* record)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProIdentify(record); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProSetExclusivity(uint32_t channelType, uint8_t channel, uint8_t index)
{
    return guarded([&](ostrel::PluginState& s) { return s.ProSetExclusivity(channelType, channel, index); });
}

OSTREL_EXPORT uint16_t OSTREL_CALL ProReleaseExclusivity(uint32_t channelType, uint8_t channel, uint8_t index)
{
    return guarded(
        [&](ostrel::PluginState& s) { return s.ProReleaseExclusivity(channelType, channel, index); });
}

}  // extern "C"

// Unloading the library ends the plug-in as ProTermin does; loading does nothing. When
// the whole process ends, nothing is called into PC/SC under the loader's lock: the
// service drops a dead client's contexts and handles itself.
#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // A non-null `reserved` on detach means the process is terminating, not FreeLibrary.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) unload();
    return TRUE;
}
#else
namespace {

// exit() runs the handlers registered with atexit before it unloads the libraries,
// while dlclose runs this library's own handlers only after its destructor: set by
// the handler, the flag tells the destructor that the whole process is ending.
bool g_processEnding = false;

void noteProcessEnd()
{
    g_processEnding = true;
}

}  // namespace

__attribute__((constructor)) static void onLoad()
{
    std::atexit(noteProcessEnd);
}

__attribute__((destructor)) static void onUnload()
{
    if (!g_processEnding) unload();
}
#endif
