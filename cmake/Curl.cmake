# SPDX-License-Identifier: MIT
# libcurl, which carries every exchange with the centre over HTTP and HTTPS.
# Provides the target nv_curl to link.
#   Linux:   Debian's libcurl4-openssl-dev.
#   Windows: a static libcurl cross-built from Debian's source package of the
#            installed libcurl4-openssl-dev (tools/cross-build-curl.sh), HTTP
#            and HTTPS only, against the static OpenSSL; outside the repository.
if(TARGET nv_curl)
  return()
endif()
include(BootstrapCache)
include(${CMAKE_CURRENT_LIST_DIR}/OpenSsl.cmake)
add_library(nv_curl INTERFACE)
if(NOT WIN32)
  find_package(CURL REQUIRED)
  target_link_libraries(nv_curl INTERFACE CURL::libcurl nv_openssl)
  return()
endif()
if(NOT NV_WINDOWS_CURL_DIR)
  nv_bootstrap_cache_dir(NV_WINDOWS_CURL_DIR curl libcurl4-openssl-dev ${NV_MINGW_TRIPLE})
endif()
set(NV_WINDOWS_CURL_DIR ${NV_WINDOWS_CURL_DIR} CACHE PATH "libcurl cross-built for this mingw triple")
if(NOT EXISTS ${NV_WINDOWS_CURL_DIR}/.built)
  message(FATAL_ERROR "No libcurl for ${NV_MINGW_TRIPLE} at ${NV_WINDOWS_CURL_DIR}: "
                      "run tools/cross-build-curl.sh ${NV_MINGW_TRIPLE}")
endif()
target_include_directories(nv_curl INTERFACE ${NV_WINDOWS_CURL_DIR}/include)
# CURL_STATICLIB: the functions are linked in, not imported from a DLL.
target_compile_definitions(nv_curl INTERFACE CURL_STATICLIB)
target_link_libraries(nv_curl INTERFACE ${NV_WINDOWS_CURL_DIR}/lib/libcurl.a nv_openssl ws2_32 crypt32 bcrypt)
