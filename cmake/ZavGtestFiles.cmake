# Registers a GoogleTest program with ctest as one test per source file. Each such test runs the
# program once with a filter naming that file's cases, so a program costs one process start per
# file instead of one per case: under Wine (and under qemu on machines that cannot run 32-bit
# programs natively) a process start costs far more than most cases take. A last test per program
# runs every case the filters missed, so a case the scanner does not recognise still runs.
#
#   zav_add_gtest_files(<target> SOURCES <files...> [TIMEOUT <seconds>] [RUN_SERIAL])
#
# The ctest names are <target>.<file name without extension>, for example unit_tests.test_trace;
# run single cases with the program itself and --gtest_filter.

# Appends the gtest filter patterns of the cases defined in one source file to <out_var>.
function(zav_gtest_patterns_of_file src out_var)
  file(READ "${src}" text)
  set(ws "[ \t\r\n]*")
  set(id "[A-Za-z0-9_]+")
  string(REGEX MATCHALL "(^|\n)[ \t]*TEST(_F|_P)?${ws}\\(${ws}${id}${ws},${ws}${id}${ws}\\)" found "${text}")
  set(patterns "")
  foreach(match IN LISTS found)
    string(REGEX REPLACE "[ \t\r\n]" "" match "${match}")
    string(REGEX MATCH "^(TEST|TEST_F|TEST_P)\\((${id}),(${id})\\)$" parsed "${match}")
    set(kind "${CMAKE_MATCH_1}")
    set(suite "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_3}")
    if(suite MATCHES "^DISABLED_" OR name MATCHES "^DISABLED_")
      continue()
    endif()
    if(kind STREQUAL "TEST_P")
      # Value-parameterised cases are named Instantiation/Suite.Name/Index.
      list(APPEND patterns "*/${suite}.${name}/*")
    else()
      list(APPEND patterns "${suite}.${name}")
    endif()
  endforeach()
  set(${out_var} "${patterns}" PARENT_SCOPE)
endfunction()

function(zav_add_gtest_files target)
  cmake_parse_arguments(ARG "RUN_SERIAL" "TIMEOUT" "SOURCES" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set(properties TIMEOUT ${ARG_TIMEOUT})
  if(ARG_RUN_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()

  set(every_pattern "")
  list(SORT ARG_SOURCES)
  foreach(src IN LISTS ARG_SOURCES)
    zav_gtest_patterns_of_file("${src}" patterns)
    if(NOT patterns)
      continue()
    endif()
    list(APPEND every_pattern ${patterns})
    get_filename_component(stem "${src}" NAME_WE)
    list(JOIN patterns ":" filter)
    # The filter travels in the environment: the command line of a Windows program may expand
    # wildcards, and the list can be long.
    add_test(NAME ${target}.${stem} COMMAND ${target})
    set_tests_properties(${target}.${stem} PROPERTIES ${properties} ENVIRONMENT "GTEST_FILTER=${filter}")
  endforeach()

  list(JOIN every_pattern ":" listed)
  add_test(NAME ${target}.unlisted COMMAND ${target})
  set_tests_properties(${target}.unlisted PROPERTIES ${properties} ENVIRONMENT "GTEST_FILTER=-${listed}")
endfunction()
