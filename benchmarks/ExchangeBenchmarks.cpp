// What ProExchange costs on the real PC/SC stack: a presence test and a card
// instruction through the built plug-in, against a direct SCardTransmit of the same
// instruction on the same virtual reader, all in one run, with the ratio printed at
// the end. The PC/SC calls each command makes are counted on the scripted fake.
//
// Needs root for the private pcscd (see tests/integration/PrivatePcscd.h).

#include "FakePcsc.h"
#include "OstrelLibrary.h"
#include "PluginState.h"
#include "PrivatePcscd.h"

#include <PCSC/reader.h>
#include <PCSC/winscard.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>

namespace {

const std::uint8_t kInstruction[] = {0x00, 0xB0, 0x00, 0x00, 0x02};
const std::uint8_t kPresenceRequest[] = {0, 0, 0x16, 0};
const std::uint8_t kInstructionRequest[] = {0, 0, 0x00, 0, 0x00, 0xB0, 0x00, 0x00, 0x02};

// The PC/SC calls one steady-state exchange makes, on the scripted fake with a
// powered T=0 card held exclusively.
std::map<std::string, std::size_t> countCalls()
{
    using namespace ostrel;
    test::FakePcsc pcsc;
    pcsc.setDefault("ListReaderGroups", test::names({"SCard$DefaultReaders"}));
    pcsc.setDefault("ListReaders", test::names({"Reader A 00 00"}));
    pcsc.setDefault("GetStatusChange", test::Reply{pcsc::kSuccess, {}, pcsc::kStatePresent});
    pcsc.setDefault(test::FakePcsc::attribute(0x90300), test::bytes({2}));
    pcsc.setDefault(test::FakePcsc::attribute(0x90301), test::bytes({1}));
    const std::vector<std::uint8_t> atr{0x3F, 0x65, 0x25, 0x00, 0x2C, 0x09, 0x69, 0x90, 0x00};
    pcsc.setDefault(test::FakePcsc::attribute(0x90303), test::bytes(atr));
    pcsc.setDefault("Status", test::bytes(atr));
    pcsc.setDefault("TransmitT0", test::bytes({0x12, 0x34, 0x90, 0x00}));
    char path[] = "/tmp/exchange-bench-XXXXXX";
    if (mkdtemp(path) == nullptr) return {};
    const std::string ini = std::string(path) + "/tuvex.ini";
    std::ofstream(ini)
        << "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nIndex=1\r\nCaracteristiques=Reader A 00 00\r\n";
    PluginState state(pcsc);
    std::map<std::string, std::size_t> counts;
    if (state.ProInit(1, ini.c_str(), 0) == 0 && state.ProConnect(3, 1, "") == 0 &&
        state.ProSetExclusivity(3, 1, 0) == 0) {
        std::uint8_t response[300];
        const auto once = [&](const char* name, const std::uint8_t* request, std::uint32_t length) {
            std::uint32_t capacity = sizeof response;
            state.ProExchange(3, 1, 0, 0, request, length, response, &capacity);  // settles the state
            pcsc.calls.clear();
            capacity = sizeof response;
            state.ProExchange(3, 1, 0, 0, request, length, response, &capacity);
            counts[name] = pcsc.calls.size();
        };
        once("presence", kPresenceRequest, sizeof kPresenceRequest);
        once("instruction", kInstructionRequest, sizeof kInstructionRequest);
    }
    state.ProTermin();
    std::remove(ini.c_str());
    ::rmdir(path);
    return counts;
}

// One private pcscd, one virtual reader with a powered card, the plug-in holding it
// exclusively on channel 1, and a direct handle for the comparison.
struct Stack {
    std::unique_ptr<virtual_reader::PrivatePcscd> pcscd;
    std::unique_ptr<ostrel::LoadedLibrary> library;
    ostrel::Exports exports;
    ProExchangeFn exchange = nullptr;
    std::string problem;

