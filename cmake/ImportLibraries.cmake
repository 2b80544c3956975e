# SPDX-License-Identifier: MIT
# nv_import_libraries(<dll target> <objects archive target> <def file>)
# Beside the DLL, the import libraries its callers link against:
#   NvInterFace.lib    for MSVC (the short import format), by llvm-dlltool;
#   NvInterFace.dll.a  for mingw, by the triple's dlltool.
# Both are made from the module definition with x86's __stdcall names
# decorated (DecoratedDef.cmake), so that a caller compiled from
# NvInterFace.h, which references _Encypt@4, resolves to the DLL's
# undecorated Encypt. The .dll.a the linker writes beside the DLL has the
# undecorated names only (--kill-at), so it is replaced.
find_program(NV_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(NV_MINGW_DLLTOOL ${NV_MINGW_TRIPLE}-dlltool REQUIRED)
# llvm-nm reads the bitcode of link-time code generation as well.
find_program(NV_LLVM_NM NAMES llvm-nm llvm-nm-14 REQUIRED)

function(nv_import_libraries dll archive def_file)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(llvm_machine i386:x86-64)
  else()
    set(llvm_machine i386)
  endif()
  set(dir ${PROJECT_BINARY_DIR})
  set(decorated ${dir}/NvInterFace.decorated.def)
  add_custom_command(
    OUTPUT ${dir}/NvInterFace.lib ${decorated}
    COMMAND ${CMAKE_COMMAND} -DNM=${NV_LLVM_NM} -DARCHIVE=$<TARGET_FILE:${archive}> -DDEF=${def_file}
            -DOUT=${decorated} -P ${PROJECT_SOURCE_DIR}/cmake/DecoratedDef.cmake
    COMMAND ${NV_LLVM_DLLTOOL} -m ${llvm_machine} -k -d ${decorated} -l ${dir}/NvInterFace.lib
    # Run beside its output and named by the file alone: dlltool names its
    # members and a symbol after the output's path as given.
    COMMAND ${CMAKE_COMMAND} -E chdir $<TARGET_LINKER_FILE_DIR:${dll}> ${NV_MINGW_DLLTOOL} -k -t NvInterFace_dll_a
            -d ${decorated} -D NvInterFace.dll -l $<TARGET_LINKER_FILE_NAME:${dll}>
    DEPENDS ${dll} ${archive} ${def_file} ${PROJECT_SOURCE_DIR}/cmake/DecoratedDef.cmake
            ${PROJECT_SOURCE_DIR}/cmake/DefExports.cmake
    COMMENT "Import libraries NvInterFace.lib and NvInterFace.dll.a"
    VERBATIM)
  add_custom_target(nv_import_libraries ALL DEPENDS ${dir}/NvInterFace.lib)
endfunction()
