// Rendering costs of the largest answers the reading functions can give: a
// patient-card document filling the 131068-byte buffer, and the hexadecimal
// form the automatic chain shows for it.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "CTexteDlg.h"
#include "EtatProgramme.h"
#include "Valeurs.h"
#include "XmlVersTexte.h"
#include "pages/PageTest.h"

namespace {

// A nested patient-card document of kTailleDonnees - 1 characters.
std::string documentAmbrel()
{
    const std::string beneficiaire =
        "<Beneficiaire rang=\"1\">Assure principal<Nom>MARTIN</Nom><Prenom>Claire</Prenom>"
        "<Couverture><Regime>01</Regime><Caisse>751</Caisse><Periode debut=\"20260101\"/>"
        "<Mutuelle>Mutuelle &quot;Les Tilleuls&quot; &amp; Cie</Mutuelle></Couverture>"
        "</Beneficiaire>";
    const std::string fin = "</Beneficiaires></t_AsnDonneesAmbrel>";
    std::string xml = "<?xml version=\"1.0\"?><t_AsnDonneesAmbrel><Beneficiaires>";
    while (xml.size() + beneficiaire.size() + fin.size() < quintor::kTailleDonnees) {
        xml += beneficiaire;
    }
    xml += fin;
    xml.append(quintor::kTailleDonnees - 1 - xml.size(), ' ');
    return xml;
}

void XmlVersTexteDocumentPlein(benchmark::State& state)
{
    const std::string xml = documentAmbrel();
    quintor::EtatProgramme etat;
    quintor::CTexteDlg dialogue(etat);
    for (auto _ : state) {
        quintor::XmlVersTexte(xml.c_str(), dialogue, quintor::kRacineAmbrel);
        benchmark::DoNotOptimize(dialogue.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(xml.size()));
    state.counters["lignes"] =
        static_cast<double>(std::count(dialogue.text.begin(), dialogue.text.end(), '\n'));
}
BENCHMARK(XmlVersTexteDocumentPlein)->Unit(benchmark::kMillisecond);

void FormaterValeurHexadecimal(benchmark::State& state)
{
    std::vector<unsigned char> octets(quintor::kTailleDonnees);
    for (std::size_t i = 0; i < octets.size(); ++i) {
        octets[i] = static_cast<unsigned char>(i * 7);
    }
    std::string sortie;
    for (auto _ : state) {
        quintor::FormaterValeur(static_cast<std::int32_t>(octets.size()), octets.data(), 2, sortie);
        benchmark::DoNotOptimize(sortie.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(octets.size()));
}
BENCHMARK(FormaterValeurHexadecimal)->Unit(benchmark::kMicrosecond);

}  // namespace
