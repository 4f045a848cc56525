# Cross build with mingw-w64: the program, its Win32 tests and the programs
# the end-to-end tests use. Windows XP is the oldest system targeted, so no
# newer declaration is visible to the sources.
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 STRICT)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 936")
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-static -s -Wl,--gc-sections)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1
                   -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
else()
  add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,2
                   -Wl,--major-os-version,5 -Wl,--minor-os-version,2)
endif()

set(SYSTEM_LIBRARIES comctl32 comdlg32 shlwapi shell32 ole32 wininet winmm advapi32 gdi32 user32 kernel32)

add_library(lumeno_core STATIC ${CORE_SOURCES})
target_include_directories(lumeno_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(lumeno_core PUBLIC ${SYSTEM_LIBRARIES})

file(GLOB RESOURCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.rc)
add_executable(lumeno WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp ${RESOURCE_SOURCES})
target_link_libraries(lumeno PRIVATE lumeno_core)
if(LUMENO_THREAD_MODEL STREQUAL "posix")
  # A test tree: the program that ships comes from the win32 thread model tree.
  set_target_properties(lumeno PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

# scripts/bench only: the program with the restore files left out at link
# time, the comparison that shows what they cost.
add_executable(lumeno_without_backup WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp
               ${RESOURCE_SOURCES} ${CMAKE_SOURCE_DIR}/tests/bench/without_backup.cpp)
target_link_libraries(lumeno_without_backup PRIVATE lumeno_core)

# The helper programs and, with the posix thread model, the Win32 and
# end-to-end test executables; LUMENO_PROGRAM_ONLY builds the program alone.
if(NOT LUMENO_PROGRAM_ONLY)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_tests.cmake)
endif()
