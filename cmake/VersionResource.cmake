# SPDX-License-Identifier: MIT
# nv_version_resource(<target> FILENAME <name> DESCRIPTION <text>)
# Gives a Windows DLL or program a VERSIONINFO resource carrying the
# project's version (project(... VERSION), the one place it is written) and
# the build number of the commit built (cmake/BuildCommit.cmake), with the
# commit itself in ProductVersion. The description names the architecture
# (x86 or x64).

include(BuildCommit)

function(nv_version_resource target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FILENAME;DESCRIPTION" "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(arch x64)
  else()
    set(arch x86)
  endif()
  set(parts)
  foreach(part MAJOR MINOR PATCH)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      list(APPEND parts 0)
    else()
      list(APPEND parts ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  list(APPEND parts ${NV_BUILD_NUMBER})
  list(JOIN parts "," NV_RC_VERSION_COMMAS)
  list(JOIN parts "." NV_RC_FILE_VERSION)
  set(NV_RC_DESCRIPTION "${arg_DESCRIPTION} (${arch})")
  set(NV_RC_FILENAME ${arg_FILENAME})
  get_filename_component(NV_RC_INTERNAL_NAME ${arg_FILENAME} NAME_WE)
  if(arg_FILENAME MATCHES "\\.dll$")
    set(NV_RC_FILETYPE VFT_DLL)
  else()
    set(NV_RC_FILETYPE VFT_APP)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
