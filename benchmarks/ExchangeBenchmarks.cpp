// What each reader command costs through the built plug-in on the real PC/SC stack,
// against the cheapest direct PC/SC call that learns the same:
//   card instruction         against SCardTransmit,
//   presence test            against SCardStatus,
//   power-on of a powered card against SCardStatus,
//   power-off then power-on  against SCardReconnect (unpower) then SCardStatus.
// The plug-in and the direct calls take turns in rounds within one process (each holds
// the card exclusively in its turn), and the medians, the spread and the ratios are
// printed at the end.
//
// Without arguments it starts a private pcscd with our virtual reader (needs root, see
// tests/integration/PrivatePcscd.h). With --reader NAME it uses the PC/SC service it
// finds and the reader of that name, which must hold a card that answers
// 00 B0 00 00 02 (scripts/plugin-benchmark.sh runs it so on Debian's vpcd too).

#include "OstrelLibrary.h"
#include "PrivatePcscd.h"

#include <PCSC/winscard.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const std::uint8_t kInstruction[] = {0x00, 0xB0, 0x00, 0x00, 0x02};
const std::uint8_t kInstructionRequest[] = {0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02};
const std::uint8_t kPresenceRequest[] = {0, 0, 0x16, 0};
const std::uint8_t kPowerOnRequest[] = {0, 0, 0x14, 0};
const std::uint8_t kPowerOffRequest[] = {0, 0, 0x15, 1};

constexpr int kRounds = 20;
constexpr int kSamplesPerRound = 100;

std::string g_reader;

// One command's samples, in nanoseconds, through the plug-in and directly.
struct Comparison {
    const char* name;
    const char* reference;
    std::vector<double> plugin;
    std::vector<double> direct;
};

double percentile(std::vector<double> samples, double p)
{
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1))];
}

