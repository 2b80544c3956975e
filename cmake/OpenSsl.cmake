# SPDX-License-Identifier: MIT
# OpenSSL, for HTTPS. Provides the target nv_openssl to link.
#   Linux:   Debian's libssl-dev.
#   Windows: static OpenSSL cross-built from Debian's source package of the
#            installed libssl-dev (tools/cross-build-openssl.sh) for the
#            toolchain's triple, kept outside the repository. Kept static
#            so that TLS works on Windows 7 SP1 against a centre that offers
#            only modern suites.
if(TARGET nv_openssl)
  return()
endif()
include(BootstrapCache)
add_library(nv_openssl INTERFACE)
if(NOT WIN32)
  find_package(OpenSSL REQUIRED)
  target_link_libraries(nv_openssl INTERFACE OpenSSL::SSL OpenSSL::Crypto)
  return()
endif()
if(NOT NV_MINGW_TRIPLE)
  # The triple is the cross compiler's name up to "-gcc".
  get_filename_component(nv_cc ${CMAKE_C_COMPILER} NAME)
  string(REGEX REPLACE "-gcc.*$" "" NV_MINGW_TRIPLE "${nv_cc}")
endif()
if(NOT NV_WINDOWS_OPENSSL_DIR)
  nv_bootstrap_cache_dir(NV_WINDOWS_OPENSSL_DIR openssl libssl-dev ${NV_MINGW_TRIPLE})
endif()
set(NV_WINDOWS_OPENSSL_DIR ${NV_WINDOWS_OPENSSL_DIR} CACHE PATH "OpenSSL cross-built for this mingw triple")
if(NOT EXISTS ${NV_WINDOWS_OPENSSL_DIR}/.built)
  message(FATAL_ERROR "No OpenSSL for ${NV_MINGW_TRIPLE} at ${NV_WINDOWS_OPENSSL_DIR}: "
                      "run tools/cross-build-openssl.sh ${NV_MINGW_TRIPLE}")
endif()
target_include_directories(nv_openssl INTERFACE ${NV_WINDOWS_OPENSSL_DIR}/include)
target_link_libraries(nv_openssl INTERFACE ${NV_WINDOWS_OPENSSL_DIR}/lib/libssl.a
                      ${NV_WINDOWS_OPENSSL_DIR}/lib/libcrypto.a crypt32 ws2_32 user32 advapi32)
