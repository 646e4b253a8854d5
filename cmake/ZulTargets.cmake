# Helpers shared by every module's CMakeLists.txt.

# Adds a folder, and every sub-folder that has a CMakeLists.txt of its own is
# added by that folder's CMakeLists (or here when the folder has none).
function(zul_add_subdirectories_of dir)
  if(EXISTS ${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
    return()
  endif()
  if(NOT IS_DIRECTORY ${dir})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true ${dir}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child})
      zul_add_subdirectories_of(${child})
    endif()
  endforeach()
endfunction()

# Portable code: no windows.h. Built in both configurations and linked into
# zul.exe in the cross build.
#   zul_portable_library(NAME zul_x SOURCES a.cpp ... [LIBS ...])
# LIBS names exactly the libraries whose code this one calls, no more and no
# fewer: the linker takes static libraries in the order these dependencies
# give, so a missing one is an undefined reference in whatever links it.
function(zul_portable_library)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} STATIC ${A_SOURCES})
  target_include_directories(${A_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  if(A_LIBS)
    target_link_libraries(${A_NAME} PUBLIC ${A_LIBS})
  endif()
endfunction()

# Win32 code: cross build only, linked into zul.exe.
#   zul_win32_library(NAME zul_x SOURCES ... [LIBS ...])
function(zul_win32_library)
  if(NOT ZUL_WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} STATIC ${A_SOURCES})
  target_include_directories(${A_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  if(A_LIBS)
    target_link_libraries(${A_NAME} PUBLIC ${A_LIBS})
  endif()
endfunction()

# Sources that must be compiled into zul.exe itself rather than a library
# (entry point, exported functions, resources).
function(zul_executable_sources)
  if(ZUL_WIN32)
    set_property(GLOBAL APPEND PROPERTY ZUL_EXE_SOURCES ${ARGN})
  endif()
endfunction()

# zul.exe from the sources above and the libraries its own sources call; the
# rest comes in through those libraries' LIBS.
#   zul_define_executable(LIBS zul_x ...)
function(zul_define_executable)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  get_property(sources GLOBAL PROPERTY ZUL_EXE_SOURCES)
  add_executable(zul WIN32 ${sources})
  target_link_options(zul PRIVATE -municode)
  target_include_directories(zul PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(zul PRIVATE ${A_LIBS})
endfunction()

# The headers every test file includes (GoogleTest, the standard library and,
# in the cross builds, windows.h) take most of a test file's compile time.
# They are compiled once per configuration into one precompiled header that
# every test executable reuses. GCC falls back to the plain headers when the
# precompiled one does not fit a target's flags, so this only ever saves time.
function(zul_define_test_pch)
  add_library(zul_test_pch OBJECT ${CMAKE_SOURCE_DIR}/cmake/test_pch.cpp)
  target_link_libraries(zul_test_pch PRIVATE GTest::gtest)
  set(headers <gtest/gtest.h> <algorithm> <atomic> <chrono> <cstdint> <cstdio> <cstring>
              <functional> <map> <memory> <string> <thread> <vector>)
  if(ZUL_WIN32)
    list(PREPEND headers <windows.h>)
  endif()
  target_precompile_headers(zul_test_pch PRIVATE ${headers})
endfunction()

function(zul_use_test_pch target)
  if(TARGET zul_test_pch)
    target_precompile_headers(${target} REUSE_FROM zul_test_pch)
  endif()
endfunction()

# One CTest test per executable (a Wine process costs a second or two).
#   zul_native_test(NAME t SOURCES ... [LIBS ...])   - native configuration
#   zul_wine_test(NAME t SOURCES ... [LIBS ...])     - cross build, run by Wine
function(zul_native_test)
  if(NOT ZUL_NATIVE OR ZUL_FUZZ OR ZUL_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_include_directories(${A_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} GTest::gtest_main)
  zul_use_test_pch(${A_NAME})
  add_test(NAME ${A_NAME} COMMAND ${A_NAME})
  set_tests_properties(${A_NAME} PROPERTIES ENVIRONMENT "ZUL_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZUL_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

function(zul_wine_test)
  if(NOT ZUL_WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME;TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_include_directories(${A_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} GTest::gtest_main)
  zul_use_test_pch(${A_NAME})
  if(A_DEPENDS)
    add_dependencies(${A_NAME} ${A_DEPENDS})
  endif()
  add_test(NAME ${A_NAME} COMMAND ${A_NAME})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 600)
  endif()
  set_tests_properties(${A_NAME} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "ZUL_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZUL_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# Fake plug-ins (DLLs that stand in for third-party ones; keep the in_, out_
# or gen_ prefix, which the host selects them by) and helper DLLs.
#   zul_test_dll(NAME in_fake SOURCES ... [LIBS ...])
function(zul_test_dll)
  if(NOT ZUL_WIN32)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} SHARED ${A_SOURCES})
  set_target_properties(${A_NAME} PROPERTIES PREFIX "")
  target_include_directories(${A_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  if(A_LIBS)
    target_link_libraries(${A_NAME} PRIVATE ${A_LIBS})
  endif()
endfunction()

# A native program of the project's own tree, put into <build>/<folder>.
function(zul_native_program name folder sources libs)
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${libs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${folder})
endfunction()

# libFuzzer targets (make fuzz; clang, ASan, UBSan).
#   zul_fuzz_target(NAME fuzz_x SOURCES ... LIBS ...)
function(zul_fuzz_target)
  if(NOT ZUL_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  zul_native_program(${A_NAME} fuzzers "${A_SOURCES}" "${A_LIBS}")
  target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()

# Benchmarks (make bench; native Release). Each program measures, prints its
# figures and exits non-zero when a target is missed.
#   zul_bench(NAME bench_x SOURCES ... LIBS ...)
function(zul_bench)
  if(NOT ZUL_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  zul_native_program(${A_NAME} benchmarks "${A_SOURCES}" "${A_LIBS}")
endfunction()

# A program a benchmark runs to compare against (a bare library decode, a
# reader using another library), kept out of benchmarks/ so that the bench
# runner does not take it for a benchmark. The benchmark finds it at
# benchmarks/../bench_helpers/<name>.
#   zul_bench_helper(NAME x SOURCES ... LIBS ...)
function(zul_bench_helper)
  if(NOT ZUL_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  zul_native_program(${A_NAME} bench_helpers "${A_SOURCES}" "${A_LIBS}")
endfunction()
