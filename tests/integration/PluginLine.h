#pragma once
// The plug-in driven by text lines, so one script drives the Linux build in the test
// process and the Windows build in a host program under Wine, and both answer in the
// same words. One line in, one line out:
//   load PATH                  "0", or "1 reason" (dlopen or LoadLibraryA)
//   init N PATH                ProInit(N, PATH, 0)'s status
//   connect CH / disconnect CH ProConnect / ProDisconnect on channel type 3
//   exclusive CH I / release CH I
//                              ProSetExclusivity / ProReleaseExclusivity
//   exchange CH HEX            "STATUS RESPONSE-HEX" (a 300-byte response buffer)
//   termin                     ProTermin's status
//   unload                     "0" once the library is unloaded (FreeLibrary or dlclose)
// Statuses are hexadecimal, four digits. Anything else: "error ...".

#include "OstrelLibrary.h"

#include <memory>
#include <string>
#include <string_view>

namespace integration {

class PluginLine {
public:
    PluginLine();
    ~PluginLine();
    PluginLine(const PluginLine&) = delete;
    PluginLine& operator=(const PluginLine&) = delete;

    std::string call(std::string_view line);

private:
    std::unique_ptr<ostrel::LoadedLibrary> m_library;
    ostrel::Exports m_exports;
};

}  // namespace integration
