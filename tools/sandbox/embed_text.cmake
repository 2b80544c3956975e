# SPDX-License-Identifier: MIT
# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<identifier> -P embed_text.cmake
# Writes a source defining `extern const char NAME[]` (NUL-terminated) and
# `extern const unsigned long NAME_size` with the input file's bytes, so a
# generated file travels inside the binary that serves it.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
# Break the initializer into lines of 16 bytes.
string(REGEX REPLACE "(('[^']*',){16})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by embed_text.cmake.\n"
  "extern const char ${NAME}[];\nextern const unsigned long ${NAME}_size;\n"
  "const char ${NAME}[] = {\n${bytes}'\\0'};\n"
  "const unsigned long ${NAME}_size = ${size};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
