# Windows-side test executables, cross-built with the program's flags.
#   tests/programs/<name>.cpp   -> tests/programs/<name>.exe (GUI subsystem, main or WinMain;
#                                  a <name>_bench.cpp also links lumeno_core)
#   tests/programs/planted/planted_library.cpp -> tests/programs/planted/<system library>.dll
#   tests/win32/<name>_test.cpp -> tests/win32/<name>_test.exe (GoogleTest + lumeno_core)
#   tests/e2e/<name>_test.cpp   -> tests/e2e/<name>_test.exe (GoogleTest + the driver)
# The test executables need the posix thread model (LUMENO_THREAD_MODEL=posix,
# the trees build/win64-tests and build/win32-tests); the program's own trees (win32 thread model)
# build only minimal_window.exe, the floor scripts/bench compares the program with.
# The native tree registers the tests with ctest (cmake/wine_tests.cmake).
set(LUMENO_TEST_INCLUDES ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)

# Window look-ups, waits and the expected data (tests/data, copied to
# C:\lumeno-test\data by the test runner), shared by every Windows-side test
# program; plain Win32, so it builds for either architecture.
add_library(lumeno_test_support STATIC EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/tests/support/windows_support.cpp
                                                       ${CMAKE_SOURCE_DIR}/tests/support/expected_data.cpp)
target_include_directories(lumeno_test_support PUBLIC ${LUMENO_TEST_INCLUDES})
target_compile_definitions(lumeno_test_support PRIVATE LUMENO_TEST_DATA="C:/lumeno-test/data")
target_link_libraries(lumeno_test_support PUBLIC ${SYSTEM_LIBRARIES})

if(LUMENO_THREAD_MODEL STREQUAL "posix")
  file(GLOB PROGRAM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/programs/*.cpp)
else()
  set(PROGRAM_SOURCES ${CMAKE_SOURCE_DIR}/tests/programs/minimal_window.cpp)
endif()
add_custom_target(lumeno_test_programs)
foreach(source ${PROGRAM_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(program_${name} WIN32 ${source})
  set_target_properties(program_${name} PROPERTIES OUTPUT_NAME ${name}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/programs)
  target_include_directories(program_${name} PRIVATE ${LUMENO_TEST_INCLUDES})
  target_link_libraries(program_${name} PRIVATE ${SYSTEM_LIBRARIES} psapi)
  if(NOT name STREQUAL "minimal_window")
    target_link_libraries(program_${name} PRIVATE lumeno_test_support)
  endif()
  # A benchmark program times the program's own routines, so it links them.
  if(name MATCHES "_bench$")
    target_link_libraries(program_${name} PRIVATE lumeno_core)
  endif()
  add_dependencies(lumeno_test_programs program_${name})
endforeach()

# Libraries planted beside the program under the names of system libraries:
# tests/programs/planted/planted_library.cpp once per name, into
# tests/programs/planted (the runner hands them to the tests as
# C:\lumeno-test\planted, never beside a program).
if(LUMENO_THREAD_MODEL STREQUAL "posix")
  foreach(name psapi uxtheme winmm netapi32)
    add_library(planted_${name} SHARED ${CMAKE_SOURCE_DIR}/tests/programs/planted/planted_library.cpp)
    set_target_properties(planted_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/programs/planted
                          ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted-import)
    add_dependencies(lumeno_test_programs planted_${name})
  endforeach()
endif()

if(NOT LUMENO_THREAD_MODEL STREQUAL "posix" OR NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  return()
endif()

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources include <chrono>, whose C++20 "µs" has no GBK form.
target_compile_options(gtest PRIVATE -fexec-charset=UTF-8 -w)
target_compile_options(gtest_main PRIVATE -fexec-charset=UTF-8 -w)

add_library(lumeno_driver STATIC ${CMAKE_SOURCE_DIR}/tests/e2e/driver.cpp)
target_include_directories(lumeno_driver PUBLIC ${LUMENO_TEST_INCLUDES} ${CMAKE_SOURCE_DIR}/tests/e2e)
target_link_libraries(lumeno_driver PUBLIC lumeno_test_support ${SYSTEM_LIBRARIES})

# lumeno_test_<kind>_<name> -> tests/<kind>/<name>_test.exe
function(lumeno_add_wine_tests kind)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*_test.cpp)
  foreach(source ${sources})
    get_filename_component(file_name ${source} NAME_WE)
    set(target lumeno_test_${kind}_${file_name})
    add_executable(${target} ${source})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${file_name}
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${kind})
    target_include_directories(${target} PRIVATE ${LUMENO_TEST_INCLUDES})
    target_link_libraries(${target} PRIVATE ${ARGN} gtest gtest_main)
    add_dependencies(lumeno_wine_tests ${target})
  endforeach()
endfunction()

add_custom_target(lumeno_wine_tests ALL)
add_dependencies(lumeno_wine_tests lumeno_test_programs)
lumeno_add_wine_tests(win32 lumeno_test_support lumeno_core)
lumeno_add_wine_tests(e2e lumeno_driver lumeno_core)