    Stack()
    {
        problem = virtual_reader::privateServiceProblem();
        if (!problem.empty()) return;
        pcscd = std::make_unique<virtual_reader::PrivatePcscd>(std::vector<std::string>{"Virtual Reader A"});
        problem = pcscd->start();
        if (!problem.empty()) return;
        if (!pcscd->insertCard(0, "3F6525002C09699000") ||
            !pcscd->control(0).ok("script 00B0000002 12349000")) {
            problem = "the virtual card did not come";
            return;
        }
        const std::string ini = pcscd->directory() + "/tuvex.ini";
        std::ofstream(ini) << "[PROTOCOLE1]\r\nListeCanaux=1\r\n[CANAL1]\r\nIndex=1\r\nCaracteristiques="
                           << pcscd->readerName(0) << "\r\n";
        library = ostrel::LoadedLibrary::open(OSTREL_LIBRARY_FILE, problem);
        if (library == nullptr || !library->resolve(exports, problem)) return;
        const auto init = exports.init;
        const auto connect = exports.connect;
        const auto exclusive = exports.setExclusivity;
        exchange = exports.exchange;
        std::uint8_t response[300];
        std::uint32_t length = sizeof response;
        const std::uint8_t powerOn[] = {0, 0, 0x14, 0};
        if (init(1, ini.c_str(), 0) != 0 || connect(3, 1, "") != 0 || exclusive(3, 1, 0) != 0 ||
            exchange(3, 1, 0, 0, powerOn, 4, response, &length) != 0 || response[0] != 0x00)
            problem = "the plug-in could not power the virtual card";
    }
};

Stack& stack()
{
    static Stack instance;
    return instance;
}

const std::map<std::string, std::size_t>& calls()
{
    static const auto counts = countCalls();
    return counts;
}

void exchangeBenchmark(benchmark::State& state, const std::uint8_t* request, std::uint32_t length,
                       const char* name)
{
    Stack& s = stack();
    if (!s.problem.empty()) {
        state.SkipWithError(s.problem.c_str());
        return;
    }
    std::uint8_t response[300];
    for (auto _ : state) {
        std::uint32_t capacity = sizeof response;
        if (s.exchange(3, 1, 0, 0, request, length, response, &capacity) != 0 || response[0] != 0x00) {
            state.SkipWithError("the exchange failed");
            break;
        }
    }
    state.counters["pcsc_calls"] = static_cast<double>(calls().count(name) ? calls().at(name) : 0);
}

void BM_ProExchangePresence(benchmark::State& state)
{
    exchangeBenchmark(state, kPresenceRequest, sizeof kPresenceRequest, "presence");
}
void BM_ProExchangeInstruction(benchmark::State& state)
{
    exchangeBenchmark(state, kInstructionRequest, sizeof kInstructionRequest, "instruction");
}

// The same reader through the client library alone. pcscd refuses a second client
// beside the plug-in's exclusive hold, so the plug-in lets go first; the benchmarks
// of the plug-in run before this one.
struct Direct {
    SCARDCONTEXT context = 0;
    SCARDHANDLE card = 0;
    std::string problem;

    explicit Direct(Stack& s)
    {
        s.exports.releaseExclusivity(3, 1, 0);
        s.exports.disconnect(3, 1);
        DWORD protocol = 0;
        if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS ||
            SCardConnect(context, s.pcscd->readerName(0).c_str(), SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0,
                         &card, &protocol) != SCARD_S_SUCCESS)
            problem = "SCardConnect failed";
    }
    ~Direct()
    {
        if (card != 0) SCardDisconnect(card, SCARD_LEAVE_CARD);
        if (context != 0) SCardReleaseContext(context);
    }
};

Direct* direct(benchmark::State& state)
{
    Stack& s = stack();
    if (!s.problem.empty()) {
        state.SkipWithError(s.problem.c_str());
        return nullptr;
    }
    static Direct instance(s);
    if (!instance.problem.empty()) {
        state.SkipWithError(instance.problem.c_str());
        return nullptr;
    }
    return &instance;
}

void BM_SCardTransmitDirect(benchmark::State& state)
{
    Direct* d = direct(state);
    if (d == nullptr) return;
    BYTE answer[265];
    for (auto _ : state) {
        DWORD length = sizeof answer;
        if (SCardTransmit(d->card, SCARD_PCI_T0, kInstruction, sizeof kInstruction, nullptr, answer,
                          &length) != SCARD_S_SUCCESS) {
            state.SkipWithError("SCardTransmit failed");
            break;
        }
    }
    state.counters["pcsc_calls"] = 1;
}

// The calls a presence test makes besides: one attribute read, and the poll.
void BM_SCardGetAttribPresence(benchmark::State& state)
{
    Direct* d = direct(state);
    if (d == nullptr) return;
    for (auto _ : state) {
        BYTE value[4];
        DWORD length = sizeof value;
        benchmark::DoNotOptimize(SCardGetAttrib(d->card, SCARD_ATTR_ICC_PRESENCE, value, &length));
    }
}

void BM_SCardGetStatusChangeNoWait(benchmark::State& state)
{
    Direct* d = direct(state);
    if (d == nullptr) return;
    SCARD_READERSTATE reader{};
    reader.szReader = stack().pcscd->readerName(0).c_str();
    for (auto _ : state) {
        reader.dwCurrentState = SCARD_STATE_PRESENT;
        benchmark::DoNotOptimize(SCardGetStatusChange(d->context, 0, &reader, 1));
    }
}

// Registered in this order: the direct transmission last, as it takes the reader
// from the plug-in.
BENCHMARK(BM_ProExchangePresence);
BENCHMARK(BM_ProExchangeInstruction);
BENCHMARK(BM_SCardTransmitDirect);
BENCHMARK(BM_SCardGetAttribPresence);
BENCHMARK(BM_SCardGetStatusChangeNoWait);

// Keeps each benchmark's time per iteration to print the ratio after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.times;
    const auto direct = t.find("BM_SCardTransmitDirect");
    if (direct != t.end() && direct->second > 0)
        for (const char* name : {"BM_ProExchangeInstruction", "BM_ProExchangePresence"})
            if (const auto found = t.find(name); found != t.end())
                std::printf("ratio %s / BM_SCardTransmitDirect: %.2f\n", name,
                            found->second / direct->second);
    benchmark::Shutdown();
    return 0;
}
