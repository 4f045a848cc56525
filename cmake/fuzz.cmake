# Fuzzing with libFuzzer (needs clang; skipped without it). Each target is a
# ctest entry fuzz.<target> that builds it, replays its stored regression
# inputs and fuzzes it for FUZZ_SECONDS (20 s by default).
find_program(LUMENO_FUZZ_CXX NAMES clang++-14 clang++)
if(LUMENO_FUZZ_CXX)
  foreach(target text relocation_target phonebook preset)
    add_test(NAME fuzz.${target} COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run.sh ${target})
    set_tests_properties(fuzz.${target} PROPERTIES
      ENVIRONMENT "FUZZ_CXX=${LUMENO_FUZZ_CXX};FUZZ_BUILD_DIR=${CMAKE_BINARY_DIR}/fuzz"
      LABELS fuzz TIMEOUT 600)
  endforeach()
endif()
