# SPDX-License-Identifier: MIT
# The SOAP toolkit: soapcpp2 generates the records and call procedures, the
# runtime (stdsoap2) carries them. Provides:
#   NV_SOAPCPP2      the code generator
#   NV_GSOAP_IMPORT  the toolkit's import directory (stlvector.h, ...)
#   gsoap_runtime    the runtime library to link, with the defines its
#                    struct soap was compiled with; gsoap_runtime_tls the
#                    same with its own TLS, for the sandbox centre's HTTPS.
#   nv_soapcpp2()    runs the code generator on the service definition.
include(BootstrapCache)
include(${CMAKE_CURRENT_LIST_DIR}/OpenSsl.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/DefExports.cmake)
find_program(NV_SOAPCPP2 soapcpp2 REQUIRED)
# A host path: not re-rooted under a cross toolchain's sysroot.
find_path(NV_GSOAP_IMPORT stlvector.h PATHS /usr/share/gsoap/import REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
set(NV_SOAP_MEMBERS_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/SoapMembersByLocalName.cmake)
# Puts the schemas of the emitted WSDL in an order importers read without
# forward references (WsdlSchemaOrder.cmake).
set(NV_WSDL_ORDER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/WsdlSchemaOrder.cmake)

# ---- The runtime: compiled from the toolkit's Debian source package --------
# Debian's libgsoap++.a is not position independent, so it cannot go into a
# shared library, and its shared form needs the namespace table exported
# from ours. So the runtime (stdsoap2.cpp) is compiled here, for Linux and
# Windows alike, from the source package of the installed soapcpp2, which
# tools/fetch-gsoap-source.sh unpacks outside the repository.
if(NOT NV_GSOAP_SOURCE_DIR)
  nv_bootstrap_cache_dir(NV_GSOAP_SOURCE_DIR gsoap gsoap)
endif()
set(NV_GSOAP_SOURCE_DIR ${NV_GSOAP_SOURCE_DIR} CACHE PATH "The unpacked gsoap source package")
if(NOT EXISTS ${NV_GSOAP_SOURCE_DIR}/gsoap/stdsoap2.cpp)
  message(FATAL_ERROR "No gsoap runtime source at ${NV_GSOAP_SOURCE_DIR}: run tools/fetch-gsoap-source.sh")
endif()

# nv_gsoap_runtime(<target> [TLS]): the runtime as a static library. The
# library's client only serialises with it (HTTP and TLS are libcurl's);
# the sandbox centre serves HTTPS with it (TLS). The define changes the
# runtime's context, so each target carries its own.
function(nv_gsoap_runtime target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "TLS" "" "")
  add_library(${target} STATIC ${NV_GSOAP_SOURCE_DIR}/gsoap/stdsoap2.cpp)
  # Before /usr/include, so the header matches the runtime compiled here.
  target_include_directories(${target} BEFORE PUBLIC ${NV_GSOAP_SOURCE_DIR}/gsoap)
  # getaddrinfo: thread-safe name resolution. Small hash tables for shared
  # pointers and ids: a literal message has neither, and the tables are
  # cleared for every message.
  target_compile_definitions(${target} PUBLIC WITH_IPV6 SOAP_PTRHASH=64 SOAP_IDHASH=61)
  # The runtime's HTTP header reading shifts a negative value left on a broken
  # %-escape (soap_decode): the same bytes on every compiler, defined since
  # C++20, no memory touched. Sanitizer builds let it pass.
  target_compile_options(${target} PRIVATE -w -fno-sanitize=shift-base)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(WIN32)
    target_link_libraries(${target} PUBLIC ws2_32)
  endif()
  # The client's runtime asks the allocation gate for its memory, so a test
  # build can refuse any of its requests (text/allocation_gate.h).
  if(NV_ALLOCATION_GATES AND NOT arg_TLS)
    target_compile_options(${target} PRIVATE -include ${PROJECT_SOURCE_DIR}/text/allocation_gate_runtime.h)
    target_link_libraries(${target} PUBLIC nv_allocation_gate)
  endif()
  if(arg_TLS)
    target_compile_definitions(${target} PUBLIC WITH_OPENSSL)
    target_link_libraries(${target} PUBLIC nv_openssl)
  endif()
endfunction()

if(NOT TARGET gsoap_runtime)
  nv_gsoap_runtime(gsoap_runtime)
  nv_gsoap_runtime(gsoap_runtime_tls TLS)
endif()

# nv_soapcpp2(<var> CLIENT|SERVER DIRECTORY <dir>
#             [DEFINITION <header>] [SERVICE <name>])
#
# Generates one side of the service from its definition into <dir> (in the
# build tree), makes its readers recognise members by local name (see
# SoapMembersByLocalName.cmake), puts each schema of the WSDL after the ones
# it uses (WsdlSchemaOrder.cmake), and sets in the caller's scope:
#   <var>_DIR      the directory to put on the include path ("soapH.h")
#   <var>_SOURCES  the generated sources to compile: soapC.cpp and either
#                  soapClient.cpp (CLIENT) or soapServer.cpp (SERVER)
#   <var>_NSMAP    the namespace table; include it in exactly one source
#   <var>_WSDL     the service description (the schemas lie beside it)
# DEFINITION and SERVICE default to the centre's service, declared by
# service/CMakeLists.txt. Call it from the directory that compiles the
# sources: the generated files belong to a custom command of that directory.
function(nv_soapcpp2 var side)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "DIRECTORY;DEFINITION;SERVICE" "")
  if(NOT arg_DIRECTORY)
    message(FATAL_ERROR "nv_soapcpp2: DIRECTORY is required")
  endif()
  if(NOT arg_DEFINITION)
    get_property(arg_DEFINITION GLOBAL PROPERTY NV_SERVICE_DEFINITION)
  endif()
  if(NOT arg_SERVICE)
    get_property(arg_SERVICE GLOBAL PROPERTY NV_SERVICE_NAME)
  endif()
  if(NOT arg_DEFINITION OR NOT arg_SERVICE)
    message(FATAL_ERROR "nv_soapcpp2: no service definition (add_subdirectory(service) first)")
  endif()

  if(side STREQUAL "CLIENT")
    set(side_flag -C)
    set(side_source soapClient.cpp)
  elseif(side STREQUAL "SERVER")
    set(side_flag -S)
    set(side_source soapServer.cpp)
  else()
    message(FATAL_ERROR "nv_soapcpp2: side must be CLIENT or SERVER, not '${side}'")
  endif()

  set(dir ${arg_DIRECTORY})
  set(sources ${dir}/soapC.cpp ${dir}/${side_source})
  set(outputs ${sources} ${dir}/soapH.h ${dir}/soapStub.h
              ${dir}/${arg_SERVICE}.nsmap ${dir}/${arg_SERVICE}.wsdl)
  # -x: no sample messages; -L: no soapClientLib/soapServerLib;
  # -c++: C++ records with the toolkit's virtual operations.
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${NV_SOAPCPP2} ${side_flag} -c++ -x -L -I${NV_GSOAP_IMPORT} -d${dir} ${arg_DEFINITION}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${dir}/soapC.cpp -P ${NV_SOAP_MEMBERS_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -DWSDL=${dir}/${arg_SERVICE}.wsdl -P ${NV_WSDL_ORDER_SCRIPT}
    DEPENDS ${arg_DEFINITION} ${NV_SOAP_MEMBERS_SCRIPT} ${NV_WSDL_ORDER_SCRIPT}
    COMMENT "soapcpp2: ${side} side of ${arg_SERVICE}"
    VERBATIM)
  # Generated code is the toolkit's, not ours: no warnings from it, and
  # little of its debug information, since the whole of it costs the biggest
  # file of the build a third more time to compile: the line tables (a stack
  # through it still names file and line), and none in the Windows programs,
  # whose PDB holds a checksum of every source it describes: the generated
  # files' comments name the folder and time they were made in.
  if(WIN32)
    set(debug_option -g0)
  else()
    set(debug_option $<$<CONFIG:Debug,RelWithDebInfo>:-g1>)
  endif()
  set_source_files_properties(${sources} PROPERTIES COMPILE_OPTIONS "-w;${debug_option}")

  set(${var}_DIR ${dir} PARENT_SCOPE)
  set(${var}_SOURCES ${sources} PARENT_SCOPE)
  set(${var}_NSMAP ${dir}/${arg_SERVICE}.nsmap PARENT_SCOPE)
  set(${var}_WSDL ${dir}/${arg_SERVICE}.wsdl PARENT_SCOPE)
