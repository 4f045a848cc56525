// The window engine in-process: windows built from the layouts, control
// properties from the window thread and from a worker, tab pages, modal mode,
// event delivery through group boxes and the tab control, the message loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "app/layouts.h"
#include "platform/platform.h"
#include "support/windows_support.h"
#include "ui/window_engine.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using namespace main_controls;
using namespace settings_controls;
using support::PumpUntil;

// MainWindow
constexpr ControlId kMainGroup = kGroup;
constexpr ControlId kMemoryText = kGaugeLabel;
constexpr ControlId kMemoryBar = kGaugeBar;
constexpr ControlId kMainTimer = kGaugeTimer;
constexpr ControlId kFirstItem = 0x160102B6;   // 选择框1
constexpr ControlId kRightItem = 0x160102AD;   // 选择框10, reaches past the group box
// SettingsWindow
constexpr ControlId kSettingsTimer = kTrimTimer;
constexpr ControlId kSetButton = kApplyPresetButton;  // font -14; 标签2 (kModeLabel) blue, font -12
constexpr ControlId kPreset1 = settings_controls::kCrt15Radio;   // page 0
constexpr ControlId kPreset2 = settings_controls::kCrt17Radio;   // page 0
constexpr ControlId kProfile1 = settings_controls::kMinimalRadio;  // page 1
constexpr ControlId kCleanJunk = kJunkBox;      // 选择框11, page 3
constexpr ControlId kTransparentLabel = kMemoryState;

const char kFrameClass[] = "LumenoWindow";

// Closing the start window posts WM_QUIT; the tests keep pumping regardless.
void Pump() { support::PumpMessages(); }

HWND Frame(WindowId window) { return FindWindowA(kFrameClass, FindWindowLayout(window)->title); }

HWND Control(WindowId window, ControlId id) { return support::FindControl(Frame(window), id); }

RECT RectInParent(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

void CloseAll() {
  for (WindowId window : {kSettingsWindow, kMainWindow})
    if (HWND frame = Frame(window)) SendMessageA(frame, WM_CLOSE, 0, 0);
  Pump();
}

class WindowEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseWindowLayouts(ProgramWindowLayouts(), ProgramEventBindings());
    CloseAll();
    ASSERT_TRUE(LoadWindow(kMainWindow));
    main_ = Frame(kMainWindow);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override { CloseAll(); }

  HWND OpenSettings() {
    EXPECT_TRUE(LoadWindow(kSettingsWindow, 0, true));
    Pump();
    return Frame(kSettingsWindow);
  }

  HWND main_ = nullptr;
};

TEST_F(WindowEngineTest, FramesHaveTheirOuterSizeAreCentredAndCannotBeResized) {
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr);
  for (HWND frame : {main_, settings}) {
    const WindowLayout& layout = *FindWindowLayout(frame == main_ ? kMainWindow : kSettingsWindow);
    RECT rect;
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.right - rect.left, layout.outer_width);
    EXPECT_EQ(rect.bottom - rect.top, layout.outer_height);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - layout.outer_width) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - layout.outer_height) / 2);
    LONG style = GetWindowLongA(frame, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  }
  EXPECT_NE(GetMenu(main_), nullptr);
  EXPECT_EQ(GetMenu(settings), nullptr);
}

TEST_F(WindowEngineTest, MenuHasOneDropDownWithFiveItemsCarryingTheirFullIds) {
  HMENU bar = GetMenu(main_);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  char text[64] = {};
  GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "菜单");
  HMENU drop_down = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(drop_down), 5);
  const MenuRow* rows = FindWindowLayout(kMainWindow)->menu_items.data();
  for (int i = 0; i < 5; ++i) {
    GetMenuStringA(drop_down, i, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, rows[i].caption);
    EXPECT_EQ(GetMenuItemID(drop_down, i), rows[i].id);
  }
}

TEST_F(WindowEngineTest, ControlsAreChildrenOfTheirContainersWithRelativeRectangles) {
  OpenSettings();
  HWND item = Control(kMainWindow, kFirstItem);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(GetParent(item), Control(kMainWindow, kMainGroup));
  RECT rect = RectInParent(item);
  EXPECT_EQ(rect.left, 11);
  EXPECT_EQ(rect.top, 8);
  EXPECT_EQ(rect.right - rect.left, 180);
  EXPECT_EQ(rect.bottom - rect.top, 16);
  // A row reaching past its group box ends inside the box's frame.
  RECT right = RectInParent(Control(kMainWindow, kRightItem));
  EXPECT_EQ(right.left, 203);
  EXPECT_EQ(right.right, 376 - 2);

  HWND preset = Control(kSettingsWindow, kPreset1);
  EXPECT_EQ(GetParent(preset), Control(kSettingsWindow, kTab)) << "radio buttons sit on the tab, not the group box";
  RECT preset_rect = RectInParent(preset);
  EXPECT_EQ(preset_rect.left, 15);
  EXPECT_EQ(preset_rect.top, 49);
  // 32-bit ids survive in full.
  EXPECT_EQ(static_cast<uint32_t>(GetDlgCtrlID(preset)), kPreset1);
}

