#pragma once
// Platform seam for loading a shared library by name and looking up its
// exports: dlopen/dlsym on POSIX systems, LoadLibraryA/GetProcAddress on
// Windows. Nothing else in the program touches the platform loader.

#include <cstdint>
#include <string>

namespace quintor::plateforme {

// Loads the library with the platform's standard search (a bare file name) or
// from the given path. Returns null on failure.
void* chargerBibliotheque(const char* nom);

// Address of an export, or null when the library does not have it.
void* trouverSymbole(void* module, const char* nom);

// Releases a library loaded by chargerBibliotheque. Returns false on failure.
bool libererBibliotheque(void* module);

// The system's last-error value (GetLastError on Windows, errno elsewhere) and
// a way to clear it, for the load-failure message.
std::uint32_t erreurSysteme();
void effacerErreurSysteme();

// The loader's own description of the last failure (dlerror on POSIX); empty
// when the platform gives none.
std::string derniereErreurChargeur();

}  // namespace quintor::plateforme
