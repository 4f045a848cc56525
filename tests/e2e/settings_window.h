// Starting the program and opening its settings window, for the end-to-end
// tests of the settings pages.
#pragma once

#include <windows.h>

#include <cstdint>

#include "driver.h"
#include "ui/control_ids.h"

namespace settings_window {

inline constexpr char kMainTitle[] = "Lumeno1.1";
inline constexpr char kTitle[] = "系统设置";
inline constexpr uint32_t kOpenButton = lumeno::main_controls::kSettingsButton;  // MainWindow 按钮4 "系统设置"
inline constexpr uint32_t kTabControl = lumeno::settings_controls::kTab;  // 选择夹1

inline constexpr int kResolutionPage = 0;
inline constexpr int kRelocationPage = 2;

// Starts C:\Lumeno\lumeno.exe and opens its settings window on page; the
// settings frame, or nullptr when a step failed.
inline HWND Open(driver::Program& program, int page = kResolutionPage) {
  if (!program.Start()) return nullptr;
  HWND main_window = program.WaitForWindow(kMainTitle);
  if (!main_window) return nullptr;
  HWND open_button = driver::WaitForControl(main_window, kOpenButton);
  if (!open_button || !driver::Click(open_button)) return nullptr;
  HWND settings = program.WaitForWindow(kTitle);
  if (!settings) return nullptr;
  if (page != kResolutionPage) {
    HWND tab = driver::WaitForControl(settings, kTabControl);
    if (!tab || !driver::SelectTab(tab, page)) return nullptr;
  }
  return settings;
}

}  // namespace settings_window