TEST_F(WindowEngineTest, ControlStylesFollowTheirTypes) {
  OpenSettings();
  auto style = [](HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)); };
  DWORD check = style(Control(kMainWindow, kInvertBox));
  EXPECT_EQ(check & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
  EXPECT_TRUE(check & BS_MULTILINE);
  EXPECT_TRUE(check & WS_TABSTOP);
  DWORD button = style(Control(kMainWindow, kSettingsButton));
  EXPECT_EQ(button & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
  EXPECT_TRUE(button & BS_MULTILINE);
  DWORD radio = style(Control(kSettingsWindow, kPreset1));
  EXPECT_EQ(radio & BS_TYPEMASK, static_cast<DWORD>(BS_AUTORADIOBUTTON));
  EXPECT_TRUE(radio & WS_TABSTOP);
  EXPECT_TRUE(style(Control(kSettingsWindow, kTargetEdit)) & WS_TABSTOP);
  EXPECT_FALSE(style(Control(kMainWindow, kMemoryText)) & WS_TABSTOP);
  char name[32];
  GetClassNameA(Control(kMainWindow, kMemoryBar), name, sizeof name);
  EXPECT_STREQ(name, "msctls_progress32");
  EXPECT_EQ(SendMessageA(Control(kMainWindow, kMemoryBar), PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(WindowEngineTest, FontsAreTheStockGuiFontUnlessARowGivesSongTi) {
  OpenSettings();
  HFONT gui = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Control(kMainWindow, kInvertBox), WM_GETFONT, 0, 0)), gui);
  LOGFONTA set = FontOf(Control(kSettingsWindow, kSetButton));
  EXPECT_EQ(set.lfHeight, -14);
  EXPECT_STREQ(set.lfFaceName, "宋体");
  EXPECT_EQ(set.lfCharSet, 134);
  EXPECT_EQ(set.lfWeight, 400);
  EXPECT_EQ(set.lfOutPrecision, 3);
  EXPECT_EQ(set.lfClipPrecision, 2);
  EXPECT_EQ(set.lfQuality, 1);
  EXPECT_EQ(set.lfPitchAndFamily, 2);
  EXPECT_EQ(FontOf(Control(kSettingsWindow, kModeLabel)).lfHeight, -12);
}

TEST_F(WindowEngineTest, BlueTextIsAskedForThroughTheTabControl) {
  OpenSettings();
  HDC dc = CreateCompatibleDC(nullptr);
  HWND label = Control(kSettingsWindow, kModeLabel);
  // The label's parent is the tab control; its colour request must reach the window.
  SendMessageA(GetParent(label), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  SetTextColor(dc, RGB(1, 2, 3));
  HWND plain = Control(kMainWindow, kMemoryText);
  SendMessageA(GetParent(plain), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(plain));
  EXPECT_NE(GetTextColor(dc), RGB(0, 0, 255));
  HWND transparent = Control(kSettingsWindow, kTransparentLabel);
  LRESULT brush = SendMessageA(Frame(kSettingsWindow), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(transparent));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  DeleteDC(dc);
}

TEST_F(WindowEngineTest, TextPropertyReadsAndWritesWindowTexts) {
  EXPECT_EQ(ReadText(kMainWindow, kMemoryText), "RAM内存使用情况（0%）：");
  SetText(kMainWindow, kMemoryText, "内存 42%");
  char buffer[64] = {};
  GetWindowTextA(Control(kMainWindow, kMemoryText), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "内存 42%");
  EXPECT_EQ(ReadText(kMainWindow, kMemoryText), "内存 42%");
  SetText(kMainWindow, kMemoryText, "");
  EXPECT_EQ(ReadText(kMainWindow, kMemoryText), "");
}

TEST_F(WindowEngineTest, CheckStateWritesAndReadsTheButtonsCheck) {
  HWND box = Control(kMainWindow, kFirstItem);
  EXPECT_FALSE(IsTicked(kMainWindow, kFirstItem));
  SetTicked(kMainWindow, kFirstItem, true);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(IsTicked(kMainWindow, kFirstItem));
  SetTicked(kMainWindow, kFirstItem, false);
  EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsTicked(kMainWindow, kFirstItem));
  // A user's click is seen the same way.
  SendMessageA(box, BM_CLICK, 0, 0);
  EXPECT_TRUE(IsTicked(kMainWindow, kFirstItem));
}

TEST_F(WindowEngineTest, DisabledPropertyDisablesAndReportsTheControl) {
  HWND button = Control(kMainWindow, kSettingsButton);
  EXPECT_EQ(ReadProperty(kMainWindow, kSettingsButton, kPropertyDisabled).number, 0);
  SetDisabled(kMainWindow, kSettingsButton, true);
  EXPECT_FALSE(IsWindowEnabled(button));
  EXPECT_EQ(ReadProperty(kMainWindow, kSettingsButton, kPropertyDisabled).number, 1);
  SetDisabled(kMainWindow, kSettingsButton, false);
  EXPECT_TRUE(IsWindowEnabled(button));
}

TEST_F(WindowEngineTest, ProgressPositionIsLimitedToTheBarsRange) {
  auto write = [](int n) { WriteProperty(kMainWindow, kMemoryBar, kPropertyPosition, PropertyValue::Number(n)); };
  auto read = [] { return ReadProperty(kMainWindow, kMemoryBar, kPropertyPosition).number; };
  EXPECT_EQ(read(), 0);
  write(42);
  EXPECT_EQ(read(), 42);
  write(150);
  EXPECT_EQ(read(), 100);
  write(-3);
  EXPECT_EQ(read(), 0);
}

TEST_F(WindowEngineTest, TimerIntervalTakesNegativesAsZeroAndTicksOnlyAboveZero) {
  auto interval = [] { return ReadProperty(kMainWindow, kMainTimer, kPropertyInterval).number; };
  auto write = [](int n) { WriteProperty(kMainWindow, kMainTimer, kPropertyInterval, PropertyValue::Number(n)); };
  EXPECT_EQ(interval(), 1500);
  write(-20);
  EXPECT_EQ(interval(), 0);
  // Stopped: the gauge (the timer's handler) leaves the label alone.
  SetText(kMainWindow, kMemoryText, "stopped");
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(ReadText(kMainWindow, kMemoryText), "stopped");
  // Running again: the handler rewrites the label on its tick.
  write(50);
  EXPECT_EQ(interval(), 50);
  EXPECT_TRUE(PumpUntil([] { return ReadText(kMainWindow, kMemoryText) != "stopped"; }));
}

TEST_F(WindowEngineTest, PropertiesOfClosedWindowsOrUnknownControlsReadEmpty) {
  EXPECT_EQ(ReadProperty(kSettingsWindow, kMemorySwitch, kPropertyChecked).number, 0);
  EXPECT_EQ(ReadProperty(kMainWindow, 0x0BADF00D, kPropertyText).text, "");
  SetText(kSettingsWindow, kModeLabel, "nobody");  // no window: nothing happens
  EXPECT_EQ(Frame(kSettingsWindow), nullptr);
}

DWORD WINAPI WorkerReadsAndWrites(LPVOID param) {
  auto* seen = static_cast<std::string*>(param);
  SetTicked(kMainWindow, kFirstItem, true);
  SetText(kMainWindow, kMemoryText, "from the worker");
  *seen = IsTicked(kMainWindow, kFirstItem) ? ReadText(kMainWindow, kMemoryText) : "not ticked";
  SetDisabled(kMainWindow, kSettingsButton, true);
  return 0;
}

TEST_F(WindowEngineTest, WorkerThreadsReachControlsThroughTheWindowThread) {
  std::string seen;
  HANDLE worker = CreateThread(nullptr, 0, WorkerReadsAndWrites, &seen, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  // The worker's requests are handled only while this (the window) thread pumps.
  EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }));
  CloseHandle(worker);
  EXPECT_EQ(seen, "from the worker");
  EXPECT_EQ(SendMessageA(Control(kMainWindow, kFirstItem), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(Control(kMainWindow, kSettingsButton)));
}

