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

// System error value that explains why `nom` could not be loaded, read right
// after chargerBibliotheque failed. Windows: GetLastError. POSIX systems, whose
// dlopen sets no error number: the result of opening the file the loader would
// have used: ENOENT when no such file is found, the open's own error (EACCES)
// when it cannot be read, ENOEXEC when it is no shared library of this
// architecture, ELIBACC when it is one but could not be loaded all the same
// (a library it needs is missing, a symbol is unresolved).
std::uint32_t diagnostiquerEchec(const char* nom);

}  // namespace quintor::plateforme
