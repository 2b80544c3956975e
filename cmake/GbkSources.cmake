# SPDX-License-Identifier: MIT
# nv_gbk_sources(OUT_VAR file...)
# Copies each source into the build tree converted from UTF-8 to GBK, so that
# its string literals are GBK bytes whatever compiler builds it. A #line
# directive keeps diagnostics pointing at the original file.
find_program(NV_ICONV iconv REQUIRED)
function(nv_gbk_sources out_var)
  set(converted)
  foreach(src IN LISTS ARGN)
    set(in ${PROJECT_SOURCE_DIR}/${src})
    set(out ${PROJECT_BINARY_DIR}/gbk/${src})
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/gbk
      COMMAND sh -c "d=\$(dirname \"$1\") && mkdir -p \"$d\" && printf '#line 1 \"%s\"\\n' \"$2\" > \"$1\" && ${NV_ICONV} -f UTF-8 -t GBK \"$2\" >> \"$1\"" sh ${out} ${in}
      DEPENDS ${in}
      COMMENT "GBK ${src}"
      VERBATIM)
    list(APPEND converted ${out})
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      # GBK bytes in literals are the point of the conversion.
      set_source_files_properties(${out} PROPERTIES COMPILE_OPTIONS -Wno-invalid-source-encoding)
    endif()
  endforeach()
  set(${out_var} ${converted} PARENT_SCOPE)
endfunction()
