// The window engine: real windows and controls from the layout tables, event
// delivery to the bound handlers, control properties, timers, tab pages and
// the message loop.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "platform/declared_functions.h"
#include "platform/native_window.h"
#include "platform/text.h"
#include "ui/window_engine.h"
#include "ui/window_layout.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

const char kFrameClass[] = "LumenoWindow";
const char kOriginalProcProperty[] = "LumenoOriginalProc";

// Property requests travel to the window thread as this message, so that
// worker threads never touch a control directly.
constexpr UINT kPropertyRequest = WM_APP + 1;

constexpr COLORREF kBlueText = RGB(0, 0, 255);
constexpr int kMaxWindows = 8;

struct PropertyRequest {
  ControlId control;
  int index;
  const PropertyValue* write;  // nullptr for a read
  PropertyValue result;
};

// One built window. Lives from LoadWindow until WM_NCDESTROY and is only
// touched on the window thread.
struct OpenWindow {
  const WindowLayout* layout = nullptr;
  HWND frame = nullptr;
  // Parallel to layout->controls: the control's window (nullptr for a
  // timer) and a timer's running interval.
  struct Slot {
    HWND hwnd;
    int interval;
  };
  std::unique_ptr<Slot[]> controls;
  HWND tab = nullptr;
  HWND tooltip = nullptr;
  const TooltipSource* tooltips = nullptr;
  Text tooltip_text;  // the text on show: the tooltip keeps only a pointer to it
  std::vector<DisabledWindow> disabled_while_open;  // modal mode
  HWND active_before = nullptr;
  HWND last_focus = nullptr;
};

LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp);

std::atomic<HWND> g_frames[kMaxWindows];
HWND g_start_frame = nullptr;
ATOM g_frame_class = 0;

int LayoutIndex(WindowId window) {
  std::span<const WindowLayout> layouts = AllWindowLayouts();
  for (size_t i = 0; i < layouts.size() && i < kMaxWindows; ++i)
    if (layouts[i].id == window) return static_cast<int>(i);
  return -1;
}

HWND OpenFrame(WindowId window) {
  int index = LayoutIndex(window);
  return index < 0 ? nullptr : g_frames[index].load();
}

OpenWindow* WindowOfFrame(HWND frame) {
  return reinterpret_cast<OpenWindow*>(GetWindowLongPtrA(frame, GWLP_USERDATA));
}

bool IsEngineFrame(HWND hwnd) {
  return hwnd && static_cast<ATOM>(GetClassLongPtrA(hwnd, GCW_ATOM)) == g_frame_class;
}

int ControlIndex(const OpenWindow& w, HWND control) {
  if (!control) return -1;
  for (size_t i = 0; i < w.layout->controls.size(); ++i)
    if (w.controls[i].hwnd == control) return static_cast<int>(i);
  return -1;
}

int ControlIndex(const OpenWindow& w, ControlId id) {
  for (size_t i = 0; i < w.layout->controls.size(); ++i)
    if (w.layout->controls[i].id == id) return static_cast<int>(i);
  return -1;
}

// ---------------------------------------------------------------------------
// Fonts

HFONT SongTiFont(int height) {
  // Two heights are used; each font is made once and kept for the process.
  static HFONT fonts[2];
  HFONT& font = fonts[height == -14 ? 1 : 0];
  if (!font) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = 400;
    lf.lfCharSet = 134;  // GB2312_CHARSET
    lf.lfOutPrecision = 3;
    lf.lfClipPrecision = 2;
    lf.lfQuality = 1;
    lf.lfPitchAndFamily = 2;
    lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
    font = CreateFontIndirectA(&lf);
  }
  return font;
}

HFONT FontFor(const ControlRow& row) {
  HFONT font = row.font_height == kGuiFont ? nullptr : SongTiFont(row.font_height);
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// ---------------------------------------------------------------------------
// Subclassing: group boxes and the tab control are real parents, so their
// children's notifications arrive there and are passed on to the frame.

void Subclass(HWND hwnd, WNDPROC proc) {
  LONG_PTR original = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  SetPropA(hwnd, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
}

LRESULT CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOriginalProcProperty));
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kOriginalProcProperty);
  return original ? CallWindowProcA(original, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

void ShowPage(OpenWindow& w, int page);

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    case TCM_SETCURSEL: {
      // A page chosen by program sends no TCN_SELCHANGE; show it all the same.
      LRESULT result = CallOriginal(hwnd, msg, wp, lp);
      if (OpenWindow* w = WindowOfFrame(GetAncestor(hwnd, GA_ROOT)))
        if (w->tab == hwnd) ShowPage(*w, static_cast<int>(SendMessageA(hwnd, TCM_GETCURSEL, 0, 0)));
      return result;
    }
  }
  return CallOriginal(hwnd, msg, wp, lp);
}

