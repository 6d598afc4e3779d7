# An image's writable data, gathered into sections of its own, so that the device
# can give every process its own copy of it (platform/kernel/process_data.h).
#
#   handheld_image_data(TARGET target NAME name)
#
# TARGET is a static library holding the image's objects. Once it is archived, every
# writable data section of its objects (.data, .bss, .data.rel, .data.rel.local, ...)
# is renamed to NAME_data (NAME_bss for zero-filled ones); the linker gathers them
# and brackets them with __start_/__stop_ symbols. TARGET gets a generated source
# defining
#   std::vector<std::span<std::byte>> NAME_image_data();
# the two sections' bounds in the linked program (empty when a section is missing).
#
# The build fails when an object holds writable data that cannot be given to each
# process: a COMDAT data section (an inline or template variable, or a static local
# of an inline function: the linker keeps one copy of it for the whole host program,
# possibly another object's) or thread-local data.
#
# Left as they are: .data.rel.ro* (constants with relocations, read-only once the
# program is loaded), the exception tables' reference to the personality routine
# (DW.ref.*, the same for every object), the host's start-up and clean-up tables
# (.init_array, .fini_array, .preinit_array, .ctors, .dtors) and the sanitizers' own
# tables (asan_globals, __sancov_*), which their runtimes find by name.
#
# The same file, run as a script (cmake -DHANDHELD_IMAGE_DATA_ARCHIVE=... -P
# ImageData.cmake), does the renaming and the checks.

