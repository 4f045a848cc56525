// Helpers of the end-to-end tests that work the program's two windows: open
// the settings window on a page, press a button that ends in one message box
// and read that box, install a stand-in that fails for one command line.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "ui/control_ids.h"

namespace lumeno_e2e {

using lumeno::main_controls::kSettingsButton;
inline constexpr uint32_t kSettingsTab = lumeno::settings_controls::kTab;  // SettingsWindow 选择夹1
inline constexpr char kSettingsTitle[] = "系统设置";
inline constexpr int kPageServices = 1;  // "XP优化"
inline constexpr int kPageCleanup = 3;   // "清系统"

// Starts the program and returns its main window (nullptr on failure).
inline HWND StartProgram(driver::Program& program) {
  if (!program.Start()) return nullptr;
  return program.WaitForWindow(driver::kMainWindowTitle);
}

// Opens the settings window from the main window and shows page; nullptr on failure.
inline HWND OpenSettingsPage(driver::Program& program, HWND main_window, int page) {
  HWND button = driver::WaitForControl(main_window, kSettingsButton);
  if (!button || !driver::PostClick(button)) return nullptr;
  HWND settings = program.WaitForWindow(kSettingsTitle);
  if (!settings) return nullptr;
  HWND tab = driver::WaitForControl(settings, kSettingsTab);
  if (!tab || !driver::SelectTab(tab, page)) return nullptr;
  return settings;
}

// Presses button (its handler blocks until the box is answered), waits for
// the one message box at its end, reads and answers it.
inline driver::MessageBoxContent PressAndReadMessage(const driver::Program& program, HWND button,
                                                     driver::Millis timeout = 180000) {
  driver::MessageBoxContent content;
  EXPECT_TRUE(driver::PostClick(button));
  HWND box = program.WaitForMessageBox(timeout);
  EXPECT_NE(box, nullptr) << "no message box";
  if (!box) return content;
  content = driver::ReadMessageBox(box);
  EXPECT_TRUE(driver::AnswerMessageBox(box));
  return content;
}

// Puts failing_stand_in.exe beside the program as <name>.exe: it records like
// recorder.exe and exits with exit_code when its command line contains
// failing_text (an empty text: every command line), 0 otherwise. Proves that
// it does so before the test relies on it.
inline bool InstallFailingStandIn(const std::string& name, const std::string& failing_text, DWORD exit_code = 1) {
  std::string base = std::string(driver::kProgramDirectory) + "\\" + name;
  std::string source = std::string(driver::kTestDirectory) + "\\failing_stand_in.exe";
  if (!CopyFileA(source.c_str(), (base + ".exe").c_str(), FALSE)) return false;
  if (!driver::WriteFileBytes(base + ".fail", std::to_string(exit_code) + "\t" + failing_text)) return false;
  DWORD codes[2] = {99, 99};
  const std::string probes[2] = {failing_text, "other"};
  for (int i = 0; i < 2; ++i) {
    driver::Program probe;
    if (!probe.Start(base + ".exe " + probes[i]) || !probe.WaitForExit()) return false;
    codes[i] = probe.ExitCode();
  }
  DeleteFileA((base + ".log").c_str());
  return codes[0] == exit_code && codes[1] == (failing_text.empty() ? exit_code : 0);
}

}  // namespace lumeno_e2e
