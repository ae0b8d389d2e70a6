#include "Valeurs.h"

#include <cstdio>
#include <limits>

namespace quintor {

std::int32_t ValeurEntiere(std::string_view texte)
{
    std::size_t i = 0;
    const std::size_t n = texte.size();
    while (i < n && texte[i] == ' ') {
        ++i;
    }
    bool negatif = false;
    if (i < n && (texte[i] == '+' || texte[i] == '-')) {
        negatif = texte[i] == '-';
        ++i;
        while (i < n && texte[i] == ' ') {
            ++i;
        }
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so a
    // long run of digits can neither overflow nor wrap into a plausible value.
    constexpr std::int64_t kLimite = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t valeur = 0;
    for (; i < n && texte[i] >= '0' && texte[i] <= '9'; ++i) {
        if (valeur <= kLimite) {
            valeur = valeur * 10 + (texte[i] - '0');
        }
    }
    if (negatif) {
        return valeur >= kLimite ? std::numeric_limits<std::int32_t>::min()
                                 : static_cast<std::int32_t>(-valeur);
    }
    return valeur >= kLimite ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(valeur);
}

std::string CodeAffiche(std::int32_t valeur)
{
    char texte[32];
    std::snprintf(texte, sizeof texte, "%d (0x%04x)", valeur, static_cast<unsigned>(valeur));
    return texte;
}

std::string Decimal(std::int32_t valeur)
{
    return std::to_string(valeur);
}

void FormaterValeur(std::int32_t longueur, const unsigned char* data, int type, std::string& out)
{
    out.clear();
    switch (type) {
    case 1:
        if (longueur > 0 && data != nullptr) {
            out.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(longueur));
        }
        break;
    case 2:
        if (longueur > 0 && data != nullptr) {
            static constexpr char kHex[] = "0123456789abcdef";
            out.resize(static_cast<std::size_t>(longueur) * 3);
            char* p = out.data();
            for (std::int32_t i = 0; i < longueur; ++i) {
                *p++ = kHex[data[i] >> 4];
                *p++ = kHex[data[i] & 0x0F];
                *p++ = ' ';
            }
        }
        break;
    case 3:
        if (data != nullptr) {
            out.assign(reinterpret_cast<const char*>(data));
        }
        break;
    default: out = kTypeInconnu; break;
    }
}

std::string MiseEnFormeLibelle(std::string_view libelle)
{
    std::string resultat;
    resultat.reserve(libelle.size() + 64);
    const std::size_t n = libelle.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = libelle[i];
        if (c == '\t' && i + 1 < n && libelle[i + 1] == '\t') {
            std::size_t fin = i + 2;
            while (fin < n && libelle[fin] != '\r' && libelle[fin] != '\n') {
                ++fin;
            }
            const long longueurLigne = static_cast<long>(fin - (i + 2));
            const long blancs = (67 - longueurLigne) / 2;
            if (blancs > 0) {
                resultat.append(static_cast<std::size_t>(blancs), ' ');
            }
            ++i;
        } else if (c == '\t') {
            // A single tab is dropped.
        } else if (c == '\n' && i > 0 && libelle[i - 1] != '\r') {
            resultat += "\r\n";
        } else {
            resultat += c;
        }
    }
    return resultat;
}

}  // namespace quintor
