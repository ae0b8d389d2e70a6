#pragma once
// Checks that caller memory can be used before the plug-in touches it, without ever
// faulting: the access manager may hand over any pointer, and a fault inside the
// plug-in would take the access manager down with it.

#include <cstddef>

namespace ostrel {

bool isReadable(const void* address, std::size_t size);
bool isWritable(void* address, std::size_t size);
// A zero-terminated text that can be read up to and including its terminator.
bool isReadableText(const char* text);

}  // namespace ostrel
