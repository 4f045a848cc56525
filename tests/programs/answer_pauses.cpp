// answer_pauses.exe <process id | executable name> <screen file>
//
// Answers the "pause" prompts of a console script that runs without anyone at
// its console. It attaches to the console of that process (given by id, or by
// executable name: the newest such process, waited for up to 30 s) and,
// whenever the console's input buffer is empty, writes one Enter key press,
// until the process has ended. Then it saves the console's screen text to
// <screen file> (GBK, one line per row, trailing blanks cut, CR LF), so a test
// can see how far the script got. Exit code: 0 when the process ended; 251
// when the process was not found, 252 when its console could not be attached
// or opened, 253 when it still ran after 120 s, 255 on bad arguments.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <string>

namespace {

DWORD FindProcess(const char* name) {
  for (int attempt = 0; attempt < 600; ++attempt, Sleep(50)) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) continue;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
      if (lstrcmpiA(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    if (found) return found;
  }
  return 0;
}

bool WriteEnter(HANDLE input) {
  INPUT_RECORD records[2] = {};
  for (int i = 0; i < 2; ++i) {
    records[i].EventType = KEY_EVENT;
    KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
    key.bKeyDown = i == 0;
    key.wRepeatCount = 1;
    key.wVirtualKeyCode = VK_RETURN;
    key.wVirtualScanCode = static_cast<WORD>(MapVirtualKeyA(VK_RETURN, 0));
    key.uChar.AsciiChar = '\r';
  }
  DWORD written = 0;
  return WriteConsoleInputA(input, records, 2, &written) && written == 2;
}

std::string ScreenText() {
  HANDLE output = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return {};
  CONSOLE_SCREEN_BUFFER_INFO info{};
  std::string text;
  if (GetConsoleScreenBufferInfo(output, &info)) {
    std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
      DWORD got = 0;
      ReadConsoleOutputCharacterW(output, &row[0], info.dwSize.X, COORD{0, y}, &got);
      std::wstring line = row.substr(0, got);
      line.erase(line.find_last_not_of(L' ') + 1);
      char bytes[1024];
      int length = WideCharToMultiByte(936, 0, line.data(), static_cast<int>(line.size()), bytes, sizeof bytes,
                                       nullptr, nullptr);
      text.append(bytes, length > 0 ? length : 0);
      text += "\r\n";
    }
  }
  CloseHandle(output);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 255;
  char* end = nullptr;
  DWORD process_id = static_cast<DWORD>(std::strtoul(argv[1], &end, 10));
  if (*end != '\0') process_id = FindProcess(argv[1]);
  HANDLE process = process_id ? OpenProcess(SYNCHRONIZE, FALSE, process_id) : nullptr;
  if (!process) return 251;

  FreeConsole();
  bool attached = false;
  for (int i = 0; i < 200 && !attached; ++i) {
    attached = AttachConsole(process_id);
    if (!attached) Sleep(25);
  }
  if (!attached) return 252;
  HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return 254;

  DWORD start = GetTickCount();
  while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
    if (GetTickCount() - start > 120000) return 253;
    DWORD pending = 0;
    if (GetNumberOfConsoleInputEvents(input, &pending) && pending == 0) WriteEnter(input);
  }
  std::string screen = ScreenText();
  HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, screen.data(), static_cast<DWORD>(screen.size()), &written, nullptr);
    CloseHandle(file);
  }
  return 0;
}
