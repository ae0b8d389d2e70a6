#include "PcscReaders.h"

#include "OstrelCodes.h"

#ifdef _WIN32
#include <windows.h>
#include <winscard.h>
#else
#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>
#endif

#include <algorithm>
#include <chrono>
#include <map>
#include <cstdio>
#include <thread>

namespace tuvex_host {

namespace {

std::int32_t normalised(LONG result)
{
    // pcsc-lite's LONG is 64-bit on 64-bit Linux; its codes keep WinSCard's 32 bits.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
}

}  // namespace

const char kStartServiceHint[] =
    "the PC/SC service (pcscd) must run: on Debian, sudo systemctl start pcscd.socket "
    "(it starts pcscd when a program asks), or sudo systemctl start pcscd";

std::string pcscResultText(std::int32_t result)
{
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<std::uint32_t>(result));
#ifdef _WIN32
    return number;
#else
    return std::string(pcsc_stringify_error(static_cast<LONG>(static_cast<std::uint32_t>(result)))) + " (" +
           number + ")";
#endif
}

ReaderScan scanReaders()
{
    ReaderScan scan;
    SCARDCONTEXT context = 0;
    LONG rv = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context);
    if (rv != SCARD_S_SUCCESS) {
        scan.result = normalised(rv);
        return scan;
    }
    scan.reachable = true;
    DWORD length = 0;
    rv = SCardListReaders(context, nullptr, nullptr, &length);
    std::string names;
    if (rv == SCARD_S_SUCCESS) {
        names.assign(length, '\0');
        rv = SCardListReaders(context, nullptr, names.data(), &length);
    }
    if (rv != SCARD_S_SUCCESS) {
        // No reader at all is an empty list, not a failure.
        if (normalised(rv) != normalised(SCARD_E_NO_READERS_AVAILABLE)) scan.result = normalised(rv);
        SCardReleaseContext(context);
        return scan;
    }
    for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        ReaderInfo reader;
        reader.name = name;
        SCARD_READERSTATE state{};
        state.szReader = reader.name.c_str();
        state.dwCurrentState = SCARD_STATE_UNAWARE;
        if (SCardGetStatusChange(context, 0, &state, 1) == SCARD_S_SUCCESS) {
            reader.card = (state.dwEventState & SCARD_STATE_PRESENT) != 0;
            reader.inUse = (state.dwEventState & SCARD_STATE_EXCLUSIVE) != 0;
            if (reader.card)
                reader.atr.assign(state.rgbAtr,
                                  state.rgbAtr + std::min<DWORD>(state.cbAtr, sizeof state.rgbAtr));
        }
        scan.readers.push_back(std::move(reader));
    }
    SCardReleaseContext(context);
    return scan;
}

std::vector<std::string> matchingReaders(const std::string& configured,
                                         const std::vector<ReaderInfo>& readers)
{
    std::vector<std::string> names;
    for (const ReaderInfo& reader : readers)
        if (ostrel::readerNameMatches(configured, reader.name)) names.push_back(reader.name);
    return names;
}

}  // namespace tuvex_host

namespace tuvex_host {

namespace {

bool serviceGone(std::int32_t result)
{
    const auto is = [result](LONG code) { return result == normalised(code); };
    return is(SCARD_E_NO_SERVICE) || is(SCARD_E_SERVICE_STOPPED) || is(SCARD_E_INVALID_HANDLE) ||
           is(SCARD_F_COMM_ERROR) || is(SCARD_E_SYSTEM_CANCELLED);
}

}  // namespace

void watchReaders(unsigned count, unsigned timeoutSeconds, const std::function<void(const WatchEvent&)>& emit)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    const auto remainingMs = [&]() -> long {
        if (timeoutSeconds == 0) return 1000;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return std::max<long>(0, std::min<long>(left, 1000));
    };
    unsigned changes = 0;
    const auto change = [&](WatchEvent event) {
        emit(event);
        ++changes;
        return count != 0 && changes >= count;
    };

