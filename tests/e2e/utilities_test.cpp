// The utilities in the real program: the broadband entry's two files and two
// commands, the tool launchers, the CD tray buttons and the about box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/broadband_expected.h"
#include "driver.h"
#include "ui/control_ids.h"
#include "support/texts.h"

namespace {

using lumeno::main_controls::kSettingsButton;
constexpr uint32_t kSettingsTab = lumeno::settings_controls::kTab;
constexpr int kToolsPage = 4;                      // "小工具"
using lumeno::settings_controls::kBroadbandButton;
constexpr uint32_t kRegeditButton = 0x160102DA;    // 按钮11 "注册表"
constexpr uint32_t kDeviceManagerButton = 0x160102D6;  // 按钮15 "设备管理"
constexpr uint32_t kServicesButton = 0x160102D4;   // 按钮17 "服务配置"
constexpr uint32_t kChkdskButton = 0x160102D3;     // 按钮18 "磁盘检测"
constexpr uint32_t kScheduledTasksButton = 0x160102CE;  // 按钮23 "计划任务"
using lumeno::settings_controls::kEjectButton;
using lumeno::settings_controls::kCloseTrayButton;
constexpr uint16_t kAboutMenuItem = 0x02BD;  // low word of the menu item "介绍"

// GBK bytes.
const std::string kSettingsTitle = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";  // 系统设置
const std::string kDoneText =
    "\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3\xD2\xD1\xB3\xC9\xB9\xA6\xBD\xA8\xC1\xA2\xA3\xA1";  // 宽带连接已成功建立！
const std::string kDoneTitle = "\xCC\xE1\xCA\xBE";  // 提示
const std::string kAboutText =
    "\xD3\xC9\xD3\xDA\xB1\xBE\xC8\xCB\xCB\xAE\xC6\xBD\xD3\xD0\xCF\xDE\xB3\xCC\xD0\xF2\xC4\xD1\xC3\xE2\xD3\xD0"
    "Bug\xA3\xAC\xC7\xEB\xCE\xF0\xD4\xF0\xC4\xD1\xA3\xA1";
const std::string kAboutTitle = texts::kDefaultTitle;

const std::string kAllUsers = "C:\\Documents and Settings\\All Users";
const std::string kPhonebookFolder = kAllUsers + "\\Application Data\\Microsoft\\Network\\Connections\\Pbk";
const std::string kPhonebook = kPhonebookFolder + "\\rasphone.pbk";
const std::string kDesktopFolder = kAllUsers + "\\\xD7\xC0\xC3\xE6";                         // 桌面
const std::string kShortcut = kDesktopFolder + "\\\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3.lnk";  // 宽带连接.lnk

// Creates every missing folder of the path.
bool CreateFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); ; at = path.find('\\', at + 1)) {
    std::string part = path.substr(0, at);
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (at == std::string::npos) return true;
  }
}

std::string Section() { return broadband_expected::Phonebook().substr(5); }

class Utilities : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(driver::kMainWindowTitle);
    ASSERT_NE(main_, nullptr);
  }

  // Opens the settings window on the page "小工具".
  void OpenToolsPage() {
    HWND button = driver::WaitForControl(main_, kSettingsButton);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(driver::PostClick(button));
    settings_ = program_.WaitForWindow(kSettingsTitle);
    ASSERT_NE(settings_, nullptr);
    HWND tab = driver::WaitForControl(settings_, kSettingsTab);
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(driver::SelectTab(tab, kToolsPage));
  }

  HWND SettingsControl(uint32_t id) {
    HWND control = driver::WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  // Presses the broadband button and answers its box, returning what it showed.
  driver::MessageBoxContent PressBroadband() {
    driver::MessageBoxContent content;
    EXPECT_TRUE(driver::PostClick(SettingsControl(kBroadbandButton)));
    HWND box = program_.WaitForMessageBox(30000);
    EXPECT_NE(box, nullptr);
    if (!box) return content;
    content = driver::ReadMessageBox(box);
    EXPECT_TRUE(driver::AnswerMessageBox(box));
    return content;
  }

  driver::Program program_;
  HWND main_ = nullptr;
  HWND settings_ = nullptr;
};

