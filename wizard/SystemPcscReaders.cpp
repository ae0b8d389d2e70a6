#include "SystemPcscReaders.h"

#ifdef _WIN32
#include <windows.h>
#include <winscard.h>
#else
#include <PCSC/winscard.h>
#endif

#include <algorithm>
#include <array>

namespace calveno {

std::vector<std::string> SystemPcscReaderSource::listReaders()
{
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS) return {};
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
    if (rv != SCARD_S_SUCCESS) return {};
    return parseReaderMultiString(buffer.data(), std::min<std::size_t>(length, buffer.size()));
}

}  // namespace calveno
