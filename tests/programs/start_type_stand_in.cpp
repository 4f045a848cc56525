// A stand-in for "sc config <service> start= <mode>" that does what Windows'
// sc does to the registry and Wine's does not: it sets the Start value of an
// installed service (auto 2, demand 3, disabled 4) and fails with 1060, as sc
// does, for a service that is not installed, creating nothing. Copied beside
// the program as sc.exe. Any other command line exits with 1.
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const char* line) {
  std::vector<std::string> words;
  std::string word;
  for (const char* p = line;; ++p) {
    if (*p == ' ' || *p == '\t' || *p == '\0') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*p == '\0') break;
    } else {
      word += *p;
    }
  }
  return words;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> words = Words(GetCommandLineA());
  if (words.size() != 5 || lstrcmpiA(words[1].c_str(), "config") != 0 || lstrcmpiA(words[3].c_str(), "start=") != 0)
    return 1;
  DWORD start = 0;
  if (lstrcmpiA(words[4].c_str(), "auto") == 0) start = 2;
  if (lstrcmpiA(words[4].c_str(), "demand") == 0) start = 3;
  if (lstrcmpiA(words[4].c_str(), "disabled") == 0) start = 4;
  if (start == 0) return 1;
  HKEY key = nullptr;
  const std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + words[2];
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return 1060;
  const LONG status =
      RegSetValueExA(key, "Start", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&start), sizeof start);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 0 : 1;
}
