# Cross build with mingw-w64: the program, its Win32 tests and the programs
# the end-to-end tests use. Windows XP is the oldest system targeted, so no
# newer declaration is visible to the sources.
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 STRICT)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 936")
add_compile_options(-Os -ffunction-sections -fdata-sections)
add_link_options(-static -s -Wl,--gc-sections)
# The PE header's time stamp is 0, not the time of the link: the same sources
# built in another folder or on another day then give the same bytes, and so
# the release's SHA-256 (the release.reproducible test). A stamp taken from
# the last commit would need git at configure time; 0 needs nothing.
add_link_options(-Wl,--no-insert-timestamp)
if(NOT LUMENO_THREAD_MODEL STREQUAL "posix")
  # The trees of the program that ships (and of the floors it is measured
  # against). Nothing in it throws or catches, so it carries no exception
  # machinery: library throw points end the program (lean_runtime_win32.cpp).
  # x64 keeps its unwind tables, which Windows itself reads; i686 has no use
  # for DWARF tables without exceptions.
  add_compile_options(-Oz -fno-exceptions -fno-rtti)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Windows keeps an i686 stack 4-byte aligned, and nothing here needs more.
    add_compile_options(-fno-asynchronous-unwind-tables -fomit-frame-pointer -mpreferred-stack-boundary=2)
  endif()
  # Layout tables without the control names only the tests use (ui/window_layout.h).
  add_compile_definitions(LUMENO_COMPACT_LAYOUTS)
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
  # One link-time partition: GCC 12 split into several crashes on these
  # sources (an internal error in binds_to_current_def_p), and one whole
  # program is also what gives the smallest code.
  add_link_options(-flto-partition=one)
endif()
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1
                   -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
else()
  add_link_options(-Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,2
                   -Wl,--major-os-version,5 -Wl,--minor-os-version,2)
endif()

set(SYSTEM_LIBRARIES comctl32 comdlg32 shlwapi shell32 ole32 wininet winmm advapi32 gdi32 user32 kernel32)

if(NOT LUMENO_THREAD_MODEL STREQUAL "posix")
  # Showing the main window needs none of the first five; the program loads
  # each on the first call into it (src/app/delay_load_win32.cpp), which
  # spares start-up their loading and their share of the working set.
  # comctl32 loads uxtheme.dll by bare name as it starts, which looks in the
  # program's folder first: delay-loaded, it starts only after the program
  # has loaded uxtheme from the system folder (winmain_win32.cpp). GNU ld has
  # no /DELAYLOAD: dlltool makes a delay-import library from every function
  # the system's import library names.
  set(LUMENO_DELAY_LOADED shlwapi shell32 ole32 wininet winmm comctl32)
  set(delay_dir ${CMAKE_BINARY_DIR}/delay-import)
  file(MAKE_DIRECTORY ${delay_dir})
  foreach(dll ${LUMENO_DELAY_LOADED})
    find_library(LUMENO_IMPORT_LIBRARY_${dll} NAMES ${dll} REQUIRED)
    set(delay_library ${delay_dir}/lib${dll}_delay.a)
    if(NOT EXISTS ${delay_library} OR ${LUMENO_IMPORT_LIBRARY_${dll}} IS_NEWER_THAN ${delay_library})
      execute_process(COMMAND ${CMAKE_NM} -g ${LUMENO_IMPORT_LIBRARY_${dll}} OUTPUT_VARIABLE symbols
                      COMMAND_ERROR_IS_FATAL ANY)
      # i686 names carry the cdecl underscore and the stdcall @n, which -k
      # keeps out of the imported name.
      string(REGEX MATCHALL "I __imp_[^\n]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE "^I __imp_" "")
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        list(TRANSFORM imports REPLACE "^_" "")
      endif()
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n" exports)
      file(WRITE ${delay_dir}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} -k --def ${delay_dir}/${dll}.def --dllname ${dll}.dll
                              --output-delaylib ${delay_library}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    list(TRANSFORM SYSTEM_LIBRARIES REPLACE "^${dll}$" ${delay_library})
  endforeach()
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
endif()

# The program's own runtime and entry point (lean_runtime_win32.cpp) for a
# target of the program's trees.
function(lumeno_lean_runtime target)
  if(LUMENO_THREAD_MODEL STREQUAL "posix")
    return()
  endif()
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/app/lean_runtime_win32.cpp)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${target} PRIVATE -nostartfiles -Wl,-e,_LumenoEntry)
  else()
    target_link_options(${target} PRIVATE -nostartfiles -Wl,-e,LumenoEntry)
  endif()
  # No start-up code applies pseudo-relocations: a data import that would
  # need one must fail the link instead.
  target_link_options(${target} PRIVATE -Wl,--disable-auto-import)
  # ld 2.40 crashes (signal 11) linking without the toolchain's start-up
  # files unless one of a few of its runtime objects is in the link (found by
  # trial: the list of thread-local destructors, which nothing here calls, is
  # the smallest of them).
  set(underscore $<IF:$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>,_,>)
  target_link_options(${target} PRIVATE -Wl,-u,${underscore}__mingw_TLScallback)
endfunction()

