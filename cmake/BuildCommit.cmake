# SPDX-License-Identifier: MIT
# The commit the source tree is at, and the build number taken from it: its
# first four hex digits as a number (0 to 65535), so that two builds of one
# commit carry the same number, whatever the machine or the time. Outside a
# git checkout the build number is 0 and the commit empty.
#   NV_BUILD_COMMIT     the full commit
#   NV_BUILD_NUMBER     the build number
#   NV_PRODUCT_VERSION  "1.0 (0123456789ab)": the version and the commit
# A new commit or checkout configures anew.
find_package(Git QUIET)
set(NV_BUILD_COMMIT "")
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} rev-parse --verify -q HEAD
                  OUTPUT_VARIABLE NV_BUILD_COMMIT OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} rev-parse --path-format=absolute
                          --git-path logs/HEAD
                  OUTPUT_VARIABLE nv_head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(nv_head_log AND EXISTS "${nv_head_log}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${nv_head_log}")
  endif()
endif()
if(NV_BUILD_COMMIT MATCHES "^([0-9a-f][0-9a-f][0-9a-f][0-9a-f])")
  math(EXPR NV_BUILD_NUMBER "0x${CMAKE_MATCH_1}" OUTPUT_FORMAT DECIMAL)
  string(SUBSTRING "${NV_BUILD_COMMIT}" 0 12 nv_short_commit)
  set(NV_PRODUCT_VERSION "${PROJECT_VERSION} (${nv_short_commit})")
else()
  set(NV_BUILD_NUMBER 0)
  set(NV_PRODUCT_VERSION "${PROJECT_VERSION}")
endif()