// A label bound to the button press reacts on WM_LBUTTONDOWN, not on release.
LRESULT CALLBACK MouseDownProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = CallOriginal(hwnd, msg, wp, lp);
  if (msg == WM_LBUTTONDOWN)
    if (OpenWindow* w = WindowOfFrame(GetAncestor(hwnd, GA_ROOT))) {
      int i = ControlIndex(*w, hwnd);
      if (i >= 0) RunEventHandler(w->layout->id, w->layout->controls[i].id, Event::kMouseDown);
    }
  return result;
}

// ---------------------------------------------------------------------------
// Building

struct ControlClass {
  const char* class_name;
  DWORD style;
  DWORD ex_style;
};

// By ControlType; a timer has no window.
constexpr ControlClass kControlClasses[] = {
    {"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, 0},
    {"BUTTON", BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP, 0},
    {"BUTTON", BS_AUTORADIOBUTTON | BS_MULTILINE | WS_TABSTOP, 0},
    {"STATIC", SS_LEFT, 0},
    {"STATIC", SS_LEFT, WS_EX_TRANSPARENT},
    {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    {"BUTTON", BS_GROUPBOX, WS_EX_CONTROLPARENT},
    {PROGRESS_CLASSA, 0, 0},
    {WC_TABCONTROLA, 0, WS_EX_CONTROLPARENT},
    {nullptr, 0, 0},
};
static_assert(std::size(kControlClasses) == static_cast<size_t>(ControlType::kTimer) + 1);

// Each page and each parent starts a new group, so that automatic radio
// buttons on different pages never clear each other.
bool StartsGroup(std::span<const ControlRow> rows, size_t i) {
  for (size_t j = 0; j < i; ++j)
    if (rows[j].type != ControlType::kTimer && rows[j].parent == rows[i].parent && rows[j].page == rows[i].page)
      return false;
  return true;
}

HWND ParentHandle(const OpenWindow& w, ControlId parent) {
  if (parent == kOnWindow) return w.frame;
  int i = ControlIndex(w, parent);
  return i < 0 ? nullptr : w.controls[i].hwnd;
}

// Some rows reach past the right edge of their group box (a 180-pixel check
// box at 203 in a 376-pixel box); they end at the frame line instead of
// painting their background over it.
SIZE SizeInside(const OpenWindow& w, const ControlRow& row) {
  SIZE size = {row.width, row.height};
  const ControlRow* parent = FindControlRow(*w.layout, row.parent);
  if (parent && parent->type == ControlType::kGroupBox) {
    constexpr int kFrame = 2;
    size.cx = std::max(0, std::min<int>(size.cx, parent->width - kFrame - row.left));
    size.cy = std::max(0, std::min<int>(size.cy, parent->height - kFrame - row.top));
  }
  return size;
}

bool BuildControl(OpenWindow& w, size_t i) {
  const ControlRow& row = w.layout->controls[i];
  if (row.type == ControlType::kTimer) {
    w.controls[i].interval = row.interval;
    if (row.interval > 0) SetTimer(w.frame, row.id, row.interval, nullptr);
    return true;
  }
  const ControlClass& cls = kControlClasses[static_cast<size_t>(row.type)];
  DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
  if (StartsGroup(w.layout->controls, i)) style |= WS_GROUP;
  bool mouse_down = FindEventBinding(w.layout->id, row.id, Event::kMouseDown) != nullptr;
  if (mouse_down && row.type == ControlType::kLabel) style |= SS_NOTIFY;
  HWND parent = ParentHandle(w, row.parent);
  if (!parent) return false;
  SIZE size = SizeInside(w, row);
  HWND hwnd = CreateWindowExA(cls.ex_style, cls.class_name, row.caption, style, row.left, row.top, size.cx,
                              size.cy, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(row.id)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return false;
  w.controls[i].hwnd = hwnd;
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(row)), FALSE);
  switch (row.type) {
    case ControlType::kCheckBox:
    case ControlType::kRadioBox:
      // Unchecking a radio button also takes away its tab stop, so only a
      // checked one is told so.
      if (row.checked) SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case ControlType::kProcessBar:
      SendMessageA(hwnd, PBM_SETRANGE32, 0, 100);
      SendMessageA(hwnd, PBM_SETPOS, 0, 0);
      break;
    case ControlType::kTab:
      w.tab = hwnd;
      for (size_t page = 0; page < w.layout->tab_pages.size(); ++page) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(w.layout->tab_pages[page]);
        SendMessageA(hwnd, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
      }
      Subclass(hwnd, ContainerProc);
      break;
    case ControlType::kGroupBox:
      Subclass(hwnd, ContainerProc);
      break;
    default:
      break;
  }
  if (mouse_down) Subclass(hwnd, MouseDownProc);
  return true;
}

HMENU BuildMenu(const WindowLayout& layout) {
  if (!layout.menu_caption) return nullptr;
  HMENU bar = CreateMenu();
  HMENU drop_down = CreatePopupMenu();
  for (const MenuRow& item : layout.menu_items) AppendMenuA(drop_down, MF_STRING, item.id, item.caption);
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(drop_down), layout.menu_caption);
  return bar;
}

