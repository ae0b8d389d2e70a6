#pragma once
// The platform's own PC/SC service behind the seam: pcsc-lite on Linux, WinSCard on
// Windows. The exported library uses it; tests use a scripted fake instead.

#include "pcsc/PcscApi.h"

#include <memory>

namespace ostrel::pcsc {

std::unique_ptr<PcscApi> makeSystemPcsc();

}  // namespace ostrel::pcsc
