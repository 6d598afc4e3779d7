# Compiles a resource script with windres into a .res image and embeds its bytes
# in the target as a named blob that the platform's resource loader reads.
#
#   handheld_add_resources(TARGET target RC script.rc NAME symbol)
#
# The symbol is an extern "C" array `symbol` with length `symbol_size`.

find_program(HANDHELD_WINDRES NAMES x86_64-w64-mingw32-windres windres REQUIRED)

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
            -I ${rc_dir} -I ${PROJECT_SOURCE_DIR}/platform/include/rc
            -O res -i ${rc_abs} -o ${res}
    DEPENDS ${rc_abs} ${rc_inputs} ${ARG_DEPENDS}
    COMMENT "windres ${ARG_RC}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${cpp}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${res} -DOUTPUT=${cpp} -DNAME=${ARG_NAME}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    DEPENDS ${res} ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    VERBATIM)
  target_sources(${ARG_TARGET} PRIVATE ${cpp})
endfunction()
