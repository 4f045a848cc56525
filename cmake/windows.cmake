# Cross build with mingw-w64: the program, its Win32 tests and the programs
# the end-to-end tests use. Windows XP is the oldest system targeted, so no
# newer declaration is visible to the sources.
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 STRICT)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 936")
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-static -s -Wl,--gc-sections)
if(NOT LUMENO_THREAD_MODEL STREQUAL "posix")
  # The trees of the program that ships (and of the floors it is measured
  # against). Nothing in it throws or catches, so it carries no exception
  # machinery: library throw points end the program (lean_runtime_win32.cpp).
  # x64 keeps its unwind tables, which Windows itself reads; i686 has no use
  # for DWARF tables without exceptions.
  add_compile_options(-fno-exceptions -fno-rtti)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_compile_options(-fno-asynchronous-unwind-tables)
  endif()
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
endif()
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
# windres does not report the files a script pulls in: name them, so that a
# new icon or manifest rebuilds the resources.
file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.ico ${CMAKE_SOURCE_DIR}/src/app/*.manifest)
set_source_files_properties(${RESOURCE_SOURCES} PROPERTIES OBJECT_DEPENDS "${RESOURCE_INPUTS}")
add_executable(lumeno WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp
               ${CMAKE_SOURCE_DIR}/src/app/lean_runtime_win32.cpp ${RESOURCE_SOURCES})
target_link_libraries(lumeno PRIVATE lumeno_core)
if(LUMENO_THREAD_MODEL STREQUAL "posix")
  # A test tree: the program that ships comes from the win32 thread model tree.
  set_target_properties(lumeno PROPERTIES EXCLUDE_FROM_ALL ON)
endif()

# The helper programs and, with the posix thread model, the Win32 and
# end-to-end test executables; LUMENO_PROGRAM_ONLY builds the program alone.
if(NOT LUMENO_PROGRAM_ONLY)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_tests.cmake)
endif()
