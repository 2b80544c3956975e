# SPDX-License-Identifier: MIT
# SQLite, the sandbox centre's store. Provides the target nv_sqlite to link.
#   Linux:   Debian's libsqlite3-dev.
#   Windows: a static SQLite cross-built from Debian's source package of the
#            installed libsqlite3-dev by tools/cross-build-sqlite.sh, for the
#            toolchain's triple (NV_MINGW_TRIPLE), kept outside the repository.
if(TARGET nv_sqlite)
  return()
endif()
add_library(nv_sqlite INTERFACE)
if(NOT WIN32)
  find_package(SQLite3 REQUIRED)
  target_link_libraries(nv_sqlite INTERFACE SQLite::SQLite3)
  return()
endif()

if(NOT NV_SQLITE_WINDOWS_DIR)
  include(BootstrapCache)
  nv_bootstrap_cache_dir(NV_SQLITE_WINDOWS_DIR sqlite libsqlite3-dev ${NV_MINGW_TRIPLE})
endif()
set(NV_SQLITE_WINDOWS_DIR ${NV_SQLITE_WINDOWS_DIR} CACHE PATH "The static SQLite cross-built for this triple")
if(NOT EXISTS ${NV_SQLITE_WINDOWS_DIR}/lib/libsqlite3.a OR NOT EXISTS ${NV_SQLITE_WINDOWS_DIR}/include/sqlite3.h)
  message(FATAL_ERROR "No SQLite for ${NV_MINGW_TRIPLE} in ${NV_SQLITE_WINDOWS_DIR}: "
                      "run tools/cross-build-sqlite.sh ${NV_MINGW_TRIPLE}")
endif()
add_library(nv_sqlite_static STATIC IMPORTED)
set_target_properties(nv_sqlite_static PROPERTIES IMPORTED_LOCATION ${NV_SQLITE_WINDOWS_DIR}/lib/libsqlite3.a)
target_include_directories(nv_sqlite_static INTERFACE ${NV_SQLITE_WINDOWS_DIR}/include)
target_link_libraries(nv_sqlite INTERFACE nv_sqlite_static)
