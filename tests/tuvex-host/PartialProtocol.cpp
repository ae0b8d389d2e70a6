// A protocol library that lacks most exports, for tuvex-host's load checks.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::uint16_t ProInit(std::uint16_t, const char*,
                                                                        std::uint32_t)
{
    return 0;
}
extern "C" __attribute__((visibility("default"))) std::uint16_t ProTermin()
{
    return 0;
}