void SetWindowIcons(HWND frame, int resource) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto load = [&](int metric_x, int metric_y) {
    return reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                               GetSystemMetrics(metric_x), GetSystemMetrics(metric_y), 0));
  };
  SendMessageA(frame, WM_SETICON, ICON_BIG, load(SM_CXICON, SM_CYICON));
  SendMessageA(frame, WM_SETICON, ICON_SMALL, load(SM_CXSMICON, SM_CYSMICON));
}

void ShowPage(OpenWindow& w, int page) {
  std::span<const ControlRow> rows = w.layout->controls;
  for (size_t i = 0; i < rows.size(); ++i)
    if (w.controls[i].hwnd && rows[i].page != kNoPage && rows[i].page != page) ShowWindow(w.controls[i].hwnd, SW_HIDE);
  for (size_t i = 0; i < rows.size(); ++i)
    if (w.controls[i].hwnd && rows[i].page == page) ShowWindow(w.controls[i].hwnd, SW_SHOWNA);
  // Keys must not keep going to a control that just disappeared.
  HWND focus = GetFocus();
  if (focus && w.tab && IsChild(w.tab, focus) && !IsWindowVisible(focus)) SetFocus(w.tab);
}

// Modal mode: every other parentless top-level window of this thread is
// disabled while the window is open.
BOOL CALLBACK CollectModalVictim(HWND hwnd, LPARAM param) {
  auto* w = reinterpret_cast<OpenWindow*>(param);
  if (hwnd != w->frame && !GetWindow(hwnd, GW_OWNER) && IsWindowVisible(hwnd))
    w->disabled_while_open.push_back({hwnd, IsWindowEnabled(hwnd) != FALSE});
  return TRUE;
}

void DisableOtherWindows(OpenWindow& w) {
  EnumThreadWindows(GetCurrentThreadId(), CollectModalVictim, reinterpret_cast<LPARAM>(&w));
  for (const DisabledWindow& d : w.disabled_while_open) EnableWindow(d.window, FALSE);
}

void GiveBackOtherWindows(OpenWindow& w) {
  EnableWindowsAgain(w.disabled_while_open);
  w.disabled_while_open.clear();
}

