// 按钮2 "关闭无响应的程序" of the main window: the programs whose windows no
// longer respond are ended.
#include "hung_programs/hung_programs.h"

#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using main_controls::kCloseHungButton;
// A window that was only busy for a moment gets this long to answer again.
constexpr int kSettleMilliseconds = 300;

}  // namespace

void CloseHungPrograms() {
  SetDisabled(kMainWindow, kCloseHungButton, true);
  Delay(kSettleMilliseconds);
  for (const Text& title : ListHungWindowTitles()) TerminateProcessByName(title);
  SetDisabled(kMainWindow, kCloseHungButton, false);
}

}  // namespace lumeno
