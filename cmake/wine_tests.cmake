# Registers the Windows-side tests with this tree's ctest, so one run reports
# every tier. LUMENO_WIN64_DIR is the x86_64 program tree (lumeno.exe),
# LUMENO_WIN64_TESTS_DIR the x86_64 test tree (test executables and helper
# programs, posix thread model; default: LUMENO_WIN64_DIR-tests).
#   wine.template    makes the sealed template prefix (once per build root)
#   wine.seal        proves the template cannot reach outside itself
#   win32.<name>     tests/win32/<name>_test.cpp under Wine
#   e2e.<name>       tests/e2e/<name>_test.cpp under Wine and Xvfb
# Each Wine test runs in its own throwaway copy of the template.
if(NOT LUMENO_WIN64_TESTS_DIR)
  set(LUMENO_WIN64_TESTS_DIR ${LUMENO_WIN64_DIR}-tests)
endif()
get_filename_component(LUMENO_BUILD_ROOT ${LUMENO_WIN64_DIR} DIRECTORY)
set(LUMENO_WINE_DIR ${LUMENO_BUILD_ROOT}/wine)
set(LUMENO_TEMPLATE ${LUMENO_WINE_DIR}/template)
set(LUMENO_RUNNER ${CMAKE_SOURCE_DIR}/tests/wine/run_wine_test.sh)

add_test(NAME wine.template COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/make_prefix.sh ${LUMENO_TEMPLATE})
set_tests_properties(wine.template PROPERTIES FIXTURES_SETUP wine_template TIMEOUT 300)

add_test(NAME wine.seal COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/seal_test.sh ${LUMENO_TEMPLATE}
                                ${LUMENO_WINE_DIR}/tests)
set_tests_properties(wine.seal PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 300)

foreach(kind win32 e2e)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*_test.cpp)
  foreach(source ${sources})
    get_filename_component(file_name ${source} NAME_WE)
    string(REGEX REPLACE "_test$" "" name ${file_name})
    add_test(NAME ${kind}.${name}
             COMMAND ${LUMENO_RUNNER} --kind ${kind} --template ${LUMENO_TEMPLATE}
                     --work ${LUMENO_WINE_DIR}/tests --win64 ${LUMENO_WIN64_DIR}
                     --programs ${LUMENO_WIN64_TESTS_DIR}/tests/programs
                     --screens ${LUMENO_BUILD_ROOT}/screenshots --sources ${CMAKE_SOURCE_DIR}/tests/${kind}
                     ${LUMENO_WIN64_TESTS_DIR}/tests/${kind}/${file_name}.exe)
    set_tests_properties(${kind}.${name} PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 330)
  endforeach()
endforeach()

# Imports and subsystem versions of both programs against what XP offers.
if(LUMENO_WIN32_DIR)
  add_test(NAME xp.compatibility COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/xp_compatibility.sh
                                         ${LUMENO_WIN64_DIR}/lumeno.exe ${LUMENO_WIN32_DIR}/lumeno.exe)
endif()

# The release zip, packed from the programs this run tested.
if(LUMENO_WIN32_DIR)
  add_test(NAME release.zip COMMAND ${CMAKE_SOURCE_DIR}/tests/release/dist_test.sh ${LUMENO_BUILD_ROOT})
endif()
