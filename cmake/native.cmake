# Native build: the portable logic, the recording fake and the unit tests,
# with AddressSanitizer and UndefinedBehaviorSanitizer.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

add_library(lumeno_logic STATIC ${PORTABLE_SOURCES})
target_include_directories(lumeno_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
# Unoptimised with line tables: a third of the compile time of an optimised
# build, and the sanitizers still see every fault and name its line.
target_compile_options(lumeno_logic PUBLIC ${SANITIZE} -O0 -g1)
target_link_options(lumeno_logic PUBLIC ${SANITIZE})

file(GLOB FAKE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fakes/*.cpp)
file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(lumeno_unit_tests ${UNIT_SOURCES} ${FAKE_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/expected_data.cpp)
target_include_directories(lumeno_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
# Expected data the tests compare with (tests/support/expected_data.h).
target_compile_definitions(lumeno_unit_tests PRIVATE LUMENO_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
# The fake defines the symbols the logic library leaves open, so the logic
# library goes in as a whole.
target_link_libraries(lumeno_unit_tests PRIVATE -Wl,--whole-archive lumeno_logic -Wl,--no-whole-archive
                      GTest::gtest GTest::gtest_main)
gtest_discover_tests(lumeno_unit_tests TEST_PREFIX "unit." DISCOVERY_TIMEOUT 60)

include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)

# Tests that run Windows programs under Wine are registered here too, so that
# one ctest run reports every tier. LUMENO_WIN64_DIR is the x86_64 build.
if(LUMENO_WIN64_DIR)
  include(${CMAKE_SOURCE_DIR}/cmake/wine_tests.cmake OPTIONAL)
endif()

# scripts/docs: the reference part of the docs, made by planning every preset
# key with the program's own commands on the recording fake's empty machine.
add_executable(lumeno_reference ${CMAKE_SOURCE_DIR}/scripts/docs.d/reference.cpp ${FAKE_SOURCES})
target_include_directories(lumeno_reference PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(lumeno_reference PRIVATE -Wl,--whole-archive lumeno_logic -Wl,--no-whole-archive)
# The generated parts of the docs are what scripts/docs would write now.
add_test(NAME docs.current COMMAND ${CMAKE_COMMAND} -E env LUMENO_REFERENCE=$<TARGET_FILE:lumeno_reference>
                                   ${CMAKE_SOURCE_DIR}/scripts/docs --check)
