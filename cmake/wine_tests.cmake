# Registers the Windows-side tests with this tree's ctest, so one run reports
# every tier. Each Wine test runs once per architecture, each program driven
# by test tools of its own architecture:
#   LUMENO_WIN64_DIR, LUMENO_WIN64_TESTS_DIR   the x86_64 program tree (lumeno.exe) and test tree
#                                              (test executables and helper programs, posix thread
#                                              model; default: LUMENO_WIN64_DIR-tests)
#   LUMENO_WIN32_DIR, LUMENO_WIN32_TESTS_DIR   the same for i686 (optional)
#   wine.template      makes the sealed template prefix (once per build root; a WoW64 prefix
#                      that runs both)
#   wine.seal          proves the template cannot reach outside itself
#   setup.packages     the missing-package step of scripts/lib.sh, against stand-ins for apt
#   win32.<name>       tests/win32/<name>_test.cpp under Wine, x86_64
#   e2e.<name>         tests/e2e/<name>_test.cpp under Wine and Xvfb, x86_64
#   win32.<name>.x86, e2e.<name>.x86   the same for i686
#   release.zip, release.reproducible  the release zip, and the same bytes from a build elsewhere
# Each Wine test runs in its own throwaway copy of the template.
if(NOT LUMENO_WIN64_TESTS_DIR)
  set(LUMENO_WIN64_TESTS_DIR ${LUMENO_WIN64_DIR}-tests)
endif()
if(LUMENO_WIN32_DIR AND NOT LUMENO_WIN32_TESTS_DIR)
  set(LUMENO_WIN32_TESTS_DIR ${LUMENO_WIN32_DIR}-tests)
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

add_test(NAME setup.packages COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/environment_test.sh)

# lumeno_add_wine_arch(SUFFIX PROGRAM_TREE TEST_TREE SCREENS): every Win32 and
# end-to-end test, against the lumeno.exe of PROGRAM_TREE; screenshots go to SCREENS.
function(lumeno_add_wine_arch suffix program_tree test_tree screens)
  foreach(kind win32 e2e)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*_test.cpp)
    foreach(source ${sources})
      get_filename_component(file_name ${source} NAME_WE)
      string(REGEX REPLACE "_test$" "" name ${file_name})
      add_test(NAME ${kind}.${name}${suffix}
               COMMAND ${LUMENO_RUNNER} --kind ${kind} --template ${LUMENO_TEMPLATE}
                       --work ${LUMENO_WINE_DIR}/tests --program-tree ${program_tree}
                       --programs ${test_tree}/tests/programs
                       --screens ${screens} --sources ${CMAKE_SOURCE_DIR}/tests/${kind}
                       ${test_tree}/tests/${kind}/${file_name}.exe)
      set_tests_properties(${kind}.${name}${suffix} PROPERTIES FIXTURES_REQUIRED wine_template TIMEOUT 330
                                                                SKIP_RETURN_CODE 77)
    endforeach()
  endforeach()
endfunction()

lumeno_add_wine_arch("" ${LUMENO_WIN64_DIR} ${LUMENO_WIN64_TESTS_DIR} ${LUMENO_BUILD_ROOT}/screenshots)
if(LUMENO_WIN32_DIR)
  lumeno_add_wine_arch(".x86" ${LUMENO_WIN32_DIR} ${LUMENO_WIN32_TESTS_DIR} ${LUMENO_BUILD_ROOT}/screenshots/x86)
endif()

# Imports and subsystem versions of both programs against what XP offers,
# delay-loaded ones included; showing the main window loads none of the first
# five, and comctl32 only once uxtheme is in memory.
if(LUMENO_WIN32_DIR)
  add_test(NAME xp.compatibility COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/xp_compatibility.sh
                                         --delay-loaded shlwapi,shell32,ole32,wininet,winmm,comctl32
                                         ${LUMENO_WIN64_DIR}/lumeno.exe ${LUMENO_WIN32_DIR}/lumeno.exe)
endif()

# The release zip, packed from the programs this run tested.
if(LUMENO_WIN32_DIR)
  add_test(NAME release.zip COMMAND ${CMAKE_SOURCE_DIR}/tests/release/dist_test.sh ${LUMENO_BUILD_ROOT})
  # Anyone gets the same bytes: both programs built again from a copy of the
  # sources in another folder, and the zip packed from them, equal the above.
  add_test(NAME release.reproducible COMMAND ${CMAKE_SOURCE_DIR}/tests/release/dist_test.sh --rebuild
                                             ${LUMENO_BUILD_ROOT})
  set_tests_properties(release.reproducible PROPERTIES TIMEOUT 1500)
endif()
