# SPDX-License-Identifier: MIT
# The Windows programs ship with their debug information in a PDB beside
# them: NvInterFace.dll and NvInterFace.pdb, nvcall.exe and nvcall.pdb. It is
# CodeView, which WinDbg and Visual Studio read to name the functions and
# lines of a crash dump's stack. Each program's debug directory names its PDB
# by file name alone and carries the PDB's GUID and age, by which a debugger
# knows the two belong together. The libraries cross-built with gcc (OpenSSL,
# libcurl, expat, SQLite) and gcc's C++ library have no CodeView: their
# functions are known by their public names.
#
# No path of the build machine goes into the PDB, as lld derives its GUID from
# its contents and a path would change the program's bytes too. The folders
# are mapped (-ffile-prefix-map, CMakeLists.txt), the program names its PDB
# without a folder (/pdbaltpath:%_PDB%), and the linker records "." as the
# folder it ran in (/pdbsourcepath). The code is generated at link time
# (ThinLTO): clang 14 records each compiler command line, include folders and
# all, with the debug information of an object it compiles, and no option
# turns that off; code the linker generates from bitcode has none.
find_program(NV_LLVM_OBJCOPY NAMES llvm-objcopy llvm-objcopy-14 REQUIRED)
add_compile_options(-g -gcodeview -flto=thin)
add_link_options(-flto=thin)

# nv_program_database(<target>): <target>'s PDB beside it, and the gcc-built
# libraries' DWARF, which lld would copy into the image, stripped from it.
function(nv_program_database target)
  target_link_options(${target} PRIVATE -Wl,--pdb= -Wl,--Xlink=-pdbaltpath:%_PDB% -Wl,--Xlink=-pdbsourcepath:.)
  # The code generated at link time is kept between builds, beside the
  # compiler cache: the same bitcode linked again (the reproducibility
  # check's second tree, a change elsewhere) is not generated again. Named
  # through a link in the folder the linker runs in, as its command line
  # goes into the PDB.
  set(cache ${NV_BOOTSTRAP_CACHE_ROOT}/thinlto/${NV_MINGW_TRIPLE})
  execute_process(COMMAND mkdir -p ${cache} RESULT_VARIABLE made ERROR_QUIET)
  if(NOT made EQUAL 0)
    set(cache ${PROJECT_BINARY_DIR}/thinlto-cache-dir)
    file(MAKE_DIRECTORY ${cache})
  endif()
  get_target_property(link_dir ${target} BINARY_DIR)
  file(CREATE_LINK ${cache} ${link_dir}/thinlto-cache SYMBOLIC)
  target_link_options(${target} PRIVATE -Wl,--thinlto-cache-dir=thinlto-cache)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${NV_LLVM_OBJCOPY} --strip-debug $<TARGET_FILE:${target}>
    COMMENT "Stripping ${target} of the DWARF of gcc's libraries"
    VERBATIM)
endfunction()
