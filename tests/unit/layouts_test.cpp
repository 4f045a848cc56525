// Properties of the window layout tables that the handlers and the window
// engine rely on: tags, ids, parents, pages and event bindings.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/layouts.h"
#include "utilities/tool_launchers.h"

namespace lumeno {
namespace {

const WindowLayout& Main() { return *FindWindowLayout(kMainWindow); }
const WindowLayout& Settings() { return *FindWindowLayout(kSettingsWindow); }

const ControlRow& Named(const WindowLayout& layout, const std::string& name) {
  for (const ControlRow& row : layout.controls)
    if (name == row.name) return row;
  ADD_FAILURE() << "no control named " << name;
  static const ControlRow none{};
  return none;
}

TEST(LayoutsTest, BothWindowsAreKnownByTheirIds) {
  ASSERT_NE(FindWindowLayout(kMainWindow), nullptr);
  ASSERT_NE(FindWindowLayout(kSettingsWindow), nullptr);
  EXPECT_EQ(FindWindowLayout(0x12345678), nullptr);
  EXPECT_STREQ(Main().title, "Lumeno1.1");
  EXPECT_STREQ(Settings().title, "系统设置");
  EXPECT_EQ(std::string(Settings().title), "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3");  // GBK bytes
  EXPECT_NE(Main().icon_resource, Settings().icon_resource);
}

TEST(LayoutsTest, TagsOneToTwentySixFindExactlyTheItemBoxes) {
  std::set<ControlId> found;
  for (int tag = 1; tag <= 26; ++tag) {
    std::optional<ControlId> id = FindTaggedControl(Main(), tag);
    ASSERT_TRUE(id) << "tag " << tag;
    const ControlRow* row = FindControlRow(Main(), *id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->type, ControlType::kCheckBox) << row->name;
    EXPECT_FALSE(row->checked) << row->name;
    found.insert(*id);
  }
  EXPECT_EQ(found.size(), 26u);
  // Every check box of MainWindow but "反选" is an item.
  std::set<ControlId> boxes;
  for (const ControlRow& row : Main().controls)
    if (row.type == ControlType::kCheckBox && row.id != Named(Main(), "选择框27").id) boxes.insert(row.id);
  EXPECT_EQ(found, boxes);
  EXPECT_EQ(FindTaggedControl(Main(), 26), 0x16010296u);  // 选择框21 "IE临时文件"
  EXPECT_STREQ(FindControlRow(Main(), 0x16010296)->caption, "IE临时文件");
}

TEST(LayoutsTest, CleaningBoxTagsDoNotFollowTheirNames) {
  EXPECT_EQ(FindTaggedControl(Main(), 21), Named(Main(), "选择框22").id);
  EXPECT_EQ(FindTaggedControl(Main(), 22), Named(Main(), "选择框24").id);
  EXPECT_EQ(FindTaggedControl(Main(), 23), Named(Main(), "选择框25").id);
  EXPECT_EQ(FindTaggedControl(Main(), 24), Named(Main(), "选择框23").id);
  EXPECT_EQ(FindTaggedControl(Main(), 25), Named(Main(), "选择框26").id);
  for (int n = 1; n <= 20; ++n)
    EXPECT_EQ(FindTaggedControl(Main(), n), Named(Main(), "选择框" + std::to_string(n)).id) << n;
}

TEST(LayoutsTest, TagLookupMissesAndEmptyTags) {
  EXPECT_FALSE(FindTaggedControl(Main(), 27));
  EXPECT_FALSE(FindTaggedControl(Main(), -1));
  EXPECT_FALSE(FindTaggedControl(Settings(), 1));
  // An empty tag converts to 0, so tag 0 names the first untagged control.
  EXPECT_EQ(FindTaggedControl(Main(), 0), Main().controls.front().id);
}

TEST(LayoutsTest, ControlIdsAreUniqueWithinTheProgram) {
  std::map<uint32_t, std::string> seen;
  for (const WindowLayout& layout : AllWindowLayouts()) {
    std::set<std::string> names;
    for (const ControlRow& row : layout.controls) {
      EXPECT_TRUE(seen.emplace(row.id, row.name).second) << row.name << " repeats an id";
      EXPECT_TRUE(names.insert(row.name).second) << row.name << " repeats a name";
    }
    for (const MenuRow& item : layout.menu_items) EXPECT_TRUE(seen.emplace(item.id, item.caption).second);
  }
}

TEST(LayoutsTest, MenuItemsAreTellableApartByTheirLowSixteenBits) {
  // WM_COMMAND carries only the low word of a menu item's id.
  std::set<uint16_t> low_words;
  for (const MenuRow& item : Main().menu_items) {
    EXPECT_TRUE(low_words.insert(static_cast<uint16_t>(item.id & 0xFFFF)).second) << item.caption;
    EXPECT_NE(item.id & 0xFFFF, 2u) << "would read as IDCANCEL";
    EXPECT_NE(item.handler, nullptr);
  }
  ASSERT_EQ(Main().menu_items.size(), 5u);
  const char* order[] = {"注销", "重启", "关机", "介绍", "作者"};
  for (size_t i = 0; i < 5; ++i) EXPECT_STREQ(Main().menu_items[i].caption, order[i]);
  EXPECT_TRUE(Settings().menu_items.empty());
  EXPECT_EQ(Settings().menu_caption, nullptr);
}

TEST(LayoutsTest, ParentsAreContainersBuiltBeforeTheirChildren) {
  for (const WindowLayout& layout : AllWindowLayouts()) {
    std::set<ControlId> built;
    for (const ControlRow& row : layout.controls) {
      if (row.parent != kOnWindow) {
        EXPECT_TRUE(built.count(row.parent)) << row.name << " comes before its parent";
        const ControlRow* parent = FindControlRow(layout, row.parent);
        ASSERT_NE(parent, nullptr) << row.name;
        EXPECT_TRUE(parent->type == ControlType::kGroupBox || parent->type == ControlType::kTab) << row.name;
        EXPECT_EQ(parent->parent, kOnWindow) << "containers are not nested";
      }
      built.insert(row.id);
    }
  }
}

TEST(LayoutsTest, ExactlyTheControlsOnTheTabHaveAPage) {
  const ControlRow& tab = Named(Settings(), "选择夹1");
  ASSERT_EQ(tab.type, ControlType::kTab);
  int pages = static_cast<int>(Settings().tab_pages.size());
  ASSERT_EQ(pages, 5);
  EXPECT_STREQ(Settings().tab_pages[0], "分辨率");
  std::map<int, int> per_page;
  for (const WindowLayout& layout : AllWindowLayouts())
    for (const ControlRow& row : layout.controls) {
      bool on_tab = layout.id == kSettingsWindow && row.parent == tab.id;
      if (on_tab) {
        EXPECT_GE(row.page, 0) << row.name;
        EXPECT_LT(row.page, pages) << row.name;
        ++per_page[row.page];
      } else {
        EXPECT_EQ(row.page, kNoPage) << row.name;
      }
    }
  EXPECT_EQ(per_page, (std::map<int, int>{{0, 15}, {1, 13}, {2, 10}, {3, 8}, {4, 16}}));
}

TEST(LayoutsTest, RadioButtonsLiveOnlyOnTheFirstTwoPages) {
  int on_page[2] = {0, 0};
  for (const WindowLayout& layout : AllWindowLayouts())
    for (const ControlRow& row : layout.controls)
      if (row.type == ControlType::kRadioBox) {
        ASSERT_TRUE(row.page == 0 || row.page == 1) << row.name;
        EXPECT_FALSE(row.checked) << row.name;
        ++on_page[row.page];
      }
  EXPECT_EQ(on_page[0], 9);
  EXPECT_EQ(on_page[1], 5);
}

TEST(LayoutsTest, InitialStates) {
  int checked = 0;
  for (const WindowLayout& layout : AllWindowLayouts())
    for (const ControlRow& row : layout.controls) {
      if (row.checked) {
        ++checked;
        EXPECT_EQ(row.type, ControlType::kCheckBox);
      }
      EXPECT_TRUE(row.font_height == kGuiFont || row.font_height == -12 || row.font_height == -14) << row.name;
      if (row.type != ControlType::kTimer) {
        EXPECT_EQ(row.interval, 0) << row.name;
      }
    }
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(Named(Settings(), "选择框18").checked);
  EXPECT_STREQ(Named(Settings(), "编辑框1").caption, "D:\\Personal");
  EXPECT_EQ(Named(Main(), "时钟1").interval, 1500);
  EXPECT_EQ(Named(Settings(), "时钟1").interval, 0);
  // 60 hyphens make the separator line.
  EXPECT_EQ(std::string(Named(Main(), "标签2").caption), std::string(60, '-'));
  EXPECT_EQ(std::string(Named(Main(), "标签1").caption),
            "RAM\xC4\xDA\xB4\xE6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6\xA3\xA8" "0%\xA3\xA9\xA3\xBA");
}

TEST(LayoutsTest, EveryBindingNamesAControlThatCanRaiseItsEvent) {
  std::map<std::pair<WindowId, ControlId>, int> per_control;
  for (const EventBinding& binding : AllEventBindings()) {
    const WindowLayout* layout = FindWindowLayout(binding.window);
    ASSERT_NE(layout, nullptr);
    EXPECT_NE(binding.handler == nullptr, binding.handler_of_control == nullptr) << "exactly one handler";
    ++per_control[{binding.window, binding.control}];
    if (binding.event == Event::kCreated) {
      EXPECT_EQ(binding.control, 0u);
      continue;
    }
    const ControlRow* row = FindControlRow(*layout, binding.control);
    ASSERT_NE(row, nullptr) << std::hex << binding.control;
    switch (binding.event) {
      case Event::kClicked:
        EXPECT_TRUE(row->type == ControlType::kButton || row->type == ControlType::kCheckBox ||
                    row->type == ControlType::kRadioBox)
            << row->name;
        break;
      case Event::kTick:
        EXPECT_EQ(row->type, ControlType::kTimer) << row->name;
        break;
      case Event::kMouseDown:
        EXPECT_EQ(row->type, ControlType::kLabel) << row->name;
        break;
      case Event::kCreated:
        break;
    }
  }
  for (const auto& [key, count] : per_control) EXPECT_EQ(count, 1) << std::hex << key.second;
  // Both windows have a created handler and both timers tick.
  EXPECT_NE(FindEventBinding(kMainWindow, 0, Event::kCreated), nullptr);
  EXPECT_NE(FindEventBinding(kSettingsWindow, 0, Event::kCreated), nullptr);
  EXPECT_NE(FindEventBinding(kMainWindow, Named(Main(), "时钟1").id, Event::kTick), nullptr);
  EXPECT_NE(FindEventBinding(kSettingsWindow, Named(Settings(), "时钟1").id, Event::kTick), nullptr);
  EXPECT_NE(FindEventBinding(kSettingsWindow, Named(Settings(), "标签9").id, Event::kMouseDown), nullptr);
}

TEST(LayoutsTest, EveryButtonRunsAHandlerAndNoItemBoxDoes) {
  for (const WindowLayout& layout : AllWindowLayouts())
    for (const ControlRow& row : layout.controls) {
      const EventBinding* click = FindEventBinding(layout.id, row.id, Event::kClicked);
      if (row.type == ControlType::kButton) {
        EXPECT_NE(click, nullptr) << row.name;
      }
      if (row.type == ControlType::kRadioBox) {
        EXPECT_EQ(click, nullptr) << row.name;
      }
    }
  for (int tag = 1; tag <= 26; ++tag)
    EXPECT_EQ(FindEventBinding(kMainWindow, *FindTaggedControl(Main(), tag), Event::kClicked), nullptr);
}

TEST(LayoutsTest, TheFifteenLauncherButtonsShareTheLauncherHandler) {
  std::set<std::string> launchers;
  for (const EventBinding& binding : AllEventBindings())
    if (binding.handler_of_control) {
      EXPECT_EQ(binding.handler_of_control, &LaunchTool);
      EXPECT_EQ(binding.event, Event::kClicked);
      launchers.insert(FindControlRow(*FindWindowLayout(binding.window), binding.control)->name);
    }
  std::set<std::string> expected;
  for (int n = 11; n <= 25; ++n) expected.insert("按钮" + std::to_string(n));
  EXPECT_EQ(launchers, expected);
}

TEST(LayoutsTest, FindEventBindingMatchesWindowControlAndEvent) {
  ControlId optimize = Named(Main(), "按钮1").id;
  EXPECT_NE(FindEventBinding(kMainWindow, optimize, Event::kClicked), nullptr);
  EXPECT_EQ(FindEventBinding(kMainWindow, optimize, Event::kMouseDown), nullptr);
  EXPECT_EQ(FindEventBinding(kSettingsWindow, optimize, Event::kClicked), nullptr);
  EXPECT_FALSE(RunEventHandler(kMainWindow, 0x0BADF00D, Event::kClicked));
}

}  // namespace
}  // namespace lumeno
