// The screen-mode presets of the page "分辨率" and the mode display beside
// them.
#include "utilities/display_presets.h"

#include <span>

#include "plan/command.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using namespace settings_controls;

struct ResolutionPreset {
  ControlId radio;
  const char* caption;
  int width;
  int height;
  int bits;
  int refresh;
};

// 分组框1 "CRT显示器"
const ResolutionPreset kCrtPresets[] = {
    {kCrt15Radio, "15寸CRT", 800, 600, 32, 85},
    {kCrt17Radio, "17寸CRT", 1024, 768, 32, 85},
    {kCrt19Radio, "19寸CRT", 1280, 1024, 32, 85},
};

// 分组框2 "普通液晶"
const ResolutionPreset kLcdPresets[] = {
    {kLcd15Radio, "15寸LCD", 1024, 768, 32, 60},
    {kLcd17Radio, "17寸LCD", 1024, 768, 32, 60},
    {kLcd19Radio, "19寸LCD", 1280, 1024, 32, 60},
};

// 分组框3 "宽屏液晶"
const ResolutionPreset kWidescreenPresets[] = {
    {kWide17Radio, "17宽屏LCD", 1280, 720, 32, 60},
    {kWide19Radio, "19宽屏LCD", 1440, 900, 32, 60},
    {kWide22Radio, "22宽屏LCD", 1680, 1050, 32, 60},
};

// The groups are independent: one preset of each ticked group is applied,
// so the last group applied decides the mode.
const std::span<const ResolutionPreset> kPresetGroups[] = {kCrtPresets, kLcdPresets, kWidescreenPresets};

// The first ticked preset of each group is applied, in group order.
Plan PlanResolutionPresets(const Selection& selection) {
  PlanBuilder plan;
  for (std::span<const ResolutionPreset> group : kPresetGroups)
    for (const ResolutionPreset& preset : group) {
      if (!selection.Ticked(kSettingsWindow, preset.radio)) continue;
      plan.SetDisplayMode({preset.width, preset.height, preset.bits, preset.refresh});
      break;
    }
  if (plan.plan().steps.empty()) return RefusedPlan("请选择合适的分辨率！", kStyleStop, "提示");
  return plan.Finish();
}

}  // namespace

bool ResolutionPresetMode(ControlId radio, DisplayMode* mode) {
  for (std::span<const ResolutionPreset> group : kPresetGroups)
    for (const ResolutionPreset& preset : group)
      if (preset.radio == radio) {
        *mode = {preset.width, preset.height, preset.bits, preset.refresh};
        return true;
      }
  return false;
}

// The label is the window's report: it shows the mode the screen really
// has, so a refused mode shows as the old one, and no box is needed.
const Command kResolutionCommand = {"分辨率设置", nullptr, "", kDefaultMessageTitle, PlanResolutionPresets, true,
                                    CurrentDisplayModeText};

void ApplyResolutionPreset() {
  const CommandRun run = RunCommand(kResolutionCommand, WindowSelection());
  if (run.plan.refusal) ShowMessageBox(run.plan.refusal->text, run.plan.refusal->style, run.plan.refusal->title);
  ShowCurrentDisplayMode();
}

Text CurrentDisplayModeText() { return DisplayModeText(ScreenMode()); }

void ShowCurrentDisplayMode() { SetText(kSettingsWindow, kModeLabel, CurrentDisplayModeText()); }

}  // namespace lumeno
