#include "PluginState.h"

// Connection, exclusivity and exchange on PC/SC readers are not carried out yet: each
// worker recognises its channel and otherwise answers an internal error, so the
// access manager sees a clean failure rather than a false success.

namespace ostrel {

DetailCode PluginState::PCSC_Connexion(std::uint8_t channel) {
    if (FindChannel(channel) == nullptr) return kDetailBadChannel;
    return kDetailInternal;
}

DetailCode PluginState::PCSC_Deconnexion(std::uint8_t channel) {
    if (FindChannel(channel) == nullptr) return kDetailBadChannel;
    return kDetailInternal;
}

DetailCode PluginState::PCSC_SetExclusivity(std::uint8_t channel, std::uint8_t) {
    if (FindChannel(channel) == nullptr) return kDetailBadChannel;
    return kDetailInternal;
}

DetailCode PluginState::PCSC_RelExclusivity(std::uint8_t channel, std::uint8_t) {
    if (FindChannel(channel) == nullptr) return kDetailBadChannel;
    return kDetailInternal;
}

DetailCode PluginState::PCSC_Echange(std::uint8_t channel, std::uint8_t, std::uint16_t,
                                     const std::uint8_t*, std::uint32_t, std::uint8_t*,
                                     std::uint32_t*) {
    if (FindChannel(channel) == nullptr) return kDetailBadChannel;
    return kDetailInternal;
}

}  // namespace ostrel
