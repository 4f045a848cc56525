# mingw-w64 cross build for x86_64 Windows.
# LUMENO_THREAD_MODEL picks the compiler flavour: "win32" (default) for the
# program, whose runtime then uses only functions Windows XP has; "posix" for
# the Win32 test executables, since GoogleTest and std::thread need it (its
# thread library imports GetTickCount64, which XP lacks).
if(NOT DEFINED LUMENO_THREAD_MODEL)
  set(LUMENO_THREAD_MODEL win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LUMENO_THREAD_MODEL)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-${LUMENO_THREAD_MODEL})
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-${LUMENO_THREAD_MODEL})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
