// Command interpreter: one configured channel over the fake PC/SC service,
// whose answers (card presence, status, card replies, failures) come from the
// input, then a few requests of any bytes with any response capacity. The
// response area is exactly the capacity, so a byte written past it is caught;
// every answer is a documented status, and a written response stays within
// the capacity and starts with a documented report code.

#include "FuzzCheck.h"
#include "PluginFuzz.h"
#include "PluginState.h"
#include "tests/common/TempDir.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t kCanal = 1;

bool compteRenduDocumente(std::uint8_t cr)
{
    return cr == 0x00 || cr == 0x02 || cr == 0x03 || (cr >= 0x10 && cr <= 0x17);
}

void scripterCarte(FuzzedDataProvider& entree, ostrel::test::FakePcsc& pcsc)
{
    static constexpr const char* kOperations[] = {"GetStatusChange", "Status",           "TransmitT0",
                                                  "Reconnect",       "Connect",          "BeginTransaction",
                                                  "Disconnect",      "GetAttrib 0x90300"};
    static constexpr std::int32_t kResultats[] = {0,
                                                  0,
                                                  0,
                                                  static_cast<std::int32_t>(0x80100069),
                                                  static_cast<std::int32_t>(0x80100067),
                                                  static_cast<std::int32_t>(0x80100068),
                                                  static_cast<std::int32_t>(0x8010000C),
                                                  static_cast<std::int32_t>(0x80100017),
                                                  static_cast<std::int32_t>(0x80100013),
                                                  static_cast<std::int32_t>(0x8010000A),
                                                  static_cast<std::int32_t>(0x80100008),
                                                  1112,
                                                  22};
    const int reponses = entree.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < reponses; ++i) {
        ostrel::test::Reply reponse;
        const char* operation = entree.PickValueInArray(kOperations);
        reponse.result = entree.PickValueInArray(kResultats);
        reponse.data = entree.ConsumeBytes<std::uint8_t>(entree.ConsumeIntegralInRange(0, 40));
        reponse.value = entree.ConsumeIntegral<std::uint32_t>();
        pcsc.queue(operation, reponse);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TempDir dossier;
    static const std::string chemin =
        dossier.write("tuvex.ini",
                      "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nNomLib=OSTREL.DLL\r\nTCanal=3\r\n"
                      "Caracteristiques=Lecteur A 00 00\r\nIndex=1\r\n");
    FuzzedDataProvider entree(data, size);
    ostrel::test::FakePcsc pcsc;
    ostrel::fuzz::deuxLecteurs(pcsc);
    pcsc.setDefault("GetStatusChange", ostrel::test::Reply{0, {0x3B, 0x00}, 0x20});  // card present
    pcsc.setDefault("Status", ostrel::test::Reply{0, {0x3B, 0x00}, 1});              // T=0
    pcsc.setDefault("TransmitT0", ostrel::test::bytes({0x90, 0x00}));
    ostrel::PluginState etat(pcsc);
    etat.ProInit(1, chemin.c_str(), 0);
    etat.ProConnect(ostrel::kPcscChannelType, kCanal, "");
    etat.ProSetExclusivity(ostrel::kPcscChannelType, kCanal, 1);
    scripterCarte(entree, pcsc);

    for (int echange = 0; echange < 4 && entree.remaining_bytes() > 0; ++echange) {
        const auto capacite = entree.ConsumeIntegralInRange<std::uint32_t>(0, 300);
        const std::uint8_t commande = entree.ConsumeIntegral<std::uint8_t>();
        std::vector<std::uint8_t> requete =
            entree.ConsumeBytes<std::uint8_t>(entree.ConsumeIntegralInRange(0, 280));
        if (requete.size() > 2) {
            requete[2] = commande & 0x1F;  // mostly the command set's own codes
        }
        // An empty request is still a valid pointer with length 0.
        const std::unique_ptr<std::uint8_t[]> copie(
            new std::uint8_t[requete.size() + (requete.empty() ? 1 : 0)]);
        std::copy(requete.begin(), requete.end(), copie.get());
        const std::unique_ptr<std::uint8_t[]> reponse(new std::uint8_t[capacite]);
        std::uint32_t longueur = capacite;

        const std::uint16_t statut =
            etat.ProExchange(ostrel::kPcscChannelType, kCanal, 1, 0, copie.get(),
                             static_cast<std::uint32_t>(requete.size()), reponse.get(), &longueur);
        // A card change is followed inside the plug-in: its code would leave the
        // previous status standing, success included, with nothing written.
        FUZZ_CHECK(etat.lastDetail() != 27);
        FUZZ_CHECK(ostrel::fuzz::statutDocumente(statut));
        const bool interdite = etat.lastDetail() == 1 && longueur == 1 && capacite >= 1 && reponse[0] == 0x03;
        if (etat.lastDetail() != 0 && !interdite) {
            FUZZ_CHECK(longueur == capacite);  // a failure writes neither the response nor its length
            continue;
        }
        FUZZ_CHECK(longueur >= 1 && longueur <= capacite);
        FUZZ_CHECK(compteRenduDocumente(reponse[0]));
        // Answers but the self test's report the card state next.
        if (longueur >= 3 && requete.size() > 2 && requete[2] != 0x12) {
            FUZZ_CHECK(reponse[1] == 0 || reponse[1] == 1 || reponse[1] == 3);
        }
    }
    etat.ProTermin();
    return 0;
}
