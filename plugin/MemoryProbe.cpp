#include "MemoryProbe.h"

#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace ostrel {

#if defined(_WIN32)

bool isReadable(const void* address, std::size_t size)
{
    return size == 0 || (address != nullptr && !IsBadReadPtr(address, size));
}

bool isWritable(void* address, std::size_t size)
{
    return size == 0 || (address != nullptr && !IsBadWritePtr(address, size));
}

bool isReadableText(const char* text)
{
    return text != nullptr && !IsBadStringPtrA(text, static_cast<UINT_PTR>(-1));
}

#else

namespace {

// The kernel copies through the page tables and reports a hole as an error, where a
// plain access would raise a signal. Protection is per page, so one byte per page
// tells for the whole page.
bool probeByte(std::uintptr_t address, bool writeBack)
{
    char byte = 0;
    iovec local{&byte, 1};
    iovec remote{reinterpret_cast<void*>(address), 1};
    if (process_vm_readv(getpid(), &local, 1, &remote, 1, 0) != 1) return false;
    return !writeBack || process_vm_writev(getpid(), &local, 1, &remote, 1, 0) == 1;
}

std::uintptr_t pageSize()
{
    static const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return size;
}

bool probeRange(const void* address, std::size_t size, bool writeBack)
{
    if (size == 0) return true;
    if (address == nullptr) return false;
    const auto first = reinterpret_cast<std::uintptr_t>(address);
    if (first + (size - 1) < first) return false;
    const std::uintptr_t last = first + (size - 1);
    const std::uintptr_t mask = ~(pageSize() - 1);
    for (std::uintptr_t page = first & mask;; page += pageSize()) {
        if (!probeByte(page < first ? first : page, writeBack)) return false;
        if (page >= (last & mask)) return true;
    }
}

}  // namespace

bool isReadable(const void* address, std::size_t size)
{
    return probeRange(address, size, false);
}

// Writing back the byte just read leaves the memory as it was; the plug-in is only
// ever called from one thread at a time.
bool isWritable(void* address, std::size_t size)
{
    return probeRange(address, size, true);
}

bool isReadableText(const char* text)
{
    if (text == nullptr) return false;
    auto at = reinterpret_cast<std::uintptr_t>(text);
    for (;;) {
        if (!probeByte(at, false)) return false;
        const std::uintptr_t pageEnd = (at & ~(pageSize() - 1)) + pageSize();
        const auto span = static_cast<std::size_t>(pageEnd - at);
        if (std::memchr(reinterpret_cast<const void*>(at), 0, span) != nullptr) return true;
        at = pageEnd;
    }
}

#endif

}  // namespace ostrel