TEST_F(WindowEngineTest, FindControlByTagFindsTheItemBoxesOfTheRealWindow) {
  for (int tag = 1; tag <= 26; ++tag) {
    ControlId id = FindControlByTag(kMainWindow, tag);
    HWND box = Control(kMainWindow, id);
    ASSERT_NE(box, nullptr) << tag;
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX) << tag;
  }
  EXPECT_EQ(FindControlByTag(kMainWindow, 26), 0x16010296u);
}

TEST_F(WindowEngineTest, ClicksInsideTheGroupBoxReachTheirHandlerWhichSeesTheNewState) {
  // "反选" is a child of the group box; its handler reads its own new state.
  SendMessageA(Control(kMainWindow, kInvertBox), BM_CLICK, 0, 0);
  for (int tag = 1; tag <= 26; ++tag) EXPECT_TRUE(IsTicked(kMainWindow, FindControlByTag(kMainWindow, tag))) << tag;
  SendMessageA(Control(kMainWindow, kInvertBox), BM_CLICK, 0, 0);
  for (int tag = 1; tag <= 26; ++tag) EXPECT_FALSE(IsTicked(kMainWindow, FindControlByTag(kMainWindow, tag))) << tag;
}

TEST_F(WindowEngineTest, ADisabledButtonRunsNoHandlerEvenWhenClickedByProgram) {
  SetDisabled(kMainWindow, kSettingsButton, true);
  SendMessageA(Control(kMainWindow, kSettingsButton), BM_CLICK, 0, 0);
  Pump();
  EXPECT_EQ(Frame(kSettingsWindow), nullptr);
  SetDisabled(kMainWindow, kSettingsButton, false);
  SendMessageA(Control(kMainWindow, kSettingsButton), BM_CLICK, 0, 0);
  Pump();
  EXPECT_NE(Frame(kSettingsWindow), nullptr);
}

