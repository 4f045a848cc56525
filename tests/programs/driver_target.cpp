// A small window with one control of each kind Lumeno uses, for the driver's
// own end-to-end test (tests/e2e/driver_test.cpp).
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "programs/driver_target.h"

using namespace driver_target;

namespace {

int counter = 0;
int exit_code = 0;
HWND edit_box = nullptr;

HWND AddControl(HWND parent, const char* window_class, const char* text, DWORD style, int x, int y, int width,
                int height, uint32_t id) {
  HWND control = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return control;
}

void ShowResult(int result) { SetWindowTextA(edit_box, ("result=" + std::to_string(result)).c_str()); }

void OnCreate(HWND window) {
  AddControl(window, "BUTTON", "增加", BS_PUSHBUTTON, 10, 10, 80, 26, kCounterButton);
  AddControl(window, "STATIC", "0", 0, 100, 14, 60, 20, kCounterLabel);
  HWND group = AddControl(window, "BUTTON", "分组", BS_GROUPBOX, 10, 44, 200, 60, kGroupBox);
  AddControl(group, "BUTTON", "反选", BS_AUTOCHECKBOX, 10, 22, 120, 24, kCheckBox);
  edit_box = AddControl(window, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL, 10, 112, 200, 24, kEdit);
  HWND progress = AddControl(window, PROGRESS_CLASSA, "", 0, 10, 144, 200, 18, kProgressBar);
  SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendMessageA(progress, PBM_SETPOS, 42, 0);
  AddControl(window, "BUTTON", "禁用", BS_PUSHBUTTON | WS_DISABLED, 220, 10, 80, 26, kDisabledButton);
  HWND tab = AddControl(window, WC_TABCONTROLA, "", 0, 220, 44, 200, 120, kTabControl);
  const char* pages[] = {"第一页", "第二页"};
  for (int i = 0; i < 2; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(pages[i]);
    SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  AddControl(tab, "STATIC", "page 0", 0, 10, 40, 120, 20, kPageLabel);
  AddControl(window, "BUTTON", "信息", BS_PUSHBUTTON, 10, 170, 80, 26, kInfoBoxButton);
  AddControl(window, "BUTTON", "关于", BS_PUSHBUTTON, 100, 170, 80, 26, kPlainBoxButton);
}

void OnCommand(HWND window, uint32_t id) {
  switch (id) {
    case kCounterButton:
      SetDlgItemTextA(window, kCounterLabel, std::to_string(++counter).c_str());
      break;
    case kInfoBoxButton:
      ShowResult(MessageBoxA(window, "操作已完成。", "完成", MB_ICONINFORMATION));
      break;
    case kPlainBoxButton:
      ShowResult(MessageBoxA(window, "关于", "信息：", MB_OK));
      break;
  }
}

void OnNotify(HWND window, const NMHDR* header) {
  if (header->idFrom != kTabControl || header->code != static_cast<UINT>(TCN_SELCHANGE)) return;
  int page = static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0));
  HWND label = GetDlgItem(header->hwndFrom, kPageLabel);
  SetWindowTextA(label, ("page " + std::to_string(page)).c_str());
  (void)window;
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_COMMAND:
      // The low word of wparam holds only 16 bits of the id; the control knows all 32.
      OnCommand(window, lparam ? static_cast<uint32_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)))
                               : LOWORD(wparam));
      return 0;
    case WM_NOTIFY:
      OnNotify(window, reinterpret_cast<const NMHDR*>(lparam));
      return 0;
    case WM_KEYDOWN:
      if (wparam == VK_ESCAPE) {
        exit_code = kExitCodeOnEscape;
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(exit_code);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = "DriverTarget";
  RegisterClassA(&window_class);
  HWND window = CreateWindowA("DriverTarget", kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 460, 250,
                              nullptr, nullptr, instance, nullptr);
  ShowWindow(window, show);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
