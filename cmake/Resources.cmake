# Compiles a resource script with windres into a .res image and embeds its bytes
# in the target as a named blob that the platform's resource loader reads.
#
#   handheld_add_resources(TARGET target RC script.rc NAME symbol)
#
# The symbol is an extern "C" array `symbol` with length `symbol_size`.

find_program(HANDHELD_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)

# Resource scripts include <windows.h> and friends from a folder of headers that
# hold only the platform's numeric constants (see RcHeaders.cmake).
set(HANDHELD_RC_INCLUDE ${PROJECT_BINARY_DIR}/rc-include)
file(MAKE_DIRECTORY ${HANDHELD_RC_INCLUDE})
file(GLOB_RECURSE handheld_api_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/include/*.h)
add_custom_command(
  OUTPUT ${HANDHELD_RC_INCLUDE}/rcdefs.h
  COMMAND ${CMAKE_COMMAND} -DINCLUDE_DIR=${PROJECT_SOURCE_DIR}/platform/include
          -DOUTPUT_DIR=${HANDHELD_RC_INCLUDE} -P ${PROJECT_SOURCE_DIR}/cmake/RcHeaders.cmake
  DEPENDS ${handheld_api_headers} ${PROJECT_SOURCE_DIR}/cmake/RcHeaders.cmake
  COMMENT "resource headers"
  VERBATIM)
add_custom_target(handheld_rc_headers DEPENDS ${HANDHELD_RC_INCLUDE}/rcdefs.h)

function(handheld_add_resources)
  cmake_parse_arguments(ARG "" "TARGET;RC;NAME" "DEPENDS" ${ARGN})
  get_filename_component(rc_abs ${ARG_RC} ABSOLUTE)
  get_filename_component(rc_dir ${rc_abs} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}.res)
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_res.cpp)
  file(GLOB rc_inputs CONFIGURE_DEPENDS ${rc_dir}/*.h ${rc_dir}/res/*)
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${HANDHELD_WINDRES}
            --preprocessor=cpp --preprocessor-arg=-E --preprocessor-arg=-xc
            --preprocessor-arg=-DRC_INVOKED
            -I ${rc_dir} -I ${HANDHELD_RC_INCLUDE}
            -O res -i ${rc_abs} -o ${res}
    DEPENDS ${rc_abs} ${rc_inputs} ${ARG_DEPENDS} ${HANDHELD_RC_INCLUDE}/rcdefs.h
    COMMENT "windres ${ARG_RC}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${cpp} -DNAME=${ARG_NAME}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    DEPENDS ${res} ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    VERBATIM)
  target_sources(${ARG_TARGET} PRIVATE ${cpp})
  add_dependencies(${ARG_TARGET} handheld_rc_headers)
endfunction()
