# SPDX-License-Identifier: MIT
# Toolchain for the 64-bit Windows DLL (x64), which a .NET HIS built for
# AnyCPU loads on 64-bit Windows:
#   cmake -S . -B build/windows-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
set(NV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
