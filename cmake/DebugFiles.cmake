# SPDX-License-Identifier: MIT
# The Windows programs ship stripped, their debug information beside them:
# NvInterFace.dll and NvInterFace.dll.debug, nvcall.exe and nvcall.exe.debug.
# Each stripped file keeps a debug link (.gnu_debuglink) naming its debug
# file, so gdb finds it in the same folder. The cross builds compile with -g
# for it; the code generated is the same as without.
if(NOT CMAKE_OBJCOPY OR NOT CMAKE_STRIP)
  message(FATAL_ERROR "DebugFiles: the toolchain has no objcopy or strip")
endif()
add_compile_options(-g)
# objcopy and strip stamp a PE file they write with the time, unless the
# environment names one: the link's own, none (--no-insert-timestamp).
set(nv_no_time ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0)

# nv_separate_debug_file(<target>): after each link, <file>.debug takes the
# target's debug information and the file itself is stripped of it and of
# its symbol table (the exports stay: they are a table of their own).
function(nv_separate_debug_file target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${nv_no_time} ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${nv_no_time} ${CMAKE_STRIP} --strip-all $<TARGET_FILE_NAME:${target}>
    COMMAND ${nv_no_time} ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
            $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Stripping ${target}, its debug information beside it"
    VERBATIM)
endfunction()
