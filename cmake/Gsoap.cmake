# The SOAP toolkit: soapcpp2 generates the records and call procedures, the
# runtime (stdsoap2) carries them. Provides:
#   NV_SOAPCPP2      the code generator
#   NV_GSOAP_IMPORT  the toolkit's import directory (stlvector.h, ...)
#   gsoap_runtime    the runtime library to link, with the defines its
#                    struct soap was compiled with.
find_program(NV_SOAPCPP2 soapcpp2 REQUIRED)
find_path(NV_GSOAP_IMPORT stlvector.h PATHS /usr/share/gsoap/import REQUIRED NO_DEFAULT_PATH)

if(NOT TARGET gsoap_runtime)
  # Debian's libgsoap-dev: the static C++ runtime is built position
  # independent, so it links into the shared library and stays private to it.
  find_library(NV_GSOAP_STATIC NAMES libgsoap++.a REQUIRED)
  add_library(gsoap_runtime STATIC IMPORTED GLOBAL)
  set_target_properties(gsoap_runtime PROPERTIES IMPORTED_LOCATION ${NV_GSOAP_STATIC})
  target_compile_definitions(gsoap_runtime INTERFACE WITH_IPV6 WITH_DOM)
endif()

# Restricts a shared library's dynamic symbols to the names of a module
# definition file, so nothing of the runtime or the C++ library leaks out.
function(nv_shared_library_exports target def_file)
  if(WIN32)
    target_sources(${target} PRIVATE ${def_file})
    return()
  endif()
  file(STRINGS ${def_file} lines)
  set(names)
  set(in_exports FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND NOT line STREQUAL "")
      string(APPEND names "    ${line};\n")
    endif()
  endforeach()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${script} "{\n  global:\n${names}  local: *;\n};\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()
