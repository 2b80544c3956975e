# SPDX-License-Identifier: MIT
# What both Windows toolchains share: Debian's clang and lld for
# NV_MINGW_TRIPLE (set by mingw-i686.cmake or mingw-x86_64.cmake before
# including this), on the mingw-w64 headers and import libraries and the C++
# library of Debian's mingw-w64 gcc, win32 threads variant. Libraries
# cross-built for a triple live under /var/cache/nvinterface/<name>/<triple>.
#
# clang and lld, not gcc and ld: they write CodeView debug information into
# a PDB, which WinDbg and Visual Studio read (cmake/ProgramDatabase.cmake).
# The libraries cross-built with gcc link in as they are.
#
# The win32 variant needs no libwinpthread-1.dll: the library starts no
# threads and takes no locks, so the posix variant's C++11 thread support
# would only add a runtime dependency. libgcc and libstdc++ are linked
# statically (libstdc++ where C++ is linked: CMakeLists.txt), so the DLL
# imports nothing but system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${NV_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${NV_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${NV_MINGW_TRIPLE}-windres)
# The LLVM archiver indexes the bitcode that link-time code generation
# leaves in the objects (ProgramDatabase.cmake).
set(CMAKE_AR llvm-ar CACHE FILEPATH "")
set(CMAKE_RANLIB llvm-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${NV_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${NV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# gcc's folder for the triple: libstdc++'s headers, libgcc, and the
# crtbegin.o and crtend.o that register the unwind tables libgcc's 32-bit
# unwinder walks. clang does not find it by itself (Debian names it
# "12-win32", which clang does not read as a gcc version), so it is named: -B
# makes the link take gcc's crtbegin.o over mingw-w64's, which registers
# nothing, and without which no 32-bit exception is ever caught.
file(GLOB nv_gcc_dirs /usr/lib/gcc/${NV_MINGW_TRIPLE}/*-win32)
list(SORT nv_gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET nv_gcc_dirs 0 nv_gcc_dir)
if(NOT IS_DIRECTORY "${nv_gcc_dir}/include/c++")
  message(FATAL_ERROR "No libstdc++ of ${NV_MINGW_TRIPLE}-g++-win32 under /usr/lib/gcc/${NV_MINGW_TRIPLE}")
endif()

# Windows Vista and later: the runtime resolves names with getaddrinfo and
# AI_NUMERICSERV, which older Winsock lacks.
set(CMAKE_C_FLAGS_INIT "--sysroot=/usr/${NV_MINGW_TRIPLE} -D_WIN32_WINNT=0x0600")
set(CMAKE_CXX_FLAGS_INIT
    "--sysroot=/usr/${NV_MINGW_TRIPLE} -isystem ${nv_gcc_dir}/include/c++ -isystem ${nv_gcc_dir}/include/c++/${NV_MINGW_TRIPLE} -D_WIN32_WINNT=0x0600")
set(nv_link_flags "-fuse-ld=lld -B${nv_gcc_dir} -L${nv_gcc_dir} -static-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${nv_link_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${nv_link_flags}")
