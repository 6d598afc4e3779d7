# The platform's parts include each other one way only: a part sees the parts below
# it and never one above. The build checks every include of every part before it
# compiles the platform, and fails naming the file and the include that points up.
#
#   handheld_platform_layers(TARGET platform DIR platform/)
#
# The parts, lowest first, and what each may include besides itself. Every part may
# include the API headers (platform/include, platform/system_include); boot/ puts
# the platform together and may include any part, and no part includes it.
#
# The same file, run as a script (cmake -DHANDHELD_PLATFORM_DIR=... -P
# PlatformLayers.cmake), does the check.

set(HANDHELD_LAYER_text "")
set(HANDHELD_LAYER_kernel text)
set(HANDHELD_LAYER_fs text kernel)
set(HANDHELD_LAYER_gdi text kernel)
set(HANDHELD_LAYER_user text kernel fs gdi)
set(HANDHELD_LAYER_comctl text kernel fs gdi user)
set(HANDHELD_LAYER_shell text kernel fs gdi user)
set(HANDHELD_LAYER_boot text kernel fs gdi user comctl shell)
set(HANDHELD_LAYERS text kernel fs gdi user comctl shell boot)

if(DEFINED HANDHELD_PLATFORM_DIR)
  cmake_policy(VERSION 3.25)
  set(wrong "")
  foreach(part IN LISTS HANDHELD_LAYERS)
    file(GLOB files ${HANDHELD_PLATFORM_DIR}/${part}/*.cpp ${HANDHELD_PLATFORM_DIR}/${part}/*.h)
    set(allowed ${HANDHELD_LAYER_${part}} ${part} system_include)
    foreach(file IN LISTS files)
      file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
      foreach(line IN LISTS includes)
        if(NOT line MATCHES "\"([^\"]*)\"")
          continue()
        endif()
        set(header "${CMAKE_MATCH_1}")
        if(header MATCHES "^([^/]+)/")
          set(folder "${CMAKE_MATCH_1}")
        else()
          set(folder "")
        endif()
        list(FIND allowed "${folder}" at)
        if(at EQUAL -1)
          file(RELATIVE_PATH shown ${HANDHELD_PLATFORM_DIR}/.. ${file})
          list(JOIN HANDHELD_LAYER_${part} "/, " below)
          if(below)
            set(below "${below}/ and ")
          endif()
          list(APPEND wrong "  ${shown} includes \"${header}\": ${part}/ may include ${below}its own headers")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(wrong)
    list(JOIN wrong "\n" text)
    message(FATAL_ERROR "an include points up the platform's layers:\n${text}")
  endif()
  return()
endif()

set(HANDHELD_PLATFORM_LAYERS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(handheld_platform_layers)
  cmake_parse_arguments(ARG "" "TARGET;DIR" "" ${ARGN})
  set(sources "")
  foreach(part IN LISTS HANDHELD_LAYERS)
    file(GLOB part_sources CONFIGURE_DEPENDS ${ARG_DIR}/${part}/*.cpp ${ARG_DIR}/${part}/*.h)
    list(APPEND sources ${part_sources})
  endforeach()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}_layers.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DHANDHELD_PLATFORM_DIR=${ARG_DIR} -P ${HANDHELD_PLATFORM_LAYERS_SCRIPT}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${HANDHELD_PLATFORM_LAYERS_SCRIPT}
    COMMENT "the includes of ${ARG_TARGET}'s parts point down"
    VERBATIM)
  add_custom_target(${ARG_TARGET}_layers DEPENDS ${stamp})
  add_dependencies(${ARG_TARGET} ${ARG_TARGET}_layers)
endfunction()