TEST_F(Utilities, BroadbandButtonWritesBothFilesStartsTheTelephonyServiceAndReports) {
  ASSERT_TRUE(CreateFolders(kPhonebookFolder));
  ASSERT_TRUE(CreateFolders(kDesktopFolder));
  ASSERT_TRUE(driver::InstallStandIn("sc"));
  ASSERT_TRUE(driver::InstallStandIn("net"));
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());

  driver::MessageBoxContent box = PressBroadband();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text, kDoneText);
  EXPECT_TRUE(box.has_icon);
  driver::SaveScreenshot(GetDesktopWindow(), "utilities-broadband");

  const std::string phonebook = driver::ReadFileBytes(kPhonebook).value_or("(missing)");
  const std::string shortcut = driver::ReadFileBytes(kShortcut).value_or("(missing)");
  EXPECT_EQ(phonebook.size(), 1616u);
  EXPECT_EQ(phonebook, broadband_expected::Phonebook());
  EXPECT_EQ(shortcut.size(), 524u);
  EXPECT_EQ(shortcut, broadband_expected::Shortcut());

  // Both commands ran hidden, in order, before the box (the handler waits for each).
  const std::vector<driver::RecordedRun> sc = driver::ReadStandInRuns("sc");
  const std::vector<driver::RecordedRun> net = driver::ReadStandInRuns("net");
  ASSERT_EQ(sc.size(), 1u);
  ASSERT_EQ(net.size(), 1u);
  EXPECT_EQ(sc[0].command_line, "sc config  TapiSrv start= auto");
  EXPECT_EQ(net[0].command_line, "net start TapiSrv");
  for (const driver::RecordedRun& run : {sc[0], net[0]}) {
    EXPECT_TRUE(run.show_window_set);
    EXPECT_EQ(run.show_window, SW_HIDE);
  }

  // A second press leaves the same two files and runs the commands again.
  box = PressBroadband();
  EXPECT_EQ(box.text, kDoneText);
  EXPECT_EQ(driver::ReadFileBytes(kPhonebook), phonebook);
  EXPECT_EQ(driver::ReadFileBytes(kShortcut), shortcut);
  EXPECT_EQ(driver::ReadStandInRuns("sc").size(), 2u);
  EXPECT_EQ(driver::ReadStandInRuns("net").size(), 2u);
}

TEST_F(Utilities, BroadbandButtonKeepsTheUsersOtherConnections) {
  ASSERT_TRUE(CreateFolders(kPhonebookFolder));
  // No desktop folder (the tests share one prefix; an earlier one may have made it).
  DeleteFileA(kShortcut.c_str());
  RemoveDirectoryA(kDesktopFolder.c_str());
  ASSERT_FALSE(driver::PathExists(kDesktopFolder));
  const std::string others = "\xEF\xBB\xBF\r\n[Office VPN]\r\nEncoding=1\r\nType=2\r\n\r\n"
                             "[\xE5\xAE\xBD\xE5\xB8\xA6\xE8\xBF\x9E\xE6\x8E\xA5]\r\nPhoneNumber=old\r\n\r\n"
                             "[Modem]\r\nType=1\r\n";
  ASSERT_TRUE(driver::WriteFileBytes(kPhonebook, others));
  ASSERT_TRUE(driver::InstallStandIn("sc"));
  ASSERT_TRUE(driver::InstallStandIn("net"));
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());

  // The shortcut cannot be written, and the box says so.
  const driver::MessageBoxContent box = PressBroadband();
  EXPECT_EQ(box.title, kDoneTitle);
  EXPECT_EQ(box.text.rfind("宽带连接建立完成，但有 1 项未能执行：\r\n" + kShortcut + "：", 0), 0u) << box.text;
  EXPECT_FALSE(driver::PathExists(kShortcut));
  EXPECT_EQ(driver::ReadFileBytes(kPhonebook),
            "\xEF\xBB\xBF\r\n[Office VPN]\r\nEncoding=1\r\nType=2\r\n\r\n" + Section() + "[Modem]\r\nType=1\r\n");
}

