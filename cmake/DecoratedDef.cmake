# SPDX-License-Identifier: MIT
# cmake -DNM=<nm> -DARCHIVE=<objects archive> -DDEF=<module definition>
#       -DOUT=<file> -P DecoratedDef.cmake
#
# Writes the module definition with each export named as a caller's
# compiler names it: on x86, __stdcall adds "@N" (the bytes of arguments)
# to the symbol, so "Encypt" is "Encypt@4". The import libraries made from
# it let callers reference "_Encypt@4" and still import the DLL's
# undecorated "Encypt" (dlltool -k). On x64 nothing is decorated and the
# names stay as they are. The sizes come from the compiled objects, so no
# prototype is written twice.
foreach(var NM ARCHIVE DEF OUT)
  if(NOT ${var})
    message(FATAL_ERROR "DecoratedDef: ${var} is required")
  endif()
endforeach()
execute_process(COMMAND ${NM} -g --defined-only ${ARCHIVE} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "DecoratedDef: ${NM} ${ARCHIVE} failed")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/DefExports.cmake)
nv_def_export_names(exports ${DEF})
set(text "LIBRARY NvInterFace.dll\nEXPORTS\n")
foreach(name IN LISTS exports)
  if(symbols MATCHES " T _${name}(@[0-9]+)\n")
    string(APPEND text "    ${name}${CMAKE_MATCH_1}\n")
  elseif(symbols MATCHES " T ${name}\n")
    string(APPEND text "    ${name}\n")
  else()
    message(FATAL_ERROR "DecoratedDef: no symbol for the export ${name} in ${ARCHIVE}")
  endif()
endforeach()
file(WRITE ${OUT} "${text}")
