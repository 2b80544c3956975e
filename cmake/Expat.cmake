# SPDX-License-Identifier: MIT
# expat, the XML parser that reads the centre's answers as they arrive.
# Provides the target nv_expat to link.
#   Linux:   Debian's libexpat1-dev.
#   Windows: a static expat cross-built from Debian's source package of the
#            installed libexpat1-dev by tools/cross-build-expat.sh, for the
#            toolchain's triple (NV_MINGW_TRIPLE), kept outside the repository.
if(TARGET nv_expat)
  return()
endif()
add_library(nv_expat INTERFACE)
if(NOT WIN32)
  find_package(EXPAT REQUIRED)
  target_link_libraries(nv_expat INTERFACE EXPAT::EXPAT)
  return()
endif()

if(NOT NV_MINGW_TRIPLE)
  message(FATAL_ERROR "No NV_MINGW_TRIPLE: cross-build with a toolchain file from cmake/")
endif()
if(NOT NV_EXPAT_WINDOWS_DIR)
  include(BootstrapCache)
  nv_bootstrap_cache_dir(NV_EXPAT_WINDOWS_DIR expat libexpat1-dev ${NV_MINGW_TRIPLE})
endif()
set(NV_EXPAT_WINDOWS_DIR ${NV_EXPAT_WINDOWS_DIR} CACHE PATH "The static expat cross-built for this triple")
if(NOT EXISTS ${NV_EXPAT_WINDOWS_DIR}/lib/libexpat.a OR NOT EXISTS ${NV_EXPAT_WINDOWS_DIR}/include/expat.h)
  message(FATAL_ERROR "No expat for ${NV_MINGW_TRIPLE} in ${NV_EXPAT_WINDOWS_DIR}: "
                      "run tools/cross-build-expat.sh ${NV_MINGW_TRIPLE}")
endif()
add_library(nv_expat_static STATIC IMPORTED)
set_target_properties(nv_expat_static PROPERTIES IMPORTED_LOCATION ${NV_EXPAT_WINDOWS_DIR}/lib/libexpat.a)
# XML_STATIC: the functions are linked in, not imported from a DLL.
target_include_directories(nv_expat_static INTERFACE ${NV_EXPAT_WINDOWS_DIR}/include)
target_compile_definitions(nv_expat_static INTERFACE XML_STATIC)
target_link_libraries(nv_expat INTERFACE nv_expat_static)