if(DEFINED HANDHELD_IMAGE_DATA_ARCHIVE)
  cmake_policy(VERSION 3.25)
  set(name ${HANDHELD_IMAGE_DATA_NAME})

  # Without a name the archive is code several images link: it may define no
  # variable at all (sections the compiler or a sanitizer fills on its own carry no
  # symbol of the program's).
  if(NOT name)
    execute_process(COMMAND ${HANDHELD_NM} --defined-only ${HANDHELD_IMAGE_DATA_ARCHIVE}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot list the symbols of ${HANDHELD_IMAGE_DATA_ARCHIVE}")
    endif()
    string(REGEX MATCHALL "[^\n]* [bBdDvV] [^\n]*" candidates "${symbols}")
    # Type descriptions and a sanitizer's own records are not the program's variables.
    set(variables "")
    foreach(line IN LISTS candidates)
      if(NOT line MATCHES " [bBdDvV] (_ZT[ISV]|__unnamed_|\\.L)")
        list(APPEND variables "${line}")
      endif()
    endforeach()
    if(variables)
      list(JOIN variables "\n" text)
      message(FATAL_ERROR "${HANDHELD_IMAGE_DATA_ARCHIVE}: code shared by several images defines "
              "variables, which no process could have a copy of:\n${text}")
    endif()
    return()
  endif()

  # Lists the archive's writable data sections as "member|section|type|flags".
  function(list_writable_sections out)
    execute_process(COMMAND ${HANDHELD_READELF} -S -W ${HANDHELD_IMAGE_DATA_ARCHIVE}
                    OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot list the sections of ${HANDHELD_IMAGE_DATA_ARCHIVE}")
    endif()
    string(REPLACE ";" "\\;" listing "${listing}")
    string(REPLACE "\n" ";" lines "${listing}")
    set(member "")
    set(found "")
    foreach(line IN LISTS lines)
      if(line MATCHES "^File: .*\\((.*)\\)$")
        set(member "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^ *\\[ *[0-9]+\\] ([^ ]+) +([A-Z_0-9]+) +[0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+ +([A-Za-z]*) ")
        set(section "${CMAKE_MATCH_1}")
        set(type "${CMAKE_MATCH_2}")
        set(flags "${CMAKE_MATCH_3}")
        if(flags MATCHES "W" AND flags MATCHES "A")
          list(APPEND found "${member}|${section}|${type}|${flags}")
        endif()
      endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
  endfunction()

  function(left_as_is section result)
    set(keep FALSE)
    if(section MATCHES "^\\.data\\.rel\\.ro" OR section MATCHES "DW\\.ref\\."
       OR section MATCHES "^\\.(init_array|fini_array|preinit_array|ctors|dtors)"
       OR section MATCHES "^(asan_globals|__sancov_)"
       OR section STREQUAL "${name}_data" OR section STREQUAL "${name}_bss")
      set(keep TRUE)
    endif()
    set(${result} ${keep} PARENT_SCOPE)
  endfunction()

  list_writable_sections(sections)
  set(renames "")
  set(refused "")
  foreach(entry IN LISTS sections)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 member)
    list(GET fields 1 section)
    list(GET fields 2 type)
    list(GET fields 3 flags)
    left_as_is(${section} keep)
    if(keep)
      continue()
    endif()
    if(flags MATCHES "[GT]" OR section MATCHES "^\\.t(data|bss)")
      list(APPEND refused "  ${member}: ${section} (${flags})")
    elseif(type STREQUAL "NOBITS")
      list(APPEND renames "${section}=${name}_bss")
    else()
      list(APPEND renames "${section}=${name}_data")
    endif()
  endforeach()
  if(refused)
    list(JOIN refused "\n" refused_text)
    message(FATAL_ERROR
      "${HANDHELD_IMAGE_DATA_ARCHIVE}: data that cannot be given to each process of the image:\n"
      "${refused_text}\n"
      "(an inline or template variable, a static local of an inline function or thread-local "
      "data: make it an ordinary global or static of one source file of the image)")
  endif()
  list(REMOVE_DUPLICATES renames)
  set(arguments "")
  foreach(rename IN LISTS renames)
    list(APPEND arguments --rename-section ${rename})
  endforeach()
  if(arguments)
    execute_process(COMMAND ${HANDHELD_OBJCOPY} ${arguments} ${HANDHELD_IMAGE_DATA_ARCHIVE} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot rename the data sections of ${HANDHELD_IMAGE_DATA_ARCHIVE}")
    endif()
  endif()

  list_writable_sections(sections)
  foreach(entry IN LISTS sections)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 1 section)
    left_as_is(${section} keep)
    if(NOT keep)
      message(FATAL_ERROR "${HANDHELD_IMAGE_DATA_ARCHIVE}: ${entry} was not renamed")
    endif()
  endforeach()
  return()
endif()

set(HANDHELD_IMAGE_DATA_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# Code that several images link (TARGET, a static library) must hold no writable
# data at all: it has no image of its own whose sections could carry it.
function(handheld_no_image_data)
  cmake_parse_arguments(ARG "" "TARGET" "" ${ARGN})
  add_custom_command(TARGET ${ARG_TARGET} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
            -DHANDHELD_IMAGE_DATA_ARCHIVE=$<TARGET_FILE:${ARG_TARGET}>
            -DHANDHELD_IMAGE_DATA_NAME=
            -DHANDHELD_NM=${CMAKE_NM}
            -P ${HANDHELD_IMAGE_DATA_SCRIPT}
    COMMENT "no writable data in ${ARG_TARGET}"
    VERBATIM)
endfunction()
if(NOT CMAKE_OBJCOPY)
  find_program(CMAKE_OBJCOPY NAMES objcopy REQUIRED)
endif()
if(NOT CMAKE_READELF)
  find_program(CMAKE_READELF NAMES readelf REQUIRED)
endif()

function(handheld_image_data)
  cmake_parse_arguments(ARG "" "TARGET;NAME" "" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_NAME)
    message(FATAL_ERROR "handheld_image_data needs TARGET and NAME")
  endif()
  if(NOT ARG_NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "handheld_image_data: ${ARG_NAME} cannot name a section the linker brackets")
  endif()
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_NAME}_image_data.cpp)
  set(n ${ARG_NAME})
  file(CONFIGURE OUTPUT ${cpp} CONTENT
"// Generated by cmake/ImageData.cmake; do not edit.
#include <cstddef>
#include <span>
#include <vector>

// The linker defines these for the sections the image's data was gathered into.
extern \"C\" {
[[gnu::weak]] extern std::byte __start_${n}_data[];
[[gnu::weak]] extern std::byte __stop_${n}_data[];
[[gnu::weak]] extern std::byte __start_${n}_bss[];
[[gnu::weak]] extern std::byte __stop_${n}_bss[];
}

std::vector<std::span<std::byte>> ${n}_image_data() {
  return {std::span<std::byte>(__start_${n}_data, __stop_${n}_data),
          std::span<std::byte>(__start_${n}_bss, __stop_${n}_bss)};
}
")
  target_sources(${ARG_TARGET} PRIVATE ${cpp})
  add_custom_command(TARGET ${ARG_TARGET} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
            -DHANDHELD_IMAGE_DATA_ARCHIVE=$<TARGET_FILE:${ARG_TARGET}>
            -DHANDHELD_IMAGE_DATA_NAME=${ARG_NAME}
            -DHANDHELD_OBJCOPY=${CMAKE_OBJCOPY}
            -DHANDHELD_READELF=${CMAKE_READELF}
            -P ${HANDHELD_IMAGE_DATA_SCRIPT}
    COMMENT "per-process data sections of ${ARG_TARGET}"
    VERBATIM)
endfunction()