// One tooltip for the window, with a tool for each control that has one.
// Its text is asked for (TTN_GETDISPINFO) when it is about to show.
void BuildTooltips(OpenWindow& w) {
  for (const TooltipSource& source : AllTooltips()) {
    if (source.window != w.layout->id) continue;
    w.tooltips = &source;
    w.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, w.frame, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!w.tooltip) return;
    // Several lines, and long enough to read them.
    SendMessageA(w.tooltip, TTM_SETMAXTIPWIDTH, 0, 640);
    SendMessageA(w.tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    for (ControlId control : source.controls) {
      const int i = ControlIndex(w, control);
      if (i < 0 || !w.controls[i].hwnd) continue;
      TOOLINFOA tool = {};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = w.frame;
      tool.uId = reinterpret_cast<UINT_PTR>(w.controls[i].hwnd);
      tool.lpszText = LPSTR_TEXTCALLBACKA;
      SendMessageA(w.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return;
  }
}

bool OnTooltipText(OpenWindow& w, NMHDR* header) {
  if (!w.tooltip || header->hwndFrom != w.tooltip || header->code != TTN_GETDISPINFOA) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
  const int i = ControlIndex(w, reinterpret_cast<HWND>(header->idFrom));
  w.tooltip_text = i < 0 ? Text() : w.tooltips->text_of(w.layout->controls[i].id);
  info->lpszText = w.tooltip_text.data();
  return true;
}

bool EnsureFrameClass() {
  if (g_frame_class) return true;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFrameClass;
  g_frame_class = RegisterClassExA(&wc);
  return g_frame_class != 0;
}

// ---------------------------------------------------------------------------
// Properties (window thread)

int NumberOf(const PropertyValue& value) { return value.is_text ? ToInteger(value.text) : value.number; }
Text TextOf(const PropertyValue& value) { return value.is_text ? value.text : ToText(value.number); }

// Fills in a request's result, which starts as the number 0.
void ReadControl(const OpenWindow& w, size_t i, int index, PropertyValue& result) {
  const ControlRow& row = w.layout->controls[i];
  HWND hwnd = w.controls[i].hwnd;
  if (row.type == ControlType::kTimer) {
    if (index == kPropertyInterval) result.number = w.controls[i].interval;
    return;
  }
  switch (index) {
    case kPropertyDisabled:
      result.number = !IsWindowEnabled(hwnd);
      break;
    case kPropertyText: {
      int length = GetWindowTextLengthA(hwnd);
      result.is_text = true;
      result.text.resize(static_cast<size_t>(std::max(length, 0)) + 1);
      int got = GetWindowTextA(hwnd, result.text.data(), static_cast<int>(result.text.size()));
      result.text.resize(static_cast<size_t>(std::max(got, 0)));
      break;
    }
    case kPropertyPosition:
      result.number = static_cast<int32_t>(SendMessageA(hwnd, PBM_GETPOS, 0, 0));
      break;
    case kPropertyChecked:
      result.number = SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
      break;
  }
}

void WriteTimerInterval(OpenWindow& w, size_t i, int interval) {
  interval = std::max(interval, 0);
  if (interval == w.controls[i].interval) return;
  ControlId id = w.layout->controls[i].id;
  KillTimer(w.frame, id);
  w.controls[i].interval = interval;
  if (interval > 0) SetTimer(w.frame, id, interval, nullptr);
}

void WriteControl(OpenWindow& w, size_t i, int index, const PropertyValue& value) {
  const ControlRow& row = w.layout->controls[i];
  HWND hwnd = w.controls[i].hwnd;
  if (row.type == ControlType::kTimer) {
    if (index == kPropertyInterval) WriteTimerInterval(w, i, NumberOf(value));
    return;
  }
  switch (index) {
    case kPropertyDisabled:
      EnableWindow(hwnd, NumberOf(value) == 0);
      break;
    case kPropertyText:
      SetWindowTextA(hwnd, TextOf(value).c_str());
      if (row.type == ControlType::kTransLabel) {
        // Without a background of its own the old text would stay visible.
        HWND parent = GetParent(hwnd);
        RECT area;
        GetWindowRect(hwnd, &area);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      }
      break;
    case kPropertyPosition: {
      PBRANGE range = {};
      SendMessageA(hwnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
      int position = std::clamp(NumberOf(value), range.iLow, std::max(range.iLow, range.iHigh));
      SendMessageA(hwnd, PBM_SETPOS, position, 0);
      break;
    }
    case kPropertyChecked:
      SendMessageA(hwnd, BM_SETCHECK, NumberOf(value) ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
  }
}

void HandlePropertyRequest(OpenWindow& w, PropertyRequest& request) {
  int i = ControlIndex(w, request.control);
  if (i < 0) return;
  if (request.write)
    WriteControl(w, static_cast<size_t>(i), request.index, *request.write);
  else
    ReadControl(w, static_cast<size_t>(i), request.index, request.result);
}

// ---------------------------------------------------------------------------
// The frame's window procedure

bool OnCommand(OpenWindow& w, WPARAM wp, LPARAM lp) {
  HWND sender = reinterpret_cast<HWND>(lp);
  if (!sender) {
    if (LOWORD(wp) == IDCANCEL) {
      PostMessageA(w.frame, WM_CLOSE, 0, 0);
      return true;
    }
    // Menu commands carry only the low 16 bits of the item id.
    for (const MenuRow& item : w.layout->menu_items)
      if (LOWORD(wp) == LOWORD(item.id)) {
        item.handler();
        return true;
      }
    return false;
  }
  int i = ControlIndex(w, sender);
  if (i < 0 || HIWORD(wp) != BN_CLICKED) return false;
  // A disabled control takes no clicks, not even programmatic ones, so that
  // a disabled button can never start its command twice.
  if (!IsWindowEnabled(sender)) return true;
  RunEventHandler(w.layout->id, w.layout->controls[i].id, Event::kClicked);
  return true;
}

// Visual styles draw the tab control's body in a colour of its own; texts on
// a page take that background from the tab instead of the window colour.
// uxtheme is looked up at run time: without it (or with the classic look)
// the window colour is right anyway.
bool PaintThemedTabBackground(HWND control, HDC dc) {
  using IsAppThemedFunction = BOOL(WINAPI*)();
  using DrawParentFunction = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
  static auto uxtheme = static_cast<HMODULE>(LoadSystemLibrary("uxtheme.dll"));
  if (!uxtheme) return false;
  auto is_app_themed = reinterpret_cast<IsAppThemedFunction>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsAppThemed")));
  auto draw_parent = reinterpret_cast<DrawParentFunction>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme, "DrawThemeParentBackground")));
  if (!is_app_themed || !draw_parent || !is_app_themed()) return false;
  return SUCCEEDED(draw_parent(control, dc, nullptr));
}

LRESULT OnControlColor(OpenWindow& w, HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT brush = DefWindowProcA(frame, msg, wp, lp);
  HWND control = reinterpret_cast<HWND>(lp);
  int i = ControlIndex(w, control);
  if (i < 0) return brush;
  const ControlRow& row = w.layout->controls[i];
  HDC dc = reinterpret_cast<HDC>(wp);
  if (row.blue_text) SetTextColor(dc, kBlueText);
  bool transparent = row.type == ControlType::kTransLabel;
  if (msg == WM_CTLCOLORSTATIC && GetParent(control) == w.tab && PaintThemedTabBackground(control, dc))
    transparent = true;
  if (transparent) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  return brush;
}

// Like a dialog, a window gets its focused control back when reactivated.
bool OnActivate(OpenWindow& w, WPARAM wp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(w.frame, focus)) w.last_focus = focus;
    return false;
  }
  if (!w.last_focus || !IsWindow(w.last_focus) || !IsWindowVisible(w.last_focus)) return false;
  SetFocus(w.last_focus);
  return true;
}

