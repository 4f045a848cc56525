// The Optimize command in the real program: tick boxes, press "开始优化",
// answer the message box, look at the registry and the folders.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "driver.h"
#include "platform/control_ids.h"
#include "support/expected_data.h"

namespace {

using lumeno::main_controls::kOptimizeButton;
constexpr uint32_t kBox1 = 0x160102B6, kBox6 = 0x160102B1, kBox10 = 0x160102AD, kBox11 = 0x160102AC;
constexpr uint32_t kBox24 = 0x16010299, kBox26 = 0x16010297;

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

std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

class OptimizeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(driver::kMainWindowTitle);
    ASSERT_NE(main_, nullptr);
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

TEST_F(OptimizeCommand, ChosenTweaksReachTheRegistryAndTheBoxesStayTicked) {
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_CURRENT_USER, kTypedUrls, "url1", "http://example.invalid/"));
  for (uint32_t id : {kBox1, kBox6, kBox10, kBox11, kBox24}) Tick(id);

  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text, kDoneText);
  EXPECT_TRUE(box.has_icon);

  auto sfc = driver::ReadRegistryValue(HKEY_LOCAL_MACHINE, kWinlogon, "SFCDisable");
  ASSERT_TRUE(sfc.has_value());
  EXPECT_EQ(sfc->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(sfc->bytes, Dword(0xFFFFFF9Du));
  auto wait = driver::ReadRegistryValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control",
                                        "WaitToKillServiceTimeout");
  ASSERT_TRUE(wait.has_value());
  EXPECT_EQ(wait->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(wait->bytes, std::string("500", 4));
  auto prefetcher = driver::ReadRegistryValue(
      HKEY_LOCAL_MACHINE,
      "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters", "EnablePrefetcher");
  ASSERT_TRUE(prefetcher.has_value());
  EXPECT_EQ(prefetcher->bytes, Dword(1));
  auto printers = driver::ReadRegistryValue(
      HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace", "");
  ASSERT_TRUE(printers.has_value());
  EXPECT_EQ(printers->bytes, std::string("Printers", 9));
  auto caption = driver::ReadRegistryValue(
      HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system", "legalnoticecaption");
  ASSERT_TRUE(caption.has_value());
  EXPECT_EQ(caption->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(caption->bytes, std::string(1, '\0'));
  EXPECT_FALSE(driver::RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrls));
  // Box 16 was not ticked: its values were not written.
  EXPECT_FALSE(driver::ReadRegistryValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0\\Common", "DWNeverUpload")
                   .has_value());
  for (uint32_t id : {kBox1, kBox6, kBox10, kBox11, kBox24})
    EXPECT_TRUE(driver::IsChecked(driver::FindControl(main_, id))) << std::hex << id;
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
  Tick(kBox26);
  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_FALSE(driver::PathExists(junk));
}

TEST_F(OptimizeCommand, AllItemsTickedEndWithTheCompletionMessage) {
  // Every box of tests/data/catalogue.tsv and cleaning_items.tsv.
  for (const std::string& id : expected::Distinct(expected::ReadTable("catalogue.tsv"), 1))
    Tick(static_cast<uint32_t>(expected::Number(id)));
  for (const std::string& id : expected::Distinct(expected::ReadTable("cleaning_items.tsv"), 0))
    Tick(static_cast<uint32_t>(expected::Number(id)));
  driver::MessageBoxContent box = RunAndAnswer();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text, kDoneText);
  auto autorun = driver::ReadRegistryValue(
      HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoDriveTypeAutoRun");
  ASSERT_TRUE(autorun.has_value());
  EXPECT_EQ(autorun->bytes, Dword(255));
}

}  // namespace
