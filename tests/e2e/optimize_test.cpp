// The Optimize command in the real program: tick boxes, press "开始优化",
// answer the message box, look at the registry and the folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/control_ids.h"
#include "support/expected_data.h"

namespace {

using lumeno::main_controls::kOptimizeButton;

// tests/data/catalogue.tsv: box name, id, step, root, item path, type, data;
// cleaning_items.tsv: box id, operation, kind.
const expected::Table& Catalogue() {
  static const expected::Table table = expected::ReadTable("catalogue.tsv");
  return table;
}
const expected::Table& Cleaning() {
  static const expected::Table table = expected::ReadTable("cleaning_items.tsv");
  return table;
}
uint32_t BoxNamed(const char* name) {
  return static_cast<uint32_t>(expected::Number(expected::RowsWhere(Catalogue(), 0, name).at(0).at(1)));
}
uint32_t CleaningBox(const char* operation, const char* kind) {
  return static_cast<uint32_t>(
      expected::Number(expected::RowsWhere(expected::RowsWhere(Cleaning(), 1, operation), 2, kind).at(0).at(0)));
}
// The values a catalogue row leaves, read back (nullopt when absent).
std::optional<driver::RegistryValue> Stored(const expected::Row& row) {
  const std::map<std::string, HKEY> roots = {
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS}};
  const expected::CatalogueValue v = expected::CatalogueValueOf(row);
  return driver::ReadRegistryValue(roots.at(v.root), v.key, v.name);
}

// GBK bytes of the two messages and their titles.
const std::string kDoneText =
    "\xB9\xA7\xCF\xB2\xC4\xFA\xA3\xAC\xC4\xE3\xD1\xA1\xD4\xF1\xB5\xC4\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xD2\xD1\xCD\xEA"
    "\xB3\xC9\xA3\xA1";
const std::string kDoneTitle = "\xCD\xEA\xB3\xC9";
const std::string kNothingText =
    "\xC4\xFA\xC3\xBB\xD3\xD0\xD1\xA1\xD4\xF1\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xA3\xAC\xC7\xEB\xD1\xA1\xD4\xF1\xBA\xF3"
    "\xD4\xD9\xB5\xA5\xBB\xF7\xD3\xC5\xBB\xAF\xB0\xB4\xC5\xA5\xA3\xA1";
const std::string kNothingTitle = "\xCC\xE1\xCA\xBE";

const char* const kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char* const kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

class OptimizeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(driver::kMainWindowTitle);
    // Once seen: no main window in time. Whether the program still ran tells a
    // start-up crash from a window that never showed.
    ASSERT_NE(main_, nullptr) << "the program " << (program_.IsRunning() ? "still runs" : "has ended") << ", exit code "
                              << program_.ExitCode() << ", windows: " << program_.TopLevelWindows().size();
    button_ = driver::WaitForControl(main_, kOptimizeButton);
    ASSERT_NE(button_, nullptr);
  }

  void Tick(uint32_t id) {
    HWND box = driver::FindControl(main_, id);
    ASSERT_NE(box, nullptr) << std::hex << id;
    ASSERT_TRUE(driver::SetChecked(box, true));
  }

  // Presses the button and returns the message box it leads to, having
  // checked that the button stays disabled while the box is up.
  driver::MessageBoxContent RunAndAnswer() {
    driver::MessageBoxContent content;
    EXPECT_TRUE(driver::PostClick(button_));
    HWND box = program_.WaitForMessageBox(30000);
    EXPECT_NE(box, nullptr);
    if (!box) return content;
    content = driver::ReadMessageBox(box);
    EXPECT_FALSE(driver::IsEnabled(button_)) << "the button must stay disabled while the box is up";
    driver::SaveScreenshot(GetDesktopWindow(), "optimize-message");
    EXPECT_TRUE(driver::AnswerMessageBox(box));
    EXPECT_TRUE(driver::WaitForEnabled(button_, true));
    return content;
  }

  driver::Program program_;
  HWND main_ = nullptr;
  HWND button_ = nullptr;
};

// Boxes 1, 6, 10 and 11 write a DWORD beyond 31 bits, default values and
// empty texts; the privacy cleaning of kind 0 deletes the typed addresses.
TEST_F(OptimizeCommand, ChosenTweaksReachTheRegistryAndTheBoxesStayTicked) {
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://example.invalid/"));
  const char* const chosen[] = {"选择框1", "选择框6", "选择框10", "选择框11"};
  std::vector<uint32_t> boxes = {CleaningBox("CleanPrivacyTraces", "0")};
  for (const char* name : chosen) boxes.push_back(BoxNamed(name));
  for (uint32_t id : boxes) Tick(id);

  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text, kDoneText);
  EXPECT_TRUE(box.has_icon);

  for (const char* name : chosen) {
    for (const expected::Row& row : expected::RowsWhere(Catalogue(), 0, name)) {
      if (!expected::WritableCatalogueRow(row)) continue;
      const auto stored = Stored(row);
      ASSERT_TRUE(stored.has_value()) << row.at(4);
      EXPECT_EQ(stored->type, expected::CatalogueValueOf(row).type) << row.at(4);
      EXPECT_EQ(stored->bytes, expected::CatalogueValueOf(row).bytes) << row.at(4);
    }
  }
  EXPECT_FALSE(driver::RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrls));
  // A box that was not ticked wrote nothing.
  for (const expected::Row& row : expected::RowsWhere(Catalogue(), 0, "选择框16"))
    EXPECT_FALSE(Stored(row).has_value()) << row.at(4);
  for (uint32_t id : boxes) EXPECT_TRUE(driver::IsChecked(driver::FindControl(main_, id))) << std::hex << id;
}

TEST_F(OptimizeCommand, NothingTickedSaysSoAndChangesNothing) {
  // Markers where a tweak and a cleaning item would write or delete.
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_LOCAL_MACHINE, kWinlogon, "SFCDisable", "marker"));
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://example.invalid/"));
  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kNothingTitle);
  EXPECT_EQ(box.text, kNothingText);
  EXPECT_TRUE(box.has_icon);
  auto sfc = driver::ReadRegistryValue(HKEY_LOCAL_MACHINE, kWinlogon, "SFCDisable");
  ASSERT_TRUE(sfc.has_value());
  EXPECT_EQ(sfc->bytes, std::string("marker", 7));
  EXPECT_TRUE(driver::RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrls));
}

TEST_F(OptimizeCommand, TemporaryFilesGoWhenTheirBoxIsTicked) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);  // the program inherits this process's environment
  const std::string junk = std::string(temp) + "lumeno-e2e-junk.tmp";
  ASSERT_TRUE(driver::WriteFileBytes(junk, "junk"));
  Tick(CleaningBox("CleanSystemJunk", "0"));
  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_FALSE(driver::PathExists(junk));
}

TEST_F(OptimizeCommand, AllItemsTickedEndWithTheCompletionMessage) {
  // Every box of tests/data/catalogue.tsv and cleaning_items.tsv.
  for (const std::string& id : expected::Distinct(Catalogue(), 1)) Tick(static_cast<uint32_t>(expected::Number(id)));
  for (const std::string& id : expected::Distinct(Cleaning(), 0)) Tick(static_cast<uint32_t>(expected::Number(id)));
  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text, kDoneText);
  const expected::Row& last = Catalogue().back();
  ASSERT_TRUE(Stored(last).has_value()) << last.at(4);
  EXPECT_EQ(Stored(last)->bytes, expected::CatalogueValueOf(last).bytes);
}

}  // namespace
