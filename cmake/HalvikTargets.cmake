# Helpers every subsystem folder uses, so that all of the project's own code is
# compiled the same way.
#
#   halvik_library(name SOURCES...)      portable or platform static library
#   halvik_program(name SOURCES...)      a Windows GUI program (WIN32 subsystem)
#   halvik_console(name SOURCES...)      a console program (either build)
#   halvik_unit_test(name SOURCES... LIBS ...)  a GoogleTest executable under CTest
#   halvik_fuzz(name SOURCE LIBS ...)    a libFuzzer target (fuzz preset only)

function(halvik_own_code target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

function(halvik_library name)
  add_library(${name} STATIC ${ARGN})
  halvik_own_code(${name})
endfunction()

function(halvik_program name)
  add_executable(${name} WIN32 ${ARGN})
  halvik_own_code(${name})
  target_link_options(${name} PRIVATE -municode)
endfunction()

function(halvik_console name)
  add_executable(${name} ${ARGN})
  halvik_own_code(${name})
endfunction()

function(halvik_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32 OR HALVIK_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  halvik_own_code(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30
    PROPERTIES ENVIRONMENT "HALVIK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

function(halvik_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT HALVIK_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  halvik_own_code(${name})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
