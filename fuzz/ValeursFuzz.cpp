// Value helpers: number reading with its saturation rule, the display forms,
// byte-buffer rendering sizes and label layout, on any bytes.

#include "FuzzCheck.h"
#include "Valeurs.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The field reading rule, computed wide and clamped to 32 bits.
std::int32_t valeurAttendue(std::string_view t)
{
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    bool negatif = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negatif = t[i++] == '-';
        while (i < t.size() && t[i] == ' ') ++i;
    }
    std::int64_t v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        v = std::min<std::int64_t>(v * 10 + (t[i] - '0'), INT64_C(1) << 32);
    }
    v = negatif ? -v : v;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider entree(data, size);
    const std::int32_t longueurDemandee = entree.ConsumeIntegral<std::int32_t>();
    const int type = entree.ConsumeIntegralInRange(0, 4);
    const std::string octets = entree.ConsumeRemainingBytesAsString();

    FUZZ_CHECK(quintor::ValeurEntiere(octets) == valeurAttendue(octets));

    char attendu[48];
    std::snprintf(attendu, sizeof attendu, "%d (0x%04x)", longueurDemandee,
                  static_cast<unsigned>(longueurDemandee));
    FUZZ_CHECK(quintor::CodeAffiche(longueurDemandee) == attendu);
    FUZZ_CHECK(quintor::Decimal(longueurDemandee) == std::to_string(longueurDemandee));

    // The length never exceeds the bytes given; the text form needs its NUL.
    const std::int32_t longueur =
        std::min<std::int64_t>(longueurDemandee, static_cast<std::int64_t>(octets.size()));
    const std::vector<unsigned char> tampon(octets.begin(), octets.end());
    std::vector<unsigned char> texte = tampon;
    texte.push_back(0);
    std::string sortie = "ancien";
    quintor::FormaterValeur(longueur, type == 3 ? texte.data() : tampon.data(), type, sortie);
    const std::size_t n = longueur > 0 ? static_cast<std::size_t>(longueur) : 0;
    switch (type) {
    case 1: FUZZ_CHECK(sortie == octets.substr(0, n)); break;
    case 2:
        FUZZ_CHECK(sortie.size() == 3 * n);
        for (std::size_t i = 0; i < n; ++i) {
            char paire[4];
            std::snprintf(paire, sizeof paire, "%02x ", tampon[i]);
            FUZZ_CHECK(sortie.compare(3 * i, 3, paire) == 0);
        }
        break;
    case 3: FUZZ_CHECK(sortie == std::string(reinterpret_cast<const char*>(texte.data()))); break;
    default: FUZZ_CHECK(sortie == quintor::kTypeInconnu); break;
    }

    // No tab survives, and every line feed but a leading one follows a CR.
    const std::string libelle = quintor::MiseEnFormeLibelle(octets);
    FUZZ_CHECK(libelle.find('\t') == std::string::npos);
    for (std::size_t i = libelle.find('\n'); i != std::string::npos; i = libelle.find('\n', i + 1)) {
        FUZZ_CHECK(i == 0 || libelle[i - 1] == '\r');
    }
    return 0;
}
