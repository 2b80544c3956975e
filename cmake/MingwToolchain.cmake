# SPDX-License-Identifier: MIT
# What both Windows toolchains share: Debian's mingw-w64 cross compiler for
# NV_MINGW_TRIPLE (set by mingw-i686.cmake or mingw-x86_64.cmake before
# including this), win32 threads variant. Libraries cross-built for a triple
# live under /var/cache/nvinterface/<name>/<triple>.
#
# The win32 variant needs no libwinpthread-1.dll: the library starts no
# threads and takes no locks, so the posix variant's C++11 thread support
# would only add a runtime dependency. libgcc and libstdc++ are linked
# statically, so the DLL imports nothing but system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${NV_MINGW_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${NV_MINGW_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${NV_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${NV_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${NV_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${NV_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${NV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows Vista and later: the runtime resolves names with getaddrinfo and
# AI_NUMERICSERV, which older Winsock lacks.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0600")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0600")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
