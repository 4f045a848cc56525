// The window tables against tests/data/layout_controls.tsv, layout_windows.tsv
// and event_bindings.tsv (every field of every row), and the look-ups the
// handlers and the window engine rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "app/layouts.h"
#include "app/main_window.h"
#include "hung_programs/hung_programs.h"
#include "hung_programs/hung_programs.h"
#include "app/settings_window.h"
#include "cleaning/cleanup_scripts.h"
#include "cleaning/empty_folder_sweep.h"
#include "memory/memory.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "support/expected_data.h"
#include "tweaks/optimize.h"
#include "utilities/broadband.h"
#include "utilities/display_presets.h"
#include "utilities/session.h"
#include "utilities/tool_launchers.h"
#include "ui/control_ids.h"

namespace lumeno {
namespace {

using expected::Row;

std::string Hex(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", id);
  return text;
}

// The words the expected files use for what the tables hold as enums and pointers.
const std::map<ControlType, std::string> kTypeNames = {
    {ControlType::kButton, "Button"},   {ControlType::kCheckBox, "CheckBox"},     {ControlType::kRadioBox, "RadioBox"},
    {ControlType::kLabel, "Label"},     {ControlType::kTransLabel, "TransLabel"}, {ControlType::kEditBox, "EditBox"},
    {ControlType::kGroupBox, "GroupBox"}, {ControlType::kProcessBar, "ProcessBar"}, {ControlType::kTab, "Tab"},
    {ControlType::kTimer, "Timer"},
};
const std::map<Event, std::string> kEventNames = {
    {Event::kCreated, "created"}, {Event::kClicked, "clicked"}, {Event::kTick, "tick"}, {Event::kMouseDown, "mouse down"}};
const std::map<std::string, void (*)()> kHandlers = {
    {"TrimOwnWorkingSet", TrimOwnWorkingSet},
    {"RunOptimize", RunOptimize},
    {"CloseHungPrograms", CloseHungPrograms},
    {"RunEmptyFolderSweep", RunEmptyFolderSweep},
    {"OpenSettingsWindow", OpenSettingsWindow},
    {"InvertItemSelection", InvertItemSelection},
    {"UpdateMemoryGauge", UpdateMemoryGauge},
    {"InitSettingsWindow", InitSettingsWindow},
    {"StartTrimPass", StartTrimPass},
    {"ToggleMemoryOptimisation", ToggleMemoryOptimisation},
    {"EjectCdTray", EjectCdTray},
    {"CloseCdTray", CloseCdTray},
    {"ApplyResolutionPreset", ApplyResolutionPreset},
    {"ApplyServiceProfile", ApplyServiceProfile},
    {"StartSelectedServices", StartSelectedServices},
    {"RelocateUserFolders", RelocateUserFolders},
    {"BrowseRelocationTarget", BrowseRelocationTarget},
    {"RunSystemCleanup", RunSystemCleanup},
    {"SelectAllCleanupItems", SelectAllCleanupItems},
    {"CreateBroadbandEntry", CreateBroadbandEntry},
    {"LogOff", LogOff},
    {"Restart", Restart},
    {"ShutDown", ShutDown},
    {"ShowAbout", ShowAbout},
    {"OpenAuthorPage", OpenAuthorPage},
};

std::string HandlerName(void (*handler)()) {
  for (const auto& [name, function] : kHandlers)
    if (function == handler) return name;
  return "(unknown)";
}

class LayoutsTest : public ::testing::Test {
 protected:
  void SetUp() override { UseWindowLayouts(ProgramWindowLayouts(), ProgramEventBindings()); }
  static const WindowLayout& Main() { return *FindWindowLayout(kMainWindow); }
  static const WindowLayout& Settings() { return *FindWindowLayout(kSettingsWindow); }
};

// A control row in the columns of layout_controls.tsv.
Row AsListed(const WindowLayout& layout, const ControlRow& row) {
  const ControlRow* parent = FindControlRow(layout, row.parent);
  return {Hex(layout.id),
          row.name,
          kTypeNames.at(row.type),
          Hex(row.id),
          row.caption,
          std::to_string(row.left),
          std::to_string(row.top),
          std::to_string(row.width),
          std::to_string(row.height),
          row.parent == kOnWindow ? "window" : parent ? parent->name : Hex(row.parent),
          row.page == kNoPage ? "-" : std::to_string(row.page),
          *row.tag ? row.tag : "-",
          std::to_string(row.font_height),
          row.blue_text ? "blue" : "-",
          row.checked ? "checked" : "-",
          std::to_string(row.interval)};
}

TEST_F(LayoutsTest, EveryControlIsAsListedInCreationOrder) {
  std::vector<Row> listed = expected::ReadTable("layout_controls.tsv"), built;
  for (const WindowLayout& layout : AllWindowLayouts())
    for (const ControlRow& row : layout.controls) built.push_back(AsListed(layout, row));
  ASSERT_EQ(built.size(), listed.size());
  for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(built[i], listed[i]) << "control " << i;
}

TEST_F(LayoutsTest, FramesMenuAndPagesAreAsListed) {
  std::vector<Row> listed = expected::ReadTable("layout_windows.tsv"), built;
  for (const WindowLayout& layout : AllWindowLayouts())
    built.push_back({"window", Hex(layout.id), layout.title, std::to_string(layout.outer_width),
                     std::to_string(layout.outer_height)});
  built.push_back({"menu", Hex(Main().menu_id), Main().menu_caption, "-"});
  for (const MenuRow& item : Main().menu_items) built.push_back({"menu", Hex(item.id), item.caption, HandlerName(item.handler)});
  for (size_t page = 0; page < Settings().tab_pages.size(); ++page)
    built.push_back({"page", std::to_string(page), Settings().tab_pages[page]});
  EXPECT_EQ(built, listed);
  EXPECT_EQ(Settings().menu_caption, nullptr);
  EXPECT_NE(Main().icon_resource, Settings().icon_resource);
}

TEST_F(LayoutsTest, EveryEventRunsItsListedHandlerAndNoOtherEventHasOne) {
  std::vector<Row> listed = expected::ReadTable("event_bindings.tsv"), built;
  for (const EventBinding& binding : AllEventBindings()) {
    EXPECT_NE(binding.handler == nullptr, binding.handler_of_control == nullptr) << "exactly one handler";
    std::string handler = binding.handler_of_control == &LaunchTool ? "LaunchTool" : HandlerName(binding.handler);
    built.push_back({Hex(binding.window), binding.control ? Hex(binding.control) : "0", kEventNames.at(binding.event),
                     handler});
  }
  std::sort(built.begin(), built.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(built, listed);
}

TEST_F(LayoutsTest, MenuItemsAreTellableApartByTheirLowSixteenBits) {
  // WM_COMMAND carries only the low word of a menu item's id.
  std::set<uint16_t> low_words;
  for (const MenuRow& item : Main().menu_items) {
    EXPECT_TRUE(low_words.insert(static_cast<uint16_t>(item.id & 0xFFFF)).second) << item.caption;
    EXPECT_NE(item.id & 0xFFFF, 2u) << "would read as IDCANCEL";
  }
}

// ---------------------------------------------------------------------------
// Look-ups

TEST_F(LayoutsTest, TagsOneToTwentySixFindTheListedItemBoxes) {
  for (const Row& row : expected::ReadTable("layout_controls.tsv")) {
    if (row.at(11) == "-") continue;
    std::optional<ControlId> found = FindTaggedControl(*FindWindowLayout(expected::Number(row.at(0))), std::stoi(row.at(11)));
    ASSERT_TRUE(found) << row.at(1);
    EXPECT_EQ(Hex(*found), row.at(3)) << row.at(1);
  }
  EXPECT_FALSE(FindTaggedControl(Main(), 27));
  EXPECT_FALSE(FindTaggedControl(Main(), -1));
  EXPECT_FALSE(FindTaggedControl(Settings(), 1));
  // An empty tag converts to 0, so tag 0 names the first untagged control.
  EXPECT_EQ(FindTaggedControl(Main(), 0), Main().controls.front().id);
}

TEST_F(LayoutsTest, FindEventBindingMatchesWindowControlAndEvent) {
  EXPECT_NE(FindEventBinding(kMainWindow, main_controls::kOptimizeButton, Event::kClicked), nullptr);
  EXPECT_EQ(FindEventBinding(kMainWindow, main_controls::kOptimizeButton, Event::kMouseDown), nullptr);
  EXPECT_EQ(FindEventBinding(kSettingsWindow, main_controls::kOptimizeButton, Event::kClicked), nullptr);
  EXPECT_EQ(FindWindowLayout(0x12345678), nullptr);
  EXPECT_FALSE(RunEventHandler(kMainWindow, 0x0BADF00D, Event::kClicked));
}

}  // namespace
}  // namespace lumeno
