# Shared build settings and test helpers for every part of the tree.

set(VEXA_ROOT ${CMAKE_SOURCE_DIR})
set(VEXA_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(VEXA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# Product code: Unicode Win32 for Windows XP, warnings are errors, no
# exceptions, and a static C/C++ runtime so nothing but system DLLs is needed.
function(vexa_defaults target)
  target_compile_definitions(${target} PRIVATE
    UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600
    NOMINMAX WIN32_LEAN_AND_MEAN)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Werror
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE" OR kind STREQUAL "SHARED_LIBRARY"
     OR kind STREQUAL "MODULE_LIBRARY")
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# Test code may use GoogleTest (which wants exceptions) but keeps the rest.
function(vexa_test_defaults target)
  target_compile_definitions(${target} PRIVATE
    UNICODE _UNICODE WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600
    NOMINMAX WIN32_LEAN_AND_MEAN)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  target_include_directories(${target} PRIVATE ${VEXA_ROOT}/tests/common)
endfunction()

# vexa_add_gtest(NAME name SOURCES ... [LIBS ...] [TIMEOUT s] [RESOURCES rc...])
# A GoogleTest program run under Wine from the bin folder.
function(vexa_add_gtest)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;RESOURCES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${T_RESOURCES})
  vexa_test_defaults(${T_NAME})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gmock gtest_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(VEXA_RUN_TESTS)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${VEXA_BIN_DIR})
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()

# vexa_add_wine_test(NAME name COMMAND target-or-file [args...] [TIMEOUT s])
# A plain Windows test program; exit code 0 passes.
function(vexa_add_wine_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(VEXA_RUN_TESTS)
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND} WORKING_DIRECTORY ${VEXA_BIN_DIR})
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