void MoveFocus(HWND frame, WPARAM wp, LPARAM lp) {
  HWND target = LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(frame, GetFocus(), wp != 0);
  if (!target) return;
  SetFocus(target);
  if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(target, EM_SETSEL, 0, -1);
}

void CloseFrame(HWND frame, OpenWindow& w) {
  // Give the other windows back first, so that activation can return to them.
  HWND active_before = w.active_before;
  GiveBackOtherWindows(w);
  DestroyWindow(frame);
  if (active_before && IsWindow(active_before) && IsWindowEnabled(active_before)) SetActiveWindow(active_before);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
    auto* w = static_cast<OpenWindow*>(create->lpCreateParams);
    w->frame = frame;
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  OpenWindow* w = WindowOfFrame(frame);
  if (!w) return DefWindowProcA(frame, msg, wp, lp);
  switch (msg) {
    case kPropertyRequest:
      HandlePropertyRequest(*w, *reinterpret_cast<PropertyRequest*>(lp));
      return 0;
    case WM_COMMAND:
      if (OnCommand(*w, wp, lp)) return 0;
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lp);
      if (OnTooltipText(*w, header)) return 0;
      if (header->hwndFrom == w->tab && header->code == static_cast<UINT>(TCN_SELCHANGE))
        ShowPage(*w, static_cast<int>(SendMessageA(w->tab, TCM_GETCURSEL, 0, 0)));
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return OnControlColor(*w, frame, msg, wp, lp);
    case WM_TIMER:
      RunEventHandler(w->layout->id, static_cast<ControlId>(wp), Event::kTick);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE) {
        PostMessageA(frame, WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_NEXTDLGCTL:
      // IsDialogMessage moves the focus with this message, which only a
      // dialog's default procedure would otherwise understand.
      MoveFocus(frame, wp, lp);
      return 0;
    case WM_ACTIVATE:
      if (OnActivate(*w, wp)) return 0;
      break;
    case WM_CLOSE:
      CloseFrame(frame, *w);
      return 0;
    case WM_DESTROY: {
      GiveBackOtherWindows(*w);
      int index = LayoutIndex(w->layout->id);
      if (index >= 0 && g_frames[index].load() == frame) g_frames[index].store(nullptr);
      if (frame == g_start_frame) {
        g_start_frame = nullptr;
        PostQuitMessage(0);
      }
      break;
    }
    case WM_NCDESTROY:
      RemovePropA(frame, kWindowIdProperty);
      SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
      delete w;
      break;
  }
  return DefWindowProcA(frame, msg, wp, lp);
}

}  // namespace

