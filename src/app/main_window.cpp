#include "app/main_window.h"

#include "app/hung_programs.h"
#include "platform/platform.h"
#include "tweaks/optimize.h"

namespace lumeno {

namespace {

constexpr ControlId kCloseHungButton = 0x160102A0;  // 按钮2 "关闭无响应的程序"
constexpr ControlId kInvertBox = 0x160102A1;        // 选择框27 "反选"
constexpr int kFirstItemTag = 1;
constexpr int kLastItemTag = 26;
constexpr int kSettleMilliseconds = 300;

}  // namespace

int RunStartRoutine() { return 0; }

void TrimOwnWorkingSet() {
  CallSetProcessWorkingSetSize(DeclaredFunction::kSetProcessWorkingSetSizeOwn, kCurrentProcess, -1, -1);
}

void RunOptimize() {
  SetDisabled(kMainWindow, kOptimizeButton, true);
  // The worker enables the button again as its last step; a worker that
  // never started could not, so the button comes back here instead.
  if (!StartThread(OptimizeWorker)) SetDisabled(kMainWindow, kOptimizeButton, false);
}

void CloseHungPrograms() {
  SetDisabled(kMainWindow, kCloseHungButton, true);
  Delay(kSettleMilliseconds);
  for (const Text& title : ListHungWindowTitles()) TerminateProcessByName(title);
  SetDisabled(kMainWindow, kCloseHungButton, false);
}

void InvertItemSelection() {
  bool select_all = IsTicked(kMainWindow, kInvertBox);
  for (int tag = kFirstItemTag; tag <= kLastItemTag; ++tag) {
    ControlId item = FindControlByTag(kMainWindow, tag);
    if (select_all)
      SetTicked(kMainWindow, item, true);
    else
      SetTicked(kMainWindow, item, !IsTicked(kMainWindow, item));
  }
}

void OpenSettingsWindow() { LoadWindow(kSettingsWindow, 0, true); }

}  // namespace lumeno
