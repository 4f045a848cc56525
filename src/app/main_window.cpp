#include "app/main_window.h"

#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using main_controls::kInvertBox;
constexpr int kFirstItemTag = 1;
constexpr int kLastItemTag = 26;

}  // namespace

int RunStartRoutine() { return 0; }

void TrimOwnWorkingSet() {
  CallSetProcessWorkingSetSize(DeclaredFunction::kSetProcessWorkingSetSizeOwn, kCurrentProcess, -1, -1);
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
