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
#include <pthread.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace ostrel {

namespace {

bool emptyOrValid(const MemoryArea& area)
{
    if (area.size == 0) return true;
    const auto first = reinterpret_cast<std::uintptr_t>(area.address);
    return area.address != nullptr && first + (area.size - 1) >= first;
}

}  // namespace

#if defined(_WIN32)

bool isReadable(std::initializer_list<MemoryArea> areas, void* copy, std::size_t copySize)
{
    for (const MemoryArea& area : areas)
        if (!emptyOrValid(area) || (area.size != 0 && IsBadReadPtr(area.address, area.size))) return false;
    if (copy != nullptr && copySize != 0) std::memcpy(copy, areas.begin()->address, copySize);
    return true;
}

bool isWritable(std::initializer_list<MemoryArea> areas)
{
    for (const MemoryArea& area : areas)
        if (!emptyOrValid(area) ||
            (area.size != 0 && IsBadWritePtr(const_cast<void*>(area.address), area.size)))
            return false;
    return true;
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

// getpid is a system call of its own; the id only changes in a forked child.
pid_t g_pid = 0;

void forgetPid()
{
    g_pid = 0;
}

pid_t ownPid()
{
    static const bool watchingForks = pthread_atfork(nullptr, nullptr, forgetPid) == 0;
    if (g_pid == 0 || !watchingForks) g_pid = getpid();
    return g_pid;
}

std::uintptr_t pageSize()
{
    static const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// Collects one byte per page of the areas and asks the kernel about all of them in
// one call (more only past a batch's worth of pages).
class PageProbe {
public:
    explicit PageProbe(bool write) : m_write(write) {}

    bool add(const MemoryArea& area)
    {
        if (area.size == 0) return true;
        if (!emptyOrValid(area)) return false;
        const auto first = reinterpret_cast<std::uintptr_t>(area.address);
        const std::uintptr_t last = first + (area.size - 1);
        const std::uintptr_t mask = ~(pageSize() - 1);
        for (std::uintptr_t page = first & mask;; page += pageSize()) {
            if (!addByte(page < first ? first : page)) return false;
            if (page >= (last & mask)) return true;
        }
    }

    // An area copied whole into `copy` on the way.
    bool addCopied(const MemoryArea& area, void* copy)
    {
        if (m_count == kBatch && !flush()) return false;
        m_remote[m_count] = iovec{const_cast<void*>(area.address), area.size};
        m_local[m_count] = iovec{copy, area.size};
        m_expected += area.size;
        ++m_count;
        return true;
    }

    bool flush()
    {
        if (m_count == 0) return true;
        // Writing each byte onto itself reads it through the local side and writes it
        // through the remote side: one call tells both, and changes nothing.
        const ssize_t moved = m_write ? process_vm_writev(ownPid(), m_local, m_count, m_remote, m_count, 0)
                                      : process_vm_readv(ownPid(), m_local, m_count, m_remote, m_count, 0);
        const bool complete = moved >= 0 && static_cast<std::size_t>(moved) == m_expected;
        m_count = 0;
        m_expected = 0;
        return complete;
    }

private:
    static constexpr unsigned long kBatch = 64;

    bool addByte(std::uintptr_t address)
    {
        if (m_count == kBatch && !flush()) return false;
        void* at = reinterpret_cast<void*>(address);
        m_remote[m_count] = iovec{at, 1};
        m_local[m_count] = iovec{m_write ? at : &m_scratch[m_count], 1};
        ++m_expected;
        ++m_count;
        return true;
    }

    bool m_write;
    unsigned long m_count = 0;
    std::size_t m_expected = 0;
    iovec m_local[kBatch];
    iovec m_remote[kBatch];
    char m_scratch[kBatch];
};

}  // namespace

bool isReadable(std::initializer_list<MemoryArea> areas, void* copy, std::size_t copySize)
{
    PageProbe probe(false);
    for (const MemoryArea* area = areas.begin(); area != areas.end(); ++area) {
        if (!emptyOrValid(*area)) return false;
        const bool added =
            area == areas.begin() && copy != nullptr && copySize != 0
                ? area->size >= copySize && probe.addCopied({area->address, copySize}, copy) &&
                      probe.add({static_cast<const char*>(area->address) + copySize, area->size - copySize})
                : probe.add(*area);
        if (!added) return false;
    }
    return probe.flush();
}

bool isWritable(std::initializer_list<MemoryArea> areas)
{
    PageProbe probe(true);
    for (const MemoryArea& area : areas)
        if (!probe.add(area)) return false;
    return probe.flush();
}

bool isReadableText(const char* text)
{
    if (text == nullptr) return false;
    auto at = reinterpret_cast<std::uintptr_t>(text);
    for (;;) {
        if (!isReadable(reinterpret_cast<const void*>(at), 1)) return false;
        const std::uintptr_t pageEnd = (at & ~(pageSize() - 1)) + pageSize();
        const auto span = static_cast<std::size_t>(pageEnd - at);
        if (std::memchr(reinterpret_cast<const void*>(at), 0, span) != nullptr) return true;
        at = pageEnd;
    }
}

#endif

}  // namespace ostrel
