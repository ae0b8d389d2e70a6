// Rendering costs of the largest answers the reading functions can give: a
// patient-card document filling the 131068-byte buffer, and the hexadecimal
// form the automatic chain shows for it.

#include <algorithm>
#include <ctime>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <tinyxml.h>

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

// CPU time of the calling thread, in milliseconds: the machine's other work
// does not count, unlike wall-clock time.
double tempsProcesseurMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// CPU time of `travail`, in milliseconds. glibc's malloc merges the small
// blocks freed so far when a large block is asked for: that is done first,
// untimed, so that no part pays for the blocks an earlier one freed (the
// renderer's copy of the text is such a block).
template <typename Travail>
double dureeMs(Travail&& travail)
{
    {
        std::vector<char> bloc(std::size_t{1} << 17);
        benchmark::DoNotOptimize(bloc.data());
    }
    const double debut = tempsProcesseurMs();
    travail();
    return tempsProcesseurMs() - debut;
}

double mediane(std::vector<double> valeurs)
{
    const auto milieu = valeurs.begin() + static_cast<std::ptrdiff_t>(valeurs.size() / 2);
    std::nth_element(valeurs.begin(), milieu, valeurs.end());
    return *milieu;
}

// The renderer against TinyXML building (and freeing) a document from the same
// text, one after the other in each iteration so that both see the same load
// on a shared machine. The ratio is the median of the iterations' ratios: the
// renderer's cost over the parse it needs anyway. sonde_part is the same for
// the walk that bounds the depth (with its own copy of the text).
void XmlVersTexteContreTinyXml(benchmark::State& state)
{
    const std::string xml = documentAmbrel();
    quintor::EtatProgramme etat;
    quintor::CTexteDlg dialogue(etat);
    std::vector<double> analyses;
    std::vector<double> rendus;
    std::vector<double> ratios;
    std::vector<double> parts;
    for (auto _ : state) {
        const double analyse = dureeMs([&] {
            TiXmlDocument document;
            document.Parse(xml.c_str());
            benchmark::DoNotOptimize(document.FirstChild());
        });
        const double rendu = dureeMs([&] {
            quintor::XmlVersTexte(xml.c_str(), dialogue, quintor::kRacineAmbrel);
            benchmark::DoNotOptimize(dialogue.text.data());
        });
        const double sonde = dureeMs([&] {
            benchmark::DoNotOptimize(quintor::longueurAvantProfondeur(xml.c_str(), quintor::kNiveauMax + 3));
        });
        analyses.push_back(analyse);
        rendus.push_back(rendu);
        ratios.push_back(rendu / analyse);
        parts.push_back(sonde / analyse);
    }
    state.counters["tinyxml_ms"] = mediane(analyses);
    state.counters["rendu_ms"] = mediane(rendus);
    state.counters["ratio"] = mediane(ratios);
    state.counters["sonde_part"] = mediane(parts);
}
BENCHMARK(XmlVersTexteContreTinyXml)->Unit(benchmark::kMillisecond)->Iterations(200);

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