// Another program holding the phone book: one that only reads it lets the
// program read it but not replace it; one that writes it lets nobody read.
// Either way the phone book keeps its bytes, no half-written copy is left
// beside it, and the box reports the failure instead of success.
TEST_F(Utilities, APhoneBookHeldOpenByAnotherProcessKeepsItsBytes) {
  struct Case {
    const char* name;
    DWORD access;
    DWORD sharing;
    bool read_refused;  // the program could not even read it
  };
  const Case cases[] = {
      {"held for reading", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {"held for writing", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true},
  };
  ASSERT_TRUE(CreateFolders(kPhonebookFolder));
  ASSERT_TRUE(CreateFolders(kDesktopFolder));
  ASSERT_TRUE(driver::InstallStandIn("sc"));
  ASSERT_TRUE(driver::InstallStandIn("net"));
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());
  const std::string others = "\xEF\xBB\xBF\r\n[Office VPN]\r\nEncoding=1\r\nType=2\r\n\r\n";
  for (const Case& c : cases) {
    ASSERT_TRUE(driver::WriteFileBytes(kPhonebook, others)) << c.name;
    HANDLE held = CreateFileA(kPhonebook.c_str(), c.access, c.sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << c.name;
    const driver::MessageBoxContent box = PressBroadband();
    CloseHandle(held);
    EXPECT_EQ(box.title, kDoneTitle) << c.name;
    const std::string line = "\r\n" + kPhonebook + "：";
    EXPECT_EQ(box.text.rfind("宽带连接建立完成，但有 1 项未能执行：" + line, 0), 0u) << c.name << ": " << box.text;
    EXPECT_EQ(box.text.find("；电话簿未更改") != std::string::npos, c.read_refused) << c.name << ": " << box.text;
    EXPECT_EQ(driver::ReadFileBytes(kPhonebook), others) << c.name;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((kPhonebookFolder + "\\*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::vector<std::string> names;
    do {
      if (entry.cFileName[0] != '.') names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    EXPECT_EQ(names, (std::vector<std::string>{"rasphone.pbk"})) << c.name << ": a new file was left behind";
  }
}

TEST_F(Utilities, CommandLineLaunchersStartTheirToolsShownNormallyWithoutWaiting) {
  for (const char* tool : {"regedit", "chkdsk", "explorer"}) ASSERT_TRUE(driver::InstallStandIn(tool));
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());

  ASSERT_TRUE(driver::Click(SettingsControl(kRegeditButton)));
  ASSERT_TRUE(driver::Click(SettingsControl(kChkdskButton)));
  ASSERT_TRUE(driver::Click(SettingsControl(kChkdskButton)));
  ASSERT_TRUE(driver::Click(SettingsControl(kScheduledTasksButton)));
  ASSERT_TRUE(driver::WaitForStandInRuns("regedit", 1));
  ASSERT_TRUE(driver::WaitForStandInRuns("chkdsk", 2));
  ASSERT_TRUE(driver::WaitForStandInRuns("explorer", 1));

  const std::vector<driver::RecordedRun> regedit = driver::ReadStandInRuns("regedit");
  const std::vector<driver::RecordedRun> chkdsk = driver::ReadStandInRuns("chkdsk");
  const std::vector<driver::RecordedRun> explorer = driver::ReadStandInRuns("explorer");
  ASSERT_EQ(regedit.size(), 1u);
  ASSERT_EQ(chkdsk.size(), 2u);
  ASSERT_EQ(explorer.size(), 1u);
  EXPECT_EQ(regedit[0].command_line, "regedit.exe");
  EXPECT_EQ(chkdsk[0].command_line, "chkdsk.exe");
  EXPECT_EQ(chkdsk[1].command_line, "chkdsk.exe");
  EXPECT_EQ(explorer[0].command_line,
            "explorer.exe ::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}"
            "\\::{D6277990-4C6A-11CF-8D87-00AA0060F5BF}");
  for (const auto& runs : {regedit, chkdsk, explorer})
    for (const driver::RecordedRun& run : runs) {
      EXPECT_TRUE(run.show_window_set);
      EXPECT_EQ(run.show_window, SW_SHOWNORMAL);
    }
  EXPECT_TRUE(program_.NoMessageBoxWithin(200));
}

TEST_F(Utilities, ShellLaunchersOpenTheirFilesThroughTheFileType) {
  // A snap-in type whose open command is a stand-in, and the two snap-ins
  // beside the program (the program's directory is its current directory).
  ASSERT_TRUE(driver::InstallStandIn("mmc"));
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_CLASSES_ROOT, ".msc", "", "MSCFile"));
  ASSERT_TRUE(driver::WriteRegistryText(HKEY_CLASSES_ROOT, "MSCFile\\shell\\open\\command", "",
                                        "C:\\Lumeno\\mmc.exe \"%1\""));
  ASSERT_TRUE(driver::WriteFileBytes("C:\\Lumeno\\devmgmt.msc", "x"));
  ASSERT_TRUE(driver::WriteFileBytes("C:\\Lumeno\\services.msc", "x"));
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());

  ASSERT_TRUE(driver::Click(SettingsControl(kDeviceManagerButton)));  // verb "open"
  ASSERT_TRUE(driver::WaitForStandInRuns("mmc", 1));
  ASSERT_TRUE(driver::Click(SettingsControl(kServicesButton)));  // the type's default verb
  ASSERT_TRUE(driver::WaitForStandInRuns("mmc", 2));
  const std::vector<driver::RecordedRun> runs = driver::ReadStandInRuns("mmc");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[0].command_line.find("devmgmt.msc"), std::string::npos) << runs[0].command_line;
  EXPECT_NE(runs[1].command_line.find("services.msc"), std::string::npos) << runs[1].command_line;
  EXPECT_TRUE(program_.NoMessageBoxWithin(200));
}

TEST_F(Utilities, TrayButtonsReturnWithoutAMessage) {
  ASSERT_NO_FATAL_FAILURE(OpenToolsPage());
  // No CD drive here: each command fails at once and nothing is shown.
  EXPECT_TRUE(driver::Click(SettingsControl(kEjectButton)));
  EXPECT_TRUE(driver::Click(SettingsControl(kCloseTrayButton)));
  EXPECT_TRUE(program_.NoMessageBoxWithin(300));
  EXPECT_TRUE(program_.IsRunning());
}

TEST_F(Utilities, AboutShowsItsTextWithTheDefaultTitleAndNoIcon) {
  ASSERT_TRUE(PostMessageA(main_, WM_COMMAND, MAKEWPARAM(kAboutMenuItem, 0), 0));
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const driver::MessageBoxContent content = driver::ReadMessageBox(box);
  EXPECT_EQ(content.title, kAboutTitle);
  EXPECT_EQ(content.text, kAboutText);
  EXPECT_FALSE(content.has_icon);
  driver::SaveScreenshot(GetDesktopWindow(), "utilities-about");
  ASSERT_TRUE(driver::AnswerMessageBox(box));
  EXPECT_TRUE(program_.NoMessageBoxWithin(200));
  EXPECT_TRUE(program_.IsRunning());
}

}  // namespace
