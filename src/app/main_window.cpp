#include "app/main_window.h"

#include "app/hung_programs.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

using main_controls::kCloseHungButton;
using main_controls::kInvertBox;
constexpr int kFirstItemTag = 1;
constexpr int kLastItemTag = 26;
constexpr int kSettleMilliseconds = 300;

}  // namespace

int RunStartRoutine() { return 0; }

void TrimOwnWorkingSet() {
  CallSetProcessWorkingSetSize(DeclaredFunction::kSetProcessWorkingSetSizeOwn, kCurrentProcess, -1, -1);
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
