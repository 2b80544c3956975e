# SPDX-License-Identifier: MIT
# nv_def_export_names(<var> <def-file>)
#
# The export names of a module definition file, in its order: the lines
# after EXPORTS, as a CMake list. The linker's version script and the
# decorated definition for the import libraries both start from it.
function(nv_def_export_names var def_file)
  file(STRINGS ${def_file} lines)
  set(names)
  set(in_exports FALSE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "EXPORTS")
      set(in_exports TRUE)
    elseif(in_exports AND NOT line STREQUAL "")
      list(APPEND names ${line})
    endif()
  endforeach()
  set(${var} ${names} PARENT_SCOPE)
endfunction()
