#include "SystemPcscReaders.h"

#ifdef _WIN32
#include <windows.h>
#include <winscard.h>
#else
#include <PCSC/winscard.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace calveno {

std::vector<std::string> SystemPcscReaderSource::listReaders()
{
    return listPcscReaders().names;
}

PcscReaderListing listPcscReaders()
{
    PcscReaderListing listing;
    const auto failed = [&listing](const char* call, LONG rv) {
        char number[16];
        std::snprintf(number, sizeof number, "0x%08lX",
                      static_cast<unsigned long>(static_cast<std::uint32_t>(rv)));
        listing.problem = std::string(call) + " answered " + number;
    };
    SCARDCONTEXT context = 0;
    const LONG established = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    if (established != SCARD_S_SUCCESS) {
        failed("SCardEstablishContext", established);
        return listing;
    }
    listing.reachable = true;
    // All reader groups, into a buffer of fixed size: a longer list is an
    // error like any other and leaves the list empty.
    std::array<char, kReaderListBufferSize> buffer{};
    DWORD length = static_cast<DWORD>(buffer.size());
#ifdef _WIN32
    const LONG rv = SCardListReadersA(context, nullptr, buffer.data(), &length);
#else
    const LONG rv = SCardListReaders(context, nullptr, buffer.data(), &length);
#endif
    SCardReleaseContext(context);
    if (rv == SCARD_S_SUCCESS)
        listing.names = parseReaderMultiString(buffer.data(), std::min<std::size_t>(length, buffer.size()));
    else if (static_cast<std::uint32_t>(rv) != static_cast<std::uint32_t>(SCARD_E_NO_READERS_AVAILABLE))
        failed("SCardListReaders", rv);
    return listing;
}

}  // namespace calveno
