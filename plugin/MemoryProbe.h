#pragma once
// Checks that caller memory can be used before the plug-in touches it, without ever
// faulting: the access manager may hand over any pointer, and a fault inside the
// plug-in would take the access manager down with it. Several areas are checked in
// one probe, so an exchange costs one read probe and one write probe.

#include <cstddef>
#include <initializer_list>

namespace ostrel {

struct MemoryArea {
    const void* address;
    std::size_t size;
};

// True when every area can be read. The first `copySize` bytes of the first area are
// copied to `copy` by the probe itself, so a value the caller handed over by address
// (a length cell) is learnt without touching it in place.
bool isReadable(std::initializer_list<MemoryArea> areas, void* copy = nullptr, std::size_t copySize = 0);
// True when every area can be read and written; the bytes stay as they were.
bool isWritable(std::initializer_list<MemoryArea> areas);

inline bool isReadable(const void* address, std::size_t size)
{
    return isReadable({MemoryArea{address, size}});
}
inline bool isWritable(void* address, std::size_t size)
{
    return isWritable({MemoryArea{address, size}});
}
// A zero-terminated text that can be read up to and including its terminator.
bool isReadableText(const char* text);

}  // namespace ostrel
