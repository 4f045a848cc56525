// Start-up floor for scripts/bench: the main window as the program shows it,
// made with plain CreateWindowEx calls from the program's own layout table
// and nothing else. The frame with its menu and icons, the group box and the
// controls with their classes, styles, rectangles, captions and fonts are the
// program's; there is no window engine, no event handling, no timer and no
// trimming of the working set. Built in the program's trees with its flags,
// runtime and resources (manifest included), so that the difference to the
// program is what the program does beyond showing its window.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <tuple>

#include "app/layouts.h"
#include "ui/control_ids.h"

namespace {

using lumeno::ControlRow;
using lumeno::ControlType;

HFONT FontFor(const ControlRow& row) {
  if (row.font_height == lumeno::kGuiFont) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA font = {};
  font.lfHeight = row.font_height;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = GB2312_CHARSET;
  font.lfOutPrecision = OUT_STROKE_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH;
  lstrcpynA(font.lfFaceName, "宋体", LF_FACESIZE);
  static HFONT made[2];
  HFONT& cached = made[row.font_height == -14 ? 1 : 0];
  if (!cached) cached = CreateFontIndirectA(&font);
  return cached;
}

// Class, style and extended style as the program gives each control type.
const char* ClassFor(const ControlRow& row, DWORD* style, DWORD* ex_style) {
  *ex_style = 0;
  switch (row.type) {
    case ControlType::kButton: *style = BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP; return "BUTTON";
    case ControlType::kCheckBox: *style = BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP; return "BUTTON";
    case ControlType::kRadioBox: *style = BS_AUTORADIOBUTTON | BS_MULTILINE | WS_TABSTOP; return "BUTTON";
    case ControlType::kLabel: *style = SS_LEFT; return "STATIC";
    case ControlType::kTransLabel: *style = SS_LEFT; *ex_style = WS_EX_TRANSPARENT; return "STATIC";
    case ControlType::kEditBox: *style = ES_AUTOHSCROLL | WS_TABSTOP; *ex_style = WS_EX_CLIENTEDGE; return "EDIT";
    case ControlType::kGroupBox: *style = BS_GROUPBOX; *ex_style = WS_EX_CONTROLPARENT; return "BUTTON";
    case ControlType::kProcessBar: *style = 0; return PROGRESS_CLASSA;
    case ControlType::kTab: *style = 0; *ex_style = WS_EX_CONTROLPARENT; return WC_TABCONTROLA;
    case ControlType::kTimer: break;
  }
  return nullptr;
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(frame, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const lumeno::WindowLayout& layout = *lumeno::FindWindowLayout(lumeno::ProgramWindowLayouts(), lumeno::kMainWindow);
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
  WNDCLASSEXA frame_class = {};
  frame_class.cbSize = sizeof frame_class;
  frame_class.lpfnWndProc = FrameProc;
  frame_class.hInstance = instance;
  frame_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  frame_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frame_class.lpszClassName = "MainWindowFloor";
  RegisterClassExA(&frame_class);

  HMENU bar = CreateMenu(), drop_down = CreatePopupMenu();
  for (const lumeno::MenuRow& item : layout.menu_items) AppendMenuA(drop_down, MF_STRING, item.id, item.caption);
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(drop_down), layout.menu_caption);
  HWND frame = CreateWindowExA(WS_EX_CONTROLPARENT, "MainWindowFloor", layout.title,
                               WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                               (GetSystemMetrics(SM_CXSCREEN) - layout.outer_width) / 2,
                               (GetSystemMetrics(SM_CYSCREEN) - layout.outer_height) / 2, layout.outer_width,
                               layout.outer_height, nullptr, bar, instance, nullptr);
  SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  for (auto [size, metric_x, metric_y] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON},
                                          std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}})
    SendMessageA(frame, WM_SETICON, size,
                 reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(layout.icon_resource), IMAGE_ICON,
                                                     GetSystemMetrics(metric_x), GetSystemMetrics(metric_y), 0)));

  // The rows come parents first; a control reaching past its group box ends
  // at the box's frame line, as in the program.
  HWND made[64] = {};
  for (size_t i = 0; i < layout.controls.size() && i < 64; ++i) {
    const ControlRow& row = layout.controls[i];
    DWORD style = 0, ex_style = 0;
    const char* class_name = ClassFor(row, &style, &ex_style);
    if (!class_name) continue;
    HWND parent = frame;
    int width = row.width, height = row.height;
    style |= WS_GROUP;  // dropped below when an earlier control shares parent and page
    for (size_t j = 0; j < i; ++j) {
      const ControlRow& earlier = layout.controls[j];
      if (earlier.type != ControlType::kTimer && earlier.parent == row.parent && earlier.page == row.page)
        style &= ~static_cast<DWORD>(WS_GROUP);
      if (earlier.id == row.parent) {
        parent = made[j];
        if (layout.controls[j].type == ControlType::kGroupBox) {
          width = std::max(0, std::min(width, layout.controls[j].width - 2 - row.left));
          height = std::max(0, std::min(height, layout.controls[j].height - 2 - row.top));
        }
      }
    }
    made[i] = CreateWindowExA(ex_style, class_name, row.caption, WS_CHILD | WS_VISIBLE | style, row.left, row.top,
                              width, height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(row.id)), instance,
                              nullptr);
    SendMessageA(made[i], WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row)), FALSE);
    if (row.checked) SendMessageA(made[i], BM_SETCHECK, BST_CHECKED, 0);
  }
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
