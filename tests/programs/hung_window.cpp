// A window that stops answering: it shows itself, handles what is pending
// and then never pumps messages again, so the system soon reports it as hung.
//
//   hung_window.exe TITLE              shows TITLE, then hangs
//   hung_window.exe --responsive TITLE shows TITLE and keeps pumping
//
// The tests of "关闭无响应的程序" start it and expect the program to end it.
#include <windows.h>

#include <cstring>

static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

// The arguments after the program name. WinMain's own pointer cannot be used:
// the start-up code compares signed chars and skips GBK bytes as blanks.
static const char* Arguments() {
  const char* p = GetCommandLineA();
  if (*p == '"') {
    for (++p; *p && *p != '"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const char* command_line = Arguments();
  const char kResponsive[] = "--responsive ";
  bool responsive = std::strncmp(command_line, kResponsive, sizeof kResponsive - 1) == 0;
  const char* title = responsive ? command_line + sizeof kResponsive - 1 : command_line;
  if (!*title) title = "hung_window";

  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = "LumenoHungWindow";
  RegisterClassA(&window_class);
  HWND window = CreateWindowA("LumenoHungWindow", title, WS_OVERLAPPEDWINDOW, 20, 20, 240, 120, nullptr, nullptr,
                              instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  MSG message;
  if (!responsive) {
    // Answer for a moment, so that the window is fully set up on the
    // display, then never again.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    for (;;) Sleep(INFINITE);
  }
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
