# Builds the headers that resource scripts include (<windows.h>, <commctrl.h>,
# <aygshell.h>) from the platform's own headers: windres's preprocessor cannot read
# C++ declarations, so the resource headers carry only the numeric #define lines.
# Run with -DINCLUDE_DIR=<platform/include> -DOUTPUT_DIR=<dir>.
file(GLOB_RECURSE headers ${INCLUDE_DIR}/*.h)
list(SORT headers)
set(defines "// Generated from the platform headers for resource scripts; do not edit.\n#pragma once\n")
foreach(header ${headers})
  file(STRINGS ${header} lines REGEX "^#define [A-Za-z_][A-Za-z0-9_]* ")
  foreach(line ${lines})
    string(REGEX REPLACE "//.*$" "" line "${line}")
    if(line MATCHES "^#define [A-Za-z_][A-Za-z0-9_]* +[-~()|&+<> 0-9A-Za-z_]+$"
       AND NOT line MATCHES "cast|sizeof|__builtin|MAKEINTRESOURCE|TEXT|\\(\\(WORD\\)|\\(\\(BYTE\\)|\\(\\(LONG\\)|\\(\\(DWORD")
      string(APPEND defines "${line}\n")
    endif()
  endforeach()
endforeach()
file(WRITE ${OUTPUT_DIR}/rcdefs.h.new "${defines}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT_DIR}/rcdefs.h.new ${OUTPUT_DIR}/rcdefs.h)
foreach(name windows commctrl aygshell)
  file(WRITE ${OUTPUT_DIR}/${name}.h.new "#pragma once\n#include \"rcdefs.h\"\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT_DIR}/${name}.h.new ${OUTPUT_DIR}/${name}.h)
endforeach()