add_library(lumeno_core STATIC ${CORE_SOURCES})
target_include_directories(lumeno_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(lumeno_core PUBLIC ${SYSTEM_LIBRARIES})

file(GLOB RESOURCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.rc)
# windres does not report the files a script pulls in: name them, so that a
# new icon or manifest rebuilds the resources.
file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.ico ${CMAKE_SOURCE_DIR}/src/app/*.manifest)
set_source_files_properties(${RESOURCE_SOURCES} PROPERTIES OBJECT_DEPENDS "${RESOURCE_INPUTS}")
# The program's runtime, the delay-load helper, and the delay-import
# directory entry GNU ld leaves empty, filled in from the link map.
function(lumeno_shipped_program target)
  lumeno_lean_runtime(${target})
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/app/delay_load_win32.cpp)
  set(underscore $<IF:$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>,_,>)
  set(map $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.map)
  target_link_options(${target} PRIVATE -Wl,-u,${underscore}LumenoDelayImportEnd -Wl,-Map,${map})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/delay_import_directory.py
                             $<TARGET_FILE:${target}> ${map}
                     VERBATIM)
endfunction()

add_executable(lumeno WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp ${RESOURCE_SOURCES})
target_link_libraries(lumeno PRIVATE lumeno_core)
if(LUMENO_THREAD_MODEL STREQUAL "posix")
  # A test tree: the program that ships comes from the win32 thread model tree.
  set_target_properties(lumeno PROPERTIES EXCLUDE_FROM_ALL ON)
else()
  lumeno_shipped_program(lumeno)
endif()

# scripts/bench only: the program with the restore files left out at link
# time, the comparison that shows what they cost.
add_executable(lumeno_without_backup WIN32 EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/src/app/winmain_win32.cpp
               ${RESOURCE_SOURCES} ${CMAKE_SOURCE_DIR}/tests/bench/without_backup.cpp)
target_link_libraries(lumeno_without_backup PRIVATE lumeno_core)
if(NOT LUMENO_THREAD_MODEL STREQUAL "posix")
  lumeno_shipped_program(lumeno_without_backup)
endif()

# The helper programs and, with the posix thread model, the Win32 and
# end-to-end test executables; LUMENO_PROGRAM_ONLY builds the program alone.
if(NOT LUMENO_PROGRAM_ONLY)
  include(${CMAKE_SOURCE_DIR}/cmake/windows_tests.cmake)
  # The stand-in that records whether it got a console window is a console
  # program itself.
  if(TARGET program_console_recorder)
    set_target_properties(program_console_recorder PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  # The floors scripts/bench measures the program against, built like it: a
  # minimal window program, the same with the program's resources, and the
  # program's main window made without its engine (main_window_floor.cpp).
  if(NOT LUMENO_THREAD_MODEL STREQUAL "posix")
    add_executable(program_minimal_window_icons WIN32 ${CMAKE_SOURCE_DIR}/tests/programs/minimal_window.cpp
                   ${RESOURCE_SOURCES})
    add_executable(program_main_window_floor WIN32 ${CMAKE_SOURCE_DIR}/tests/programs/main_window_floor.cpp
                   ${RESOURCE_SOURCES} ${CMAKE_SOURCE_DIR}/src/app/delay_load_win32.cpp)
    foreach(floor minimal_window minimal_window_icons main_window_floor)
      set_target_properties(program_${floor} PROPERTIES OUTPUT_NAME ${floor}
                            RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/programs)
      target_link_libraries(program_${floor} PRIVATE ${SYSTEM_LIBRARIES})
      lumeno_lean_runtime(program_${floor})
    endforeach()

    # tests/lean: programs that test the program's runtime, built like it.
    # The probe delay-imports a function shell32.dll does not export and one
    # of a library that does not exist.
    set(probe_imports shell32.dll LumenoProbeMissingExport lumeno_probe_missing.dll LumenoProbeMissingLibraryExport)
    set(probe_libraries)
    while(probe_imports)
      list(POP_FRONT probe_imports dll function)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        string(APPEND function "@0")
      endif()
      get_filename_component(name ${dll} NAME_WE)
      set(probe_library ${delay_dir}/libprobe_${name}_delay.a)
      file(WRITE ${delay_dir}/probe_${name}.def "LIBRARY ${dll}\nEXPORTS\n${function}\n")
      execute_process(COMMAND ${CMAKE_DLLTOOL} -k --def ${delay_dir}/probe_${name}.def --dllname ${dll}
                              --output-delaylib ${probe_library}
                      COMMAND_ERROR_IS_FATAL ANY)
      list(APPEND probe_libraries ${probe_library})
    endwhile()
    add_executable(program_lean_runtime_probe WIN32 ${CMAKE_SOURCE_DIR}/tests/lean/lean_runtime_probe.cpp
                   ${CMAKE_SOURCE_DIR}/src/app/delay_load_win32.cpp)
    set_target_properties(program_lean_runtime_probe PROPERTIES OUTPUT_NAME lean_runtime_probe
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/programs)
    target_link_libraries(program_lean_runtime_probe PRIVATE ${probe_libraries} lumeno_core)
    lumeno_lean_runtime(program_lean_runtime_probe)
    # The scripts build these trees' programs through the minimal window's target.
    add_dependencies(program_minimal_window program_minimal_window_icons program_main_window_floor
                     program_lean_runtime_probe)
  endif()
  # The window floor reads the program's own layout table.
  if(TARGET program_main_window_floor)
    target_link_libraries(program_main_window_floor PRIVATE lumeno_core)
  endif()
endif()
