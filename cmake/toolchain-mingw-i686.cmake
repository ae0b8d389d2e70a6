# 32-bit Windows with Debian's mingw-w64 (posix thread model, so std::thread and
# std::mutex come from winpthreads). Used by the `windows` preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOOLKIT_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLKIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLKIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLKIT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLKIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Header-only libraries of the build machine (CLI11) are found in /usr/include.
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)

# Everything runs on a bare Windows: the compiler's runtime is linked in, no
# libgcc, libstdc++ or winpthread DLL beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# GCC 12's string code, inlined at -O2 with a 32-bit size_t, warns of overlapping
# copies in plain assignments of string literals (GCC bug 105329); the warning is
# false and comes from the compiler's own headers.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