TEST_F(WindowEngineTest, ModalWindowDisablesTheOthersAndGivesBackTheirStates) {
  // A second parentless window that was disabled before must stay disabled.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_DISABLED, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  HWND settings = OpenSettings();
  ASSERT_NE(settings, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_));
  EXPECT_TRUE(IsWindowEnabled(settings));
  EXPECT_TRUE(IsWindowVisible(settings));
  SendMessageA(settings, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(settings));
  EXPECT_TRUE(IsWindowEnabled(main_));
  EXPECT_FALSE(IsWindowEnabled(other));
  DestroyWindow(other);
}

TEST_F(WindowEngineTest, LoadingAnOpenWindowAgainBuildsNoTwin) {
  HWND settings = OpenSettings();
  EXPECT_TRUE(LoadWindow(kSettingsWindow, 0, true));
  Pump();
  EXPECT_EQ(Frame(kSettingsWindow), settings);
  int frames = 0;
  for (HWND w = FindWindowExA(nullptr, nullptr, kFrameClass, "系统设置"); w;
       w = FindWindowExA(nullptr, w, kFrameClass, "系统设置"))
    ++frames;
  EXPECT_EQ(frames, 1);
  SendMessageA(settings, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindowEnabled(main_)) << "the second load must not have taken main's state as 'disabled'";
}

TEST_F(WindowEngineTest, SettingsWindowStartsOnPageZeroShowingOnlyItsControls) {
  OpenSettings();
  HWND tab = Control(kSettingsWindow, kTab);
  EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
  const WindowLayout& layout = *FindWindowLayout(kSettingsWindow);
  for (int page = 0; page < 5; ++page) {
    if (page) SendMessageA(tab, TCM_SETCURFOCUS, page, 0);
    Pump();
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), page);
    for (const ControlRow& row : layout.controls) {
      if (row.type == ControlType::kTimer) continue;
      bool shown = row.page == kNoPage || row.page == page;
      EXPECT_EQ(IsWindowVisible(Control(kSettingsWindow, row.id)) != FALSE, shown) << row.name << " page " << page;
    }
  }
}

TEST_F(WindowEngineTest, ControlsKeepTheirStateOnHiddenPages) {
  OpenSettings();
  HWND tab = Control(kSettingsWindow, kTab);
  SendMessageA(tab, TCM_SETCURFOCUS, 3, 0);
  SendMessageA(Control(kSettingsWindow, kCleanJunk), BM_CLICK, 0, 0);
  SendMessageA(tab, TCM_SETCURFOCUS, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(Control(kSettingsWindow, kCleanJunk)));
  EXPECT_TRUE(IsTicked(kSettingsWindow, kCleanJunk));
  // A page chosen by program (no notification) is shown as well.
  SendMessageA(tab, TCM_SETCURSEL, 2, 0);
  EXPECT_TRUE(IsWindowVisible(Control(kSettingsWindow, kTargetEdit)));
  EXPECT_FALSE(IsWindowVisible(Control(kSettingsWindow, kPreset1)));
}

