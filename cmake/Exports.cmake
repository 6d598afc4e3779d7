# A library's export table, generated at build time from its module-definition file,
# so that the ordinals the loader serves can never drift from the .def.
#
#   handheld_exports(TARGET target DEF library.def NAME symbol HEADER header.h [...])
#
# Adds to TARGET a generated .cpp defining
#   std::vector<sim::ImageExport> symbol();
# with one entry per line of the EXPORTS section: `Name @N` exports the function
# Name under ordinal N; `Name=Internal @N` exports the function Internal as Name.
# Keywords after the ordinal (NONAME, PRIVATE) are accepted and ignored; `;` starts
# a comment. The functions are ordinary C++ functions declared by the HEADER files.
#
# The same file, run as a script (cmake -DHANDHELD_EXPORTS_DEF=... -P Exports.cmake),
# does the generation.

if(DEFINED HANDHELD_EXPORTS_DEF)
  cmake_policy(VERSION 3.25)
  string(REPLACE "|" ";" HANDHELD_EXPORTS_HEADERS "${HANDHELD_EXPORTS_HEADERS}")
  file(STRINGS ${HANDHELD_EXPORTS_DEF} def_lines)
  set(in_exports FALSE)
  set(entries "")
  set(seen_ordinals "")
  set(seen_names "")
  set(line_number 0)
  foreach(line IN LISTS def_lines)
    math(EXPR line_number "${line_number} + 1")
    string(REGEX REPLACE ";.*$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    if(line MATCHES "^(EXPORTS)$")
      set(in_exports TRUE)
      continue()
    endif()
    if(line MATCHES "^(LIBRARY|NAME|DESCRIPTION|VERSION|HEAPSIZE|STACKSIZE|SECTIONS|IMPORTS)([ \t]|$)")
      set(in_exports FALSE)
      continue()
    endif()
    if(NOT in_exports)
      continue()
    endif()
    if(NOT line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)(=([A-Za-z_][A-Za-z0-9_:]*))?[ \t]+@([0-9]+)([ \t]+[A-Z \t]+)?$")
      message(FATAL_ERROR "${HANDHELD_EXPORTS_DEF}:${line_number}: expected `Name @ordinal`, found `${line}`")
    endif()
    set(export_name "${CMAKE_MATCH_1}")
    set(function_name "${CMAKE_MATCH_3}")
    set(ordinal "${CMAKE_MATCH_4}")
    if(function_name STREQUAL "")
      set(function_name "${export_name}")
    endif()
    if(ordinal LESS 1 OR ordinal GREATER 65535)
      message(FATAL_ERROR "${HANDHELD_EXPORTS_DEF}:${line_number}: ordinal ${ordinal} out of range")
    endif()
    if(ordinal IN_LIST seen_ordinals)
      message(FATAL_ERROR "${HANDHELD_EXPORTS_DEF}:${line_number}: ordinal ${ordinal} exported twice")
    endif()
    if(export_name IN_LIST seen_names)
      message(FATAL_ERROR "${HANDHELD_EXPORTS_DEF}:${line_number}: ${export_name} exported twice")
    endif()
    list(APPEND seen_ordinals ${ordinal})
    list(APPEND seen_names ${export_name})
    string(APPEND entries
      "      {\"${export_name}\", ${ordinal}, reinterpret_cast<void*>(&${function_name})},\n")
  endforeach()
  if(seen_names STREQUAL "")
    message(FATAL_ERROR "${HANDHELD_EXPORTS_DEF}: no EXPORTS entries")
  endif()
  set(includes "")
  foreach(header IN LISTS HANDHELD_EXPORTS_HEADERS)
    string(APPEND includes "#include \"${header}\"\n")
  endforeach()
  file(WRITE ${HANDHELD_EXPORTS_OUTPUT}.tmp
    "// Generated from ${HANDHELD_EXPORTS_DEF}; do not edit.\n"
    "#include <vector>\n\n"
    "#include \"${HANDHELD_EXPORTS_IMAGE_H}\"\n"
    "${includes}\n"
    "std::vector<sim::ImageExport> ${HANDHELD_EXPORTS_NAME}() {\n"
    "  return {\n${entries}  };\n"
    "}\n")
  file(COPY_FILE ${HANDHELD_EXPORTS_OUTPUT}.tmp ${HANDHELD_EXPORTS_OUTPUT} ONLY_IF_DIFFERENT)
  file(REMOVE ${HANDHELD_EXPORTS_OUTPUT}.tmp)
  return()
endif()

set(HANDHELD_EXPORTS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(handheld_exports)
  cmake_parse_arguments(ARG "" "TARGET;DEF;NAME" "HEADER" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_DEF OR NOT ARG_NAME OR NOT ARG_HEADER)
    message(FATAL_ERROR "handheld_exports needs TARGET, DEF, NAME and HEADER")
  endif()
  get_filename_component(def_abs ${ARG_DEF} ABSOLUTE)
  set(headers "")
  foreach(header IN LISTS ARG_HEADER)
    get_filename_component(header_abs ${header} ABSOLUTE)
    list(APPEND headers ${header_abs})
  endforeach()
  list(JOIN headers "|" headers_arg)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_exports.cpp)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND}
            -DHANDHELD_EXPORTS_DEF=${def_abs}
            -DHANDHELD_EXPORTS_OUTPUT=${cpp}
            -DHANDHELD_EXPORTS_NAME=${ARG_NAME}
            "-DHANDHELD_EXPORTS_HEADERS=${headers_arg}"
            -DHANDHELD_EXPORTS_IMAGE_H=${PROJECT_SOURCE_DIR}/platform/kernel/image.h
            -P ${HANDHELD_EXPORTS_SCRIPT}
    DEPENDS ${def_abs} ${HANDHELD_EXPORTS_SCRIPT}
    COMMENT "export table of ${ARG_DEF}"
    VERBATIM)
  target_sources(${ARG_TARGET} PRIVATE ${cpp})
endfunction()
