#include "PcscReaders.h"

#include "OstrelCodes.h"

#ifdef _WIN32
#include <windows.h>
#include <winscard.h>
#else
#include <PCSC/winscard.h>
#include <PCSC/wintypes.h>
#endif

#include <cstdio>

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
