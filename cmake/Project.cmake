# Project-wide compiler settings and helpers for libraries, tests, benchmarks
# and fuzz targets.

add_compile_options(-Wall -Wextra -ffp-contract=off)
if(PROJECT_WERROR)
  add_compile_options(-Werror)
endif()

if(PROJECT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

if(PROJECT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "PROJECT_FUZZ needs clang")
  endif()
  # Coverage instrumentation for everything; the fuzz targets add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# project_add_library(NAME DIRS <dir>... [DEPS <target>...] [EXCLUDE <regex>...])
# A static library made of every .cpp/.c below the given directories
# (relative to the calling CMakeLists.txt). Headers are included from the
# repository root: #include "vrx/framework/include/vrx_vector.h".
function(project_add_library name)
  cmake_parse_arguments(A "" "" "DIRS;DEPS;EXCLUDE" ${ARGN})
  set(srcs)
  foreach(d ${A_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.c)
    list(APPEND srcs ${s})
  endforeach()
  foreach(rx ${A_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "${rx}")
  endforeach()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
endfunction()

# project_add_test_fonts()
# The tests' fontconfig configuration (tests/fonts.conf.in): the system's
# fonts, with the cache folder build/tests/fontconfig/cache first. The test
# fontconfig_cache makes that cache before every other test, with no limit on
# its memory, and lets every user read it: the tests that run the program
# under memory limits then only read it (those that run it as another user,
# who may not reach the build tree, read a copy in their own folder), and none
# writes the machine's own caches.
function(project_add_test_fonts)
  find_program(PROJECT_FC_CACHE fc-cache REQUIRED)
  find_file(PROJECT_SYSTEM_FONTS_CONF fonts.conf PATHS /etc/fonts NO_DEFAULT_PATH REQUIRED)
  set(PROJECT_TEST_FONT_CACHE ${PROJECT_BINARY_DIR}/tests/fontconfig/cache)
  configure_file(${PROJECT_SOURCE_DIR}/tests/fonts.conf.in
                 ${PROJECT_BINARY_DIR}/tests/fontconfig/fonts.conf @ONLY)
  add_test(NAME fontconfig_cache
           COMMAND sh -c "mkdir -p \"$2\" && FONTCONFIG_FILE=\"$1\" \"$3\" -f && chmod -R a+rX \"$2\""
                   sh ${PROJECT_TEST_FONTS} ${PROJECT_TEST_FONT_CACHE} ${PROJECT_FC_CACHE})
  set_tests_properties(fontconfig_cache PROPERTIES FIXTURES_SETUP test_fonts)
endfunction()
set(PROJECT_TEST_FONTS ${PROJECT_BINARY_DIR}/tests/fontconfig/fonts.conf)

# project_add_gtest(NAME DIRS <dir>... LIBS <target>...)
# One GoogleTest program from every .cpp below the directories, run by CTest.
# TEST_DATA_DIR points at tests/data, TEST_SOURCE_DIR at the repository root.
find_package(GTest QUIET)
function(project_add_gtest name)
  cmake_parse_arguments(A "" "" "DIRS;LIBS" ${ARGN})
  set(srcs)
  foreach(d ${A_DIRS})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
    list(APPEND srcs ${s})
  endforeach()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8;FONTCONFIG_FILE=${PROJECT_TEST_FONTS}"
                                          FIXTURES_REQUIRED test_fonts)
endfunction()

# project_add_benchmark(NAME SOURCES <file>... LIBS <target>...)
find_package(benchmark QUIET)
function(project_add_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT benchmark_FOUND)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# project_add_fuzzer(NAME SOURCES <file>... LIBS <target>... [CORPUS <dir>...])
# A libFuzzer target; CTest runs it briefly over its seed corpus folders.
function(project_add_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;CORPUS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # New inputs go to a scratch corpus in the build tree, never into the
  # committed seed corpus, which is only read.
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  set(args -runs=20000 -max_len=65536 ${work})
  if(A_CORPUS)
    list(APPEND args ${A_CORPUS})
  endif()
  add_test(NAME fuzz_${name}
           COMMAND sh -c "mkdir -p \"$1\" && shift && exec \"$@\"" sh ${work} $<TARGET_FILE:${name}> ${args})
  set_tests_properties(fuzz_${name} PROPERTIES ENVIRONMENT "FONTCONFIG_FILE=${PROJECT_TEST_FONTS}"
                                               FIXTURES_REQUIRED test_fonts)
endfunction()

# Add every child directory of the current one that has a CMakeLists.txt.
macro(project_add_children)
  file(GLOB _children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_c ${_children})
    if(IS_DIRECTORY ${_c} AND EXISTS ${_c}/CMakeLists.txt)
      add_subdirectory(${_c})
    endif()
  endforeach()
endmacro()
