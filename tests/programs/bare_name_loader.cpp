// Loads each library named on its command line by that bare name, so the
// system's search order picks the copy: the planted-library test's proof
// that a copy beside a program is taken when a program asks so. Exit code:
// how many could not be loaded.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int failed = 0;
  for (int i = 1; i < __argc; ++i)
    if (!LoadLibraryA(__argv[i])) ++failed;
  return failed;
}