double timeOne(const std::function<bool()>& call, bool& failed)
{
    const auto start = Clock::now();
    failed = !call() || failed;
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

// The reader, the plug-in loaded as the access manager loads it, and its exports.
struct Bench {
    std::unique_ptr<virtual_reader::PrivatePcscd> pcscd;
    std::string reader;
    std::string directory;
    std::unique_ptr<ostrel::LoadedLibrary> library;
    ostrel::Exports exports;
    std::string problem;

    Bench()
    {
        if (g_reader.empty()) {
            problem = virtual_reader::privateServiceProblem();
            if (!problem.empty()) return;
            pcscd =
                std::make_unique<virtual_reader::PrivatePcscd>(std::vector<std::string>{"Virtual Reader A"});
            problem = pcscd->start();
            if (!problem.empty()) return;
            if (!pcscd->insertCard(0, "3F6525002C09699000") ||
                !pcscd->control(0).ok("script 00B0000002 12349000")) {
                problem = "the virtual card did not come";
                return;
            }
            reader = pcscd->readerName(0);
            directory = pcscd->directory();
        } else {
            reader = g_reader;
            char pattern[] = "/tmp/plugin-bench-XXXXXX";
            if (mkdtemp(pattern) == nullptr) {
                problem = "mkdtemp failed";
                return;
            }
            directory = pattern;
        }
        const std::string ini = directory + "/tuvex.ini";
        std::ofstream(ini) << "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nIndex=1\r\nCaracteristiques="
                           << reader << "\r\n";
        library = ostrel::LoadedLibrary::open(OSTREL_LIBRARY_FILE, problem);
        if (library == nullptr) return;
        if (!library->resolve(exports, problem)) return;
        if (exports.init(1, ini.c_str(), 0) != 0) problem = "ProInit failed on reader \"" + reader + "\"";
    }
    ~Bench()
    {
        library.reset();
        if (pcscd == nullptr && !directory.empty()) {
            std::remove((directory + "/tuvex.ini").c_str());
            ::rmdir(directory.c_str());
        }
    }

    // A command through the plug-in that must answer "done".
    bool command(const std::uint8_t* request, std::uint32_t length)
    {
        std::uint8_t response[300];
        std::uint32_t capacity = sizeof response;
        return exports.exchange(3, 1, 0, 0, request, length, response, &capacity) == 0 && response[0] == 0x00;
    }
};

// The plug-in's turn: the channel taken, the card powered on, then each command.
bool pluginTurn(Bench& b, std::vector<Comparison>& results)
{
    if (b.exports.connect(3, 1, "") != 0 || b.exports.setExclusivity(3, 1, 0) != 0) return false;
    bool failed = !b.command(kPresenceRequest, sizeof kPresenceRequest) ||
                  !b.command(kPowerOnRequest, sizeof kPowerOnRequest);
    for (int i = 0; i < kSamplesPerRound && !failed; ++i) {
        results[0].plugin.push_back(
            timeOne([&] { return b.command(kInstructionRequest, sizeof kInstructionRequest); }, failed));
        results[1].plugin.push_back(
            timeOne([&] { return b.command(kPresenceRequest, sizeof kPresenceRequest); }, failed));
        results[2].plugin.push_back(
            timeOne([&] { return b.command(kPowerOnRequest, sizeof kPowerOnRequest); }, failed));
        if (i % 10 == 0)
            results[3].plugin.push_back(timeOne(
                [&] {
                    return b.command(kPowerOffRequest, sizeof kPowerOffRequest) &&
                           b.command(kPowerOnRequest, sizeof kPowerOnRequest);
                },
                failed));
    }
    b.exports.releaseExclusivity(3, 1, 0);
    b.exports.disconnect(3, 1);
    return !failed;
}

// The direct turn: an exclusive T=0 connection of the benchmark's own.
bool directTurn(Bench& b, std::vector<Comparison>& results)
{
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return false;
    bool failed = SCardConnect(context, b.reader.c_str(), SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, &card,
                               &protocol) != SCARD_S_SUCCESS;
    const auto transmit = [&] {
        BYTE answer[265];
        DWORD length = sizeof answer;
        return SCardTransmit(card, SCARD_PCI_T0, kInstruction, sizeof kInstruction, nullptr, answer,
                             &length) == SCARD_S_SUCCESS;
    };
    const auto status = [&] {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD state = 0;
        DWORD active = 0;
        BYTE atr[MAX_ATR_SIZE];
        DWORD atrLength = sizeof atr;
        return SCardStatus(card, name, &nameLength, &state, &active, atr, &atrLength) == SCARD_S_SUCCESS;
    };
    for (int i = 0; i < kSamplesPerRound && !failed; ++i) {
        results[0].direct.push_back(timeOne(transmit, failed));
        const double read = timeOne(status, failed);
        results[1].direct.push_back(read);
        results[2].direct.push_back(read);
        if (i % 10 == 0)
            results[3].direct.push_back(timeOne(
                [&] {
                    return SCardReconnect(card, SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0, SCARD_UNPOWER_CARD,
                                          &protocol) == SCARD_S_SUCCESS &&
                           status();
                },
                failed));
    }
    if (card != 0) SCardDisconnect(card, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
    return !failed;
}

std::vector<Comparison> g_results;

void BM_PluginAgainstDirect(benchmark::State& state)
{
    static Bench bench;
    if (!bench.problem.empty()) {
        state.SkipWithError(bench.problem.c_str());
        return;
    }
    g_results = {{"card instruction", "SCardTransmit", {}, {}},
                 {"presence test", "SCardStatus", {}, {}},
                 {"power-on of a powered card", "SCardStatus", {}, {}},
                 {"power-off + power-on", "SCardReconnect + SCardStatus", {}, {}}};
    for (auto _ : state) {
        for (int round = 0; round < kRounds; ++round) {
            if (!pluginTurn(bench, g_results)) {
                state.SkipWithError("a command through the plug-in failed");
                return;
            }
            if (!directTurn(bench, g_results)) {
                state.SkipWithError("a direct PC/SC call failed");
                return;
            }
        }
    }
    for (const Comparison& c : g_results)
        state.counters[std::string(c.name) + " ratio"] =
            percentile(c.plugin, 0.5) / percentile(c.direct, 0.5);
}

BENCHMARK(BM_PluginAgainstDirect)->Iterations(1)->Unit(benchmark::kMillisecond);

void printTable()
{
    if (g_results.empty() || g_results[0].plugin.empty()) return;
    std::printf("\nreader \"%s\", %d rounds, medians and 10-90%% spread in microseconds\n", g_reader.c_str(),
                kRounds);
    std::printf("%-28s %24s %34s %7s\n", "command", "plug-in", "direct", "ratio");
    for (const Comparison& c : g_results) {
        const double p50 = percentile(c.plugin, 0.5) / 1000;
        const double d50 = percentile(c.direct, 0.5) / 1000;
        std::printf("%-28s %8.1f (%7.1f-%7.1f) %-14s %8.1f (%7.1f-%7.1f) %7.2f\n", c.name, p50,
                    percentile(c.plugin, 0.1) / 1000, percentile(c.plugin, 0.9) / 1000, c.reference, d50,
                    percentile(c.direct, 0.1) / 1000, percentile(c.direct, 0.9) / 1000, p50 / d50);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reader") == 0 && i + 1 < argc)
            g_reader = argv[++i];
        else
            rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    if (g_reader.empty()) g_reader = "Virtual Reader A (private pcscd)";
    printTable();
    benchmark::Shutdown();
    return 0;
}
