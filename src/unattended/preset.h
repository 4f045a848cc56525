// Preset files: a saved selection of the two windows, applied without them.
//
// An INI file (";" comments; GBK, UTF-8 or UTF-16 LE, see preset_text.h) whose
// sections and keys are the captions the user sees:
//   [优化]          the 26 item boxes of the main window, caption=1 / caption=0
//   [服务快速优化]  方案=<one of the five profile captions>
//   [可选服务]      the four boxes
//   [清系统]        the six boxes
//   [转资料]        目标=<folder> and the six boxes
//   [分辨率]        CRT显示器= / 普通液晶= / 宽屏液晶=<a preset caption of that group>;
//                   at most one of the three, as the nine buttons form one
//                   radio group in the window
//   [小工具]        生成ADSL=1
// Captions come from the window layouts, so a preset reads like the windows.
// The file is checked completely before anything runs. Portable.
#pragma once

#include <string_view>
#include <vector>

#include "plan/command.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

// One control state the section's handler will find.
struct PresetSetting {
  WindowId window;
  ControlId control;
  int index;  // kPropertyChecked or kPropertyText
  PropertyValue value;
};

struct Command;

// The preset's control states, standing in for the windows: what a section
// hands its commands. Controls the preset does not name read as unticked or
// empty, as in a freshly opened window.
class PresetSelection final : public Selection {
 public:
  explicit PresetSelection(const std::vector<PresetSetting>& settings) : settings_(settings) {}
  bool Ticked(WindowId window, ControlId control) const override {
    return Find(window, control, kPropertyChecked).number != 0;
  }
  Text TextOf(WindowId window, ControlId control) const override { return Find(window, control, kPropertyText).text; }

 private:
  PropertyValue Find(WindowId window, ControlId control, int index) const {
    for (const PresetSetting& setting : settings_)
      if (setting.window == window && setting.control == control && setting.index == index) return setting.value;
    return {};
  }
  const std::vector<PresetSetting>& settings_;
};

struct PlannedSection {
  Text name;               // "优化", as in the file
  int line = 0;            // the line of its header
  std::vector<PresetSetting> settings;
  std::vector<const Command*> commands;  // run in order; empty when the section selects nothing
  bool needs_administrator = false;
};

// The sections the file names, in the order the user would click them.
struct Preset {
  std::vector<PlannedSection> sections;
};

struct PresetError {
  int line = 0;
  Text message;  // what is wrong and what was expected (without file and line)
};

struct ParsedPreset {
  bool ok = false;
  Preset preset;
  PresetError error;
};

ParsedPreset ParsePreset(std::string_view file_bytes);

// "<path> 第 <line> 行：<message>"
Text PresetErrorLine(std::string_view path, const PresetError& error);

// The sections that change machine-wide state (HKEY_LOCAL_MACHINE, HKEY_USERS,
// services, shares, all-users files, the display mode): they need an
// administrator. Names in run order.
std::vector<Text> SectionsNeedingAdministrator(const Preset& preset);

// What a preset may say, section by section in run order, for the generated
// reference (scripts/docs).
struct PresetKeyDescription {
  const char* name;
  std::vector<const char*> choices;  // a choice: the captions it takes; empty: 1 or 0, or a text
  bool takes_text = false;           // 目标=<folder>
  bool needs_administrator = false;
};
struct PresetSectionDescription {
  const char* name;
  std::vector<PresetKeyDescription> keys;
};
std::vector<PresetSectionDescription> DescribePresets();

// The nearest of the candidates to text by edit distance over GBK characters
// (ASCII letters compared without case), or nullptr when none is near enough
// to be a likely typo.
const char* NearestCaption(std::string_view text, const std::vector<const char*>& candidates);

}  // namespace lumeno
