#pragma once
// Memory the plug-in must refuse to touch: a readable-writable page followed by a page
// without any access, and a read-only page. Bad pointers from the access manager are
// modelled with real protections, so a probe that faults crashes the test.

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ostrel::test {

class GuardedPages {
public:
#ifdef _WIN32
    GuardedPages()
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        m_page = system.dwPageSize;
        void* area = VirtualAlloc(nullptr, 3 * m_page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        m_base = static_cast<std::uint8_t*>(area);
        if (m_base == nullptr) return;
        std::memset(m_base, 0xA5, 3 * m_page);
        DWORD previous = 0;
        VirtualProtect(m_base + m_page, m_page, PAGE_NOACCESS, &previous);
        VirtualProtect(m_base + 2 * m_page, m_page, PAGE_READONLY, &previous);
    }
    ~GuardedPages()
    {
        if (m_base != nullptr) VirtualFree(m_base, 0, MEM_RELEASE);
    }
#else
    GuardedPages()
    {
        m_page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void* area = mmap(nullptr, 3 * m_page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        m_base = area == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(area);
        if (m_base == nullptr) return;
        std::memset(m_base, 0xA5, 3 * m_page);
        mprotect(m_base + m_page, m_page, PROT_NONE);
        mprotect(m_base + 2 * m_page, m_page, PROT_READ);
    }
    ~GuardedPages()
    {
        if (m_base != nullptr) munmap(m_base, 3 * m_page);
    }
#endif
    GuardedPages(const GuardedPages&) = delete;
    GuardedPages& operator=(const GuardedPages&) = delete;

    bool ok() const
    {
        return m_base != nullptr;
    }
    // The last `size` bytes of the usable page: one more byte runs into the hole.
    std::uint8_t* tail(std::size_t size) const
    {
        return m_base + m_page - size;
    }
    std::uint8_t* noAccess() const
    {
        return m_base + m_page;
    }
    std::uint8_t* readOnly() const
    {
        return m_base + 2 * m_page;
    }
    std::size_t pageSize() const
    {
        return m_page;
    }

private:
    std::size_t m_page = 0;
    std::uint8_t* m_base = nullptr;
};

}  // namespace ostrel::test
