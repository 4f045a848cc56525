// The Optimize command: the tweak catalogue and its worker thread.
#pragma once

#include <span>

#include "plan/command.h"
#include "platform/platform.h"
#include "ui/control_ids.h"

namespace lumeno {

// How a catalogue value reaches the registry: a number is kept as its text
// and goes through ToNumber just before the write (so "4294967197" becomes
// DWORD 0xFFFFFF9D); a text is stored as REG_SZ exactly as written.
enum class TweakData { kText, kNumber };

struct TweakWrite {
  int root;               // WriteRegistryItem root number: 3 HKCU, 4 HKLM, 5 HKU
  const char* item_path;  // "Key\Path\Value"; a trailing backslash names the default value
  TweakData kind;
  const char* data;
};

struct TweakItem {
  const char* name;  // the check box's name in the window layout
  ControlId box;
  const char* caption;
  std::span<const TweakWrite> writes;  // in step order
};

// The twenty tweak boxes in the order the worker applies them.
std::span<const TweakItem> TweakCatalogue();
std::span<const ControlId> TweakBoxes();

// What the box writes, a value a line: "<root>\<key>\<value> = <data>".
Text TweakTooltipText(ControlId box);

// Adds one box's writes to a plan, in step order; rows no Windows can write
// (IsUnloadedUsersHive) are left out.
void AddTweak(const TweakItem& item, PlanBuilder& plan);

// The Optimize command: the ticked tweak boxes' writes, then the ticked
// cleaning items.
extern const Command kOptimizeCommand;

// Click handler of 按钮1 "开始优化": disables the button and starts the worker.
void RunOptimize();

// Thread routine started by RunOptimize.
void OptimizeWorker();

}  // namespace lumeno