// ---------------------------------------------------------------------------
// Operations of platform.h

PropertyValue ReadProperty(WindowId window, ControlId control, int index) {
  PropertyRequest request{control, index, nullptr, {}};
  if (HWND frame = OpenFrame(window))
    SendMessageA(frame, kPropertyRequest, 0, reinterpret_cast<LPARAM>(&request));
  return request.result;
}

void WriteProperty(WindowId window, ControlId control, int index, const PropertyValue& value) {
  PropertyRequest request{control, index, &value, {}};
  if (HWND frame = OpenFrame(window))
    SendMessageA(frame, kPropertyRequest, 0, reinterpret_cast<LPARAM>(&request));
}

ControlId FindControlByTag(WindowId window, int tag) {
  const WindowLayout* layout = FindWindowLayout(window);
  std::optional<ControlId> found = layout ? FindTaggedControl(*layout, tag) : std::nullopt;
  if (!found) FatalError(0, "未找到指定标记的组件");
  return *found;
}

bool LoadWindow(WindowId window, WindowId parent, bool modal) {
  const WindowLayout* layout = FindWindowLayout(window);
  int index = LayoutIndex(window);
  if (!layout || index < 0 || !EnsureFrameClass()) return false;
  // A window of the program exists at most once: a second load brings the
  // open one to the front instead of building a twin.
  if (HWND open = g_frames[index].load()) {
    SetForegroundWindow(open);
    return true;
  }
  auto* w = new OpenWindow;
  w->layout = layout;
  w->controls.reset(new OpenWindow::Slot[layout->controls.size()]());
  w->active_before = GetActiveWindow();

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  int x = (GetSystemMetrics(SM_CXSCREEN) - layout->outer_width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - layout->outer_height) / 2;
  HMENU menu = BuildMenu(*layout);
  HWND frame = CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, layout->title, style, x, y, layout->outer_width,
                               layout->outer_height, OpenFrame(parent), menu, GetModuleHandleA(nullptr), w);
  if (!frame) {
    if (menu) DestroyMenu(menu);
    delete w;
    return false;
  }
  // The platform layer finds owners for message boxes by this mark.
  SetPropA(frame, kWindowIdProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(window)));
  SendMessageA(frame, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SetWindowIcons(frame, layout->icon_resource);
  for (size_t i = 0; i < layout->controls.size(); ++i)
    if (!BuildControl(*w, i)) {
      DestroyWindow(frame);
      return false;
    }
  if (w->tab) ShowPage(*w, 0);
  BuildTooltips(*w);
  g_frames[index].store(frame);
  if (!g_start_frame) g_start_frame = frame;

  RunEventHandler(window, 0, Event::kCreated);
  if (!IsWindow(frame)) return false;
  if (modal) DisableOtherWindows(*w);
  ShowWindow(frame, SW_SHOW);
  UpdateWindow(frame);
  return true;
}

bool LoadStartWindow(WindowId window) {
  g_start_frame = nullptr;
  return LoadWindow(window, 0, false);
}

int RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (IsEngineFrame(root)) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        PostMessageA(root, WM_CLOSE, 0, 0);
        continue;
      }
      if (IsDialogMessageA(root, &msg)) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace lumeno