endfunction()

# Restricts a shared library's dynamic symbols to the names of a module
# definition file, so nothing of the runtime or the C++ library leaks out.
function(nv_shared_library_exports target def_file)
  if(WIN32)
    # NvInterFace.dll, not libNvInterFace.dll, exporting the definition
    # file's names as they stand: --kill-at drops the @N that __stdcall
    # adds to 32-bit symbol names.
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "")
    # Given to the linker by a path relative to the build folder: the linker
    # records its command line in the PDB, and a path of this machine there
    # would change the PDB's GUID and so the DLL's bytes.
    get_filename_component(def_name ${def_file} NAME)
    configure_file(${def_file} ${CMAKE_CURRENT_BINARY_DIR}/${def_name} COPYONLY)
    target_link_options(${target} PRIVATE -Wl,--Xlink=-def:${def_name})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${def_name})
    # The fixup binds each undecorated name to its decorated symbol.
    target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup -Wl,--no-undefined)
    return()
  endif()
  nv_def_export_names(exports ${def_file})
  set(names)
  foreach(name IN LISTS exports)
    string(APPEND names "    ${name};\n")
  endforeach()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${script} "{\n  global:\n${names}  local: *;\n};\n")
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  # The script is written when configuring: a new export in the definition
  # file configures again.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def_file})
endfunction()