    ReaderScan known = scanReaders();
    bool online = known.reachable;
    if (!online) {
        if (change({"service-lost", "", {}, pcscResultText(known.result)})) return;
    } else {
        for (const ReaderInfo& reader : known.readers) emit({"present", reader.name, reader.atr, ""});
    }
    // Differences between two scans, as events; true when the count is reached.
    const auto compare = [&](const ReaderScan& now) {
        for (const ReaderInfo& before : known.readers) {
            const auto same = std::find_if(now.readers.begin(), now.readers.end(),
                                           [&](const ReaderInfo& r) { return r.name == before.name; });
            if (same == now.readers.end()) {
                if (before.card && change({"card-removed", before.name, before.atr, ""})) return true;
                if (change({"reader-removed", before.name, {}, ""})) return true;
            } else if (before.card && (!same->card || same->atr != before.atr)) {
                if (change({"card-removed", before.name, before.atr, ""})) return true;
                if (same->card && change({"card-inserted", same->name, same->atr, ""})) return true;
            } else if (!before.card && same->card) {
                if (change({"card-inserted", same->name, same->atr, ""})) return true;
            }
        }
        for (const ReaderInfo& reader : now.readers) {
            const bool isNew = std::none_of(known.readers.begin(), known.readers.end(),
                                            [&](const ReaderInfo& r) { return r.name == reader.name; });
            if (!isNew) continue;
            if (change({"reader-added", reader.name, {}, ""})) return true;
            if (reader.card && change({"card-inserted", reader.name, reader.atr, ""})) return true;
        }
        return false;
    };

    // What the service last reported per entry, handed back so a wait returns only on
    // a change (pcsc-lite returns at once while the given state differs from its own).
    std::map<std::string, DWORD> seen;
    SCARDCONTEXT context = 0;
    while (timeoutSeconds == 0 || Clock::now() < deadline) {
        if (context == 0) {
            if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
                context = 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long>(remainingMs(), 200)));
                continue;
            }
            if (!online) {
                online = true;
                // pcscd lists its readers a moment after it answers. The state is taken
                // before the return is reported, so what follows the report is news.
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                const ReaderScan now = scanReaders();
                if (change({"service-back", "", {}, ""})) break;
                if (compare(now)) break;
                known = now;
            }
        }
        // Every reader, and the service's own entry that changes when a reader comes or goes.
        static const std::string kPnp = "\\\\?PnP?\\Notification";
        std::vector<SCARD_READERSTATE> states(known.readers.size() + 1);
        for (std::size_t i = 0; i <= known.readers.size(); ++i) {
            const std::string& name = i < known.readers.size() ? known.readers[i].name : kPnp;
            states[i].szReader = name.c_str();
            const auto last = seen.find(name);
            states[i].dwCurrentState = last != seen.end() ? last->second : SCARD_STATE_UNAWARE;
        }
        const LONG rv = SCardGetStatusChange(context, static_cast<DWORD>(remainingMs()), states.data(),
                                             static_cast<DWORD>(states.size()));
        if (rv == SCARD_S_SUCCESS)
            for (const SCARD_READERSTATE& state : states)
                seen[state.szReader] = state.dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
        const std::int32_t result = normalised(rv);
        if (result == normalised(SCARD_E_TIMEOUT)) continue;
        if (rv != SCARD_S_SUCCESS && serviceGone(result)) {
            SCardReleaseContext(context);
            context = 0;
            online = false;
            seen.clear();
            if (change({"service-lost", "", {}, pcscResultText(result)})) break;
            continue;
        }
        const ReaderScan now = scanReaders();
        if (!now.reachable) continue;  // the next wait reports the loss
        if (compare(now)) break;
        known = now;
        if (rv != SCARD_S_SUCCESS) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (context != 0) SCardReleaseContext(context);
}

}  // namespace tuvex_host