TEST_F(WindowEngineTest, RadioButtonsOfTheTwoPagesFormSeparateSets) {
  OpenSettings();
  // With the profiles on screen, even a preset set by program must leave them alone.
  SendMessageA(Control(kSettingsWindow, kTab), TCM_SETCURFOCUS, 1, 0);
  SendMessageA(Control(kSettingsWindow, kProfile1), BM_CLICK, 0, 0);
  SendMessageA(Control(kSettingsWindow, kPreset1), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsTicked(kSettingsWindow, kProfile1)) << "a preset must not clear a service profile";
  EXPECT_TRUE(IsTicked(kSettingsWindow, kPreset1));
  SendMessageA(Control(kSettingsWindow, kTab), TCM_SETCURFOCUS, 0, 0);
  SendMessageA(Control(kSettingsWindow, kPreset2), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsTicked(kSettingsWindow, kPreset1)) << "presets exclude each other";
  EXPECT_TRUE(IsTicked(kSettingsWindow, kPreset2));
  EXPECT_TRUE(IsTicked(kSettingsWindow, kProfile1));
}

TEST_F(WindowEngineTest, ReopenedSettingsWindowStartsFromTheLayoutAgain) {
  OpenSettings();
  // What the created handler made of the timer on a fresh window.
  int fresh_interval = ReadProperty(kSettingsWindow, kSettingsTimer, kPropertyInterval).number;
  SendMessageA(Control(kSettingsWindow, kTab), TCM_SETCURFOCUS, 2, 0);
  SetText(kSettingsWindow, kTargetEdit, "E:\\Elsewhere");
  SendMessageA(Control(kSettingsWindow, kPreset1), BM_CLICK, 0, 0);
  SetTicked(kSettingsWindow, kMemorySwitch, false);
  WriteProperty(kSettingsWindow, kSettingsTimer, kPropertyInterval, PropertyValue::Number(fresh_interval + 700));
  SendMessageA(Frame(kSettingsWindow), WM_CLOSE, 0, 0);
  Pump();
  OpenSettings();
  EXPECT_EQ(ReadText(kSettingsWindow, kTargetEdit), "D:\\Personal");
  EXPECT_FALSE(IsTicked(kSettingsWindow, kPreset1));
  EXPECT_TRUE(IsTicked(kSettingsWindow, kMemorySwitch));
  EXPECT_EQ(ReadProperty(kSettingsWindow, kSettingsTimer, kPropertyInterval).number, fresh_interval);
  EXPECT_EQ(SendMessageA(Control(kSettingsWindow, kTab), TCM_GETCURSEL, 0, 0), 0);
}

TEST(WindowEngineLoopTest, EscapeInTheStartWindowEndsTheMessageLoopWithZero) {
  CloseAll();
  ASSERT_TRUE(LoadStartWindow(kMainWindow));
  HWND main = Frame(kMainWindow);
  ASSERT_NE(main, nullptr);
  HWND box = Control(kMainWindow, kFirstItem);
  // The key goes to a control deep inside the group box, as a keyboard would send it.
  PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(IsWindow(main));
}

// Where the focus was when the loop reached the marker message; then the
// marker closes the window so that the loop returns.
constexpr UINT kMarker = WM_APP + 77;
uint32_t g_focus_at_marker = 0;  // the focused control's id

LRESULT CALLBACK RecordFocusAtMarker(int code, WPARAM wp, LPARAM lp) {
  auto* msg = reinterpret_cast<MSG*>(lp);
  if (code >= 0 && wp == PM_REMOVE && msg->message == kMarker) {
    g_focus_at_marker = static_cast<uint32_t>(GetDlgCtrlID(GetFocus()));
    PostMessageA(msg->hwnd, WM_CLOSE, 0, 0);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(WindowEngineLoopTest, TabMovesTheFocusToTheNextTabStopInCreationOrder) {
  CloseAll();
  ASSERT_TRUE(LoadStartWindow(kMainWindow));
  HWND main = Frame(kMainWindow);
  SetForegroundWindow(main);
  SetFocus(Control(kMainWindow, kFirstItem));
  ASSERT_EQ(GetFocus(), Control(kMainWindow, kFirstItem));
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  PostMessageA(main, kMarker, 0, 0);
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, RecordFocusAtMarker, nullptr, GetCurrentThreadId());
  EXPECT_EQ(RunMessageLoop(), 0);
  UnhookWindowsHookEx(hook);
  // 选择框10 is the tab stop created right after 选择框1.
  EXPECT_EQ(g_focus_at_marker, kRightItem);
}

}  // namespace
}  // namespace lumeno
