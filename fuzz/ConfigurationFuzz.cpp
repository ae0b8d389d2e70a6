// Channel configuration: any tuvex.ini content loaded by ProInit over the fake
// PC/SC service. The answer is a documented status, and the channel table
// holds only well-formed entries.

#include "FuzzCheck.h"
#include "PluginFuzz.h"
#include "PluginState.h"
#include "tests/common/TempDir.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TempDir dossier;
    if (size == 0) {
        return 0;
    }
    const std::string chemin =
        dossier.write("tuvex.ini", std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    ostrel::test::FakePcsc pcsc;
    ostrel::fuzz::deuxLecteurs(pcsc);
    ostrel::PluginState etat(pcsc);

    const std::uint16_t statut = etat.ProInit(data[0] % 3, chemin.c_str(), 0);
    FUZZ_CHECK(ostrel::fuzz::statutDocumente(statut));
    FUZZ_CHECK(statut == etat.lastStatus());
    for (const ostrel::ChannelRecord& entree : etat.channelTable()) {
        FUZZ_CHECK(std::memchr(entree.readerName, '\0', sizeof entree.readerName) != nullptr);
        if (entree.channel != 0) {
            FUZZ_CHECK((entree.flags & ostrel::kFlagConfigured) != 0);
            FUZZ_CHECK(entree.context == 0);
        }
    }
    if (statut == 0) {
        FUZZ_CHECK(etat.initialised());
    }
    etat.ProTermin();
    return 0;
}
