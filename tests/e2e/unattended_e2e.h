// Shared by the end-to-end tests of unattended mode: what a run changed (the
// registry, files and the recording stand-ins' command lines), putting the
// machine back as it was, clicking a preset's selection through the windows,
// and a run of "lumeno.exe /apply" watched for windows.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"
#include "ui/control_ids.h"
#include "support/preset_sections.h"
#include "support/windows_support.h"
#include "ui/controls.h"

namespace unattended_e2e {

using namespace driver;
using namespace lumeno_e2e;
using support::PresetSection;

inline constexpr char kTools[][9] = {"sc", "net", "cmd", "reg", "regsvr32"};

inline void InstallStandIns() {
  for (const char* tool : kTools) ASSERT_TRUE(InstallStandIn(tool)) << tool;
  ASSERT_TRUE(PointComSpecAt("cmd"));
}

// Every tool's recorded runs as "tool|show|command line", in order per tool.
inline std::vector<std::string> StandInRuns() {
  std::vector<std::string> runs;
  for (const char* tool : kTools)
    for (const RecordedRun& run : ReadStandInRuns(tool))
      runs.push_back(std::string(tool) + "|" + (run.show_window_set ? std::to_string(run.show_window) : "none") +
                     "|" + run.command_line);
  return runs;
}

// ---------------------------------------------------------------------------
// The state a run may change: registry keys and values, files and folders.

struct Item {
  HKEY root = nullptr;  // registry items; nullptr for files
  std::string path;     // key path, or file path
  std::string name;     // value name
  bool container = false;  // a key or a folder
  DWORD type = 0;
  std::string data;
  bool operator==(const Item& o) const {
    return container == o.container && type == o.type && data == o.data;
  }
};
using State = std::map<std::string, Item>;  // by a printable name

// Wine's display driver rebuilds these for every program that opens a
// window; they are Wine's bookkeeping, not the stored display mode.
inline bool IsWineDisplayBookkeeping(const std::string& path) {
  if (path.rfind("SYSTEM\\", 0) != 0) return false;
  size_t control_set_end = path.find('\\', 7);  // SYSTEM\<control set>\...
  if (control_set_end == std::string::npos) return false;
  std::string rest = path.substr(control_set_end + 1);
  return rest == "Control\\Video" || rest == "Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}";
}

// Wine's own settings, and the system parameters it keeps there while
// programs run.
inline bool IsWineSettings(const std::string& path) {
  size_t user_end = path.find('\\');
  return user_end != std::string::npos && path.substr(user_end + 1) == "Software\\Wine";
}

inline void AddKey(HKEY root, const char* root_name, const std::string& path, State& out) {
  if (root == HKEY_LOCAL_MACHINE && IsWineDisplayBookkeeping(path)) return;
  if (root == HKEY_USERS && IsWineSettings(path)) return;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out[std::string(root_name) + "\\" + path + "\\"] = {root, path, "", true, 0, ""};
  DWORD subkeys = 0, max_subkey = 0, values = 0, max_name = 0, max_data = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &max_subkey, nullptr, &values, &max_name, &max_data,
                   nullptr, nullptr);
  std::vector<char> name(max_name + 2);
  std::vector<BYTE> data(max_data + 1);
  for (DWORD i = 0;; ++i) {
    DWORD name_size = static_cast<DWORD>(name.size()), data_size = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValueA(key, i, name.data(), &name_size, nullptr, &type, data.data(), &data_size) != ERROR_SUCCESS)
      break;
    std::string value_name(name.data(), name_size);
    out[std::string(root_name) + "\\" + path + "\\:" + value_name] = {
        root, path, value_name, false, type, std::string(reinterpret_cast<char*>(data.data()), data_size)};
  }
  std::vector<std::string> children;
  std::vector<char> child(max_subkey + 2);
  for (DWORD i = 0;; ++i) {
    DWORD size = static_cast<DWORD>(child.size());
    if (RegEnumKeyExA(key, i, child.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(child.data(), size);
  }
  RegCloseKey(key);
  for (const std::string& c : children) AddKey(root, root_name, path.empty() ? c : path + "\\" + c, out);
}

inline void AddFolder(const std::string& folder, State& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> folders;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[path + "\\"] = {nullptr, path, "", true, 0, ""};
      folders.push_back(path);
    } else if (_stricmp(found.cFileName, "index.dat") == 0) {
      // The URL cache's own index: present or not is compared, its content
      // (usage counters and times) is the cache's business.
      out[path] = {nullptr, path, "", false, 0, "<index>"};
    } else {
      out[path] = {nullptr, path, "", false, 0, ReadFileBytes(path).value_or("<unreadable>")};
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  for (const std::string& f : folders) AddFolder(f, out);
}

// The machine as the tests compare it. The program's own folder (stand-ins,
// log) and the test's are left out; so is Wine's own system folder.
inline State TakeState() {
  State state;
  AddKey(HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE", state);
  AddKey(HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM", state);
  AddKey(HKEY_USERS, "HKU", "", state);
  for (const char* folder : {"C:\\users", "C:\\windows\\temp", "D:\\Personal"}) AddFolder(folder, state);
  return state;
}

// What changed from before to after: "+name", "-name" or "~name", sorted by name.
inline std::vector<std::string> Changes(const State& before, const State& after) {
  std::vector<std::string> out;
  for (const auto& [name, item] : after) {
    auto old = before.find(name);
    if (old == before.end())
      out.push_back("+" + name);
    else if (!(old->second == item))
      out.push_back("~" + name);
  }
  for (const auto& [name, item] : before)
    if (!after.count(name)) out.push_back("-" + name);
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) { return a.substr(1) < b.substr(1); });
  return out;
}

// Data as the tests print it: short data as it is, long data by size and hash.
inline std::string Printable(const std::string& data) {
  if (data.size() <= 80) return data;
  uint32_t hash = 2166136261u;
  for (unsigned char c : data) hash = (hash ^ c) * 16777619u;
  return std::to_string(data.size()) + " bytes, hash " + std::to_string(hash);
}

// The URL cache makes its folders under random eight-character names; two
// runs that make the same number of them did the same.
inline std::string WithoutCacheFolderNames(std::string name) {
  const std::string marker = "\\Content.IE5\\";
  size_t at = name.find(marker);
  if (at != std::string::npos && name.size() >= at + marker.size() + 8) name.replace(at + marker.size(), 8, "########");
  return name;
}

// Changes with the values they lead to, for comparing two runs' effects, sorted.
inline std::vector<std::string> Effects(const State& before, const State& after) {
  std::vector<std::string> out;
  for (const std::string& change : Changes(before, after)) {
    auto it = after.find(change.substr(1));
    out.push_back(WithoutCacheFolderNames(it == after.end() ? change
                                                            : change + " = " + std::to_string(it->second.type) +
                                                                  ":" + Printable(it->second.data)));
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The lines of one list missing from the other, each marked with its side.
inline std::vector<std::string> Mismatches(const std::vector<std::string>& expected,
                                           const std::vector<std::string>& actual) {
  std::vector<std::string> out;
  for (const std::string& line : expected)
    if (std::find(actual.begin(), actual.end(), line) == actual.end()) out.push_back("only expected: " + line);
  for (const std::string& line : actual)
    if (std::find(expected.begin(), expected.end(), line) == expected.end()) out.push_back("only actual: " + line);
  return out;
}

// Puts the machine back to before: removes what is new, rewrites what changed
// or went missing. Keys and folders are made before what they hold and
// removed after it. A test that watches less than TakeState passes its own now.
inline void Restore(const State& before, const State& now = TakeState()) {
  std::vector<const Item*> added;
  for (const auto& [name, item] : now)
    if (!before.count(name)) added.push_back(&item);
  std::sort(added.begin(), added.end(), [](const Item* a, const Item* b) { return a->path.size() > b->path.size(); });
  for (const Item* item : added) {
    if (item->root) {
      if (item->container) {
        RegDeleteKeyA(item->root, item->path.c_str());
      } else {
        HKEY key;
        if (RegOpenKeyExA(item->root, item->path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
          RegDeleteValueA(key, item->name.c_str());
          RegCloseKey(key);
        }
      }
    } else if (item->container) {
      RemoveDirectoryA(item->path.c_str());
    } else {
      SetFileAttributesA(item->path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(item->path.c_str());
    }
  }
  for (const auto& [name, item] : before) {  // map order: a container's name sorts before its content
    auto current = now.find(name);
    if (current != now.end() && current->second == item) continue;
    if (item.root) {
      HKEY key;
      if (RegCreateKeyA(item.root, item.path.c_str(), &key) != ERROR_SUCCESS) continue;
      if (!item.container)
        RegSetValueExA(key, item.name.c_str(), 0, item.type, reinterpret_cast<const BYTE*>(item.data.data()),
                       static_cast<DWORD>(item.data.size()));
      RegCloseKey(key);
    } else if (item.container) {
      CreateDirectoryA(item.path.c_str(), nullptr);
    } else if (item.data != "<index>") {
      WriteFileBytes(item.path, item.data);
    }
  }
}

// ---------------------------------------------------------------------------
// Clicking a preset's selection through the windows

struct SectionButton {
  const char* section;
  int page;         // -1: the main window
  uint32_t button;  // 0: each key names a button of its own
};

inline constexpr SectionButton kSectionButtons[] = {
    {"优化", -1, lumeno::main_controls::kOptimizeButton},
    {"服务快速优化", 1, lumeno::settings_controls::kApplyProfileButton},
    {"可选服务", 1, lumeno::settings_controls::kStartServicesButton},
    {"清系统", 3, lumeno::settings_controls::kCleanupButton},
    {"转资料", 2, lumeno::settings_controls::kRelocateButton},
    {"分辨率", 0, lumeno::settings_controls::kApplyPresetButton},
    {"小工具", 4, 0},
};
using lumeno::settings_controls::kModeLabel;
using lumeno::settings_controls::kTargetEdit;

// Presses a button whose handler runs on the window's thread and answers
// every message box it shows until the handler has returned; their texts.
inline std::vector<std::string> PressAnsweringBoxes(const Program& program, HWND button) {
  std::atomic<bool> done = false;
  bool returned = false;
  std::thread press([&] {
    returned = Click(button, 180000);
    done = true;
  });
  std::vector<std::string> texts;
  while (!done) {
    if (HWND box = program.WaitForMessageBox(20)) {
      texts.push_back(ReadMessageBox(box).text);
      EXPECT_TRUE(AnswerMessageBox(box));
    }
  }
  press.join();
  EXPECT_TRUE(returned) << "the handler did not return";
  return texts;
}

// Makes the preset's selection in the windows, section by section in the
// order of kSectionButtons, presses each button and answers its box. Returns
// the line each section would log: "[name] <what the window showed>".
inline std::vector<std::string> ClickPreset(Program& program, const std::vector<PresetSection>& preset) {
  std::vector<std::string> shown;
  HWND main_window = StartProgram(program);
  EXPECT_NE(main_window, nullptr);
  if (!main_window) return shown;
  HWND settings = nullptr;
  for (const SectionButton& step : kSectionButtons) {
    const PresetSection* section = nullptr;
    for (const PresetSection& s : preset)
      if (s.name == step.section) section = &s;
    if (!section) continue;
    HWND window = main_window;
    if (step.page >= 0) {
      if (!settings) settings = OpenSettingsPage(program, main_window, step.page);
      EXPECT_NE(settings, nullptr);
      if (!settings) return shown;
      EXPECT_TRUE(SelectTab(WaitForControl(settings, kSettingsTab), step.page));
      window = settings;
    }
    std::vector<uint32_t> buttons;
    if (step.button) buttons.push_back(step.button);
    for (const auto& [key, value] : section->entries) {
      if (value == "0") continue;
      if (key == "目标") {
        EXPECT_TRUE(SetText(WaitForControl(window, kTargetEdit), value));
      } else if (!step.button) {
        HWND button = support::FindButton(window, key, false);
        EXPECT_NE(button, nullptr) << key;
        if (button) buttons.push_back(static_cast<uint32_t>(GetDlgCtrlID(button)));
      } else {
        HWND box = support::FindButton(window, value == "1" ? key : value, true);
        EXPECT_NE(box, nullptr) << key << "=" << value;
        EXPECT_TRUE(box && SetChecked(box, true)) << key;
      }
    }
    for (uint32_t id : buttons) {
      HWND button = WaitForControl(window, id);
      const std::string head = "[" + std::string(step.section) + "] ";
      if (window == main_window) {
        // The button starts a worker, which ends with the box.
        shown.push_back(head + PressAndReadMessage(program, button).text);
        EXPECT_TRUE(WaitForEnabled(button, true, 60000));
        continue;
      }
      std::vector<std::string> boxes = PressAnsweringBoxes(program, button);
      // The resolution presets show no box when they succeed; the label
      // beside the button tells the mode then.
      if (boxes.empty() && std::string(step.section) == "分辨率") boxes.push_back(GetText(WaitForControl(window, kModeLabel)));
      EXPECT_EQ(boxes.size(), 1u) << head;
      for (const std::string& text : boxes) shown.push_back(head + text);
    }
  }
  if (settings) {
    EXPECT_TRUE(PostClose(settings));
    EXPECT_TRUE(WaitForWindowGone(settings));
  }
  EXPECT_TRUE(PostClose(main_window));
  EXPECT_TRUE(program.WaitForExit(30000));
  return shown;
}

// ---------------------------------------------------------------------------
// An unattended run

struct ApplyRun {
  DWORD exit_code = 0;
  bool finished = false;
  bool went_idle = false;          // the busy cursor ended while it ran
  std::vector<std::string> windows;  // titles of any visible top-level window it showed
};

// Wine sets up the display's registry and the URL cache's folders (under
// random names) the first time a program needs them. The program runs once
// with its windows and once unattended through the cache before a test
// takes the state it compares with, so that none of that counts as a change.
inline void WarmUp() {
  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  ASSERT_TRUE(PostClose(main_window));
  ASSERT_TRUE(program.WaitForExit(30000));
  const std::string preset = std::string(kTestDirectory) + "\\warm-up.ini";
  ASSERT_TRUE(WriteFileBytes(preset, "[优化]\r\nIE临时文件=1\r\n浏览器历史记录=1\r\n"));
  Program apply;
  ASSERT_TRUE(apply.Start(std::string(kProgramPath) + " /apply " + preset + " /log " + preset + ".log"));
  ASSERT_TRUE(apply.WaitForExit(60000));
}

// Starts "C:\Lumeno\lumeno.exe <arguments>" as a logon script would and
// watches it until it ends.
inline ApplyRun RunApply(const std::string& arguments, Millis timeout = 240000) {
  ApplyRun result;
  Program program;
  if (!program.Start(std::string(kProgramPath) + " " + arguments)) return result;
  support::WaitUntil(
      [&] {
        if (!program.IsRunning()) return true;
        if (!result.went_idle && WaitForInputIdle(program.Handle(), 0) == 0) result.went_idle = program.IsRunning();
        for (HWND window : program.TopLevelWindows()) result.windows.push_back(GetText(window));
        return false;
      },
      timeout, 5);
  result.finished = program.WaitForExit(0);
  result.exit_code = program.ExitCode();
  return result;
}

// The log lines written after the first line that starts with "==== " and
// ends with the preset path: header, then the rest, CR LF each.
inline std::vector<std::string> LogLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "the log does not end in CR LF";
  return lines;
}

}  // namespace unattended_e2e

namespace unattended_e2e {

inline std::string ComputerNameText() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

// Traces for the cleaning items to remove: a temporary file and folder, a
// favorite and a typed address.
inline void SeedTraces() {
  char folder[MAX_PATH];
  ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
  std::string temp = folder;
  ASSERT_TRUE(CreateDirectoryA((temp + "lumeno-seed").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(WriteFileBytes(temp + "lumeno-seed\\old.tmp", "temporary"));
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, folder, CSIDL_FAVORITES, TRUE));
  ASSERT_TRUE(WriteFileBytes(std::string(folder) + "\\seed.url", "[InternetShortcut]\r\nURL=http://example.invalid/\r\n"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1",
                                "http://example.invalid/"));
}

// Clicks the preset's selection through the windows, puts the machine back,
// runs "/apply" on the same file and expects the same command lines, the
// same registry and file changes, no window, the log lines the windows showed
// and the exit code they imply (1 after a failure list, else 0).
inline void ExpectApplyMatchesClicking(const std::string& preset_name) {
  const std::string preset_path = std::string(kTestDirectory) + "\\" + preset_name;
  const std::string log_path = std::string(kTestDirectory) + "\\" + preset_name + ".log";
  std::optional<std::string> bytes = ReadFileBytes(preset_path);
  ASSERT_TRUE(bytes.has_value()) << preset_path;
  std::vector<PresetSection> preset = support::ReadPresetSections(*bytes);
  ASSERT_FALSE(preset.empty());
  InstallStandIns();
  WarmUp();
  SeedTraces();
  const State before = TakeState();

  Program ui;
  const std::vector<std::string> shown = ClickPreset(ui, preset);
  const std::vector<std::string> clicked_runs = StandInRuns();
  const std::vector<std::string> clicked = Effects(before, TakeState());
  ASSERT_FALSE(clicked_runs.empty());
  ASSERT_FALSE(clicked.empty());

  Restore(before);
  ASSERT_EQ(Changes(before, TakeState()), std::vector<std::string>{}) << "the machine could not be put back";
  InstallStandIns();

  // /preview changes nothing and starts nothing; every line the run below
  // starts must be in it.
  const std::string preview_path = log_path + ".preview";
  ApplyRun preview = RunApply("/apply " + preset_path + " /preview /log " + preview_path);
  ASSERT_TRUE(preview.finished);
  EXPECT_EQ(preview.exit_code, 0u);
  EXPECT_EQ(Changes(before, TakeState()), std::vector<std::string>{}) << "/preview changed the machine";
  EXPECT_EQ(StandInRuns(), std::vector<std::string>{}) << "/preview started a program";
  const std::vector<std::string> previewed = LogLines(ReadFileBytes(preview_path).value_or(""));
  InstallStandIns();
  ASSERT_TRUE(WriteFileBytes(log_path, "earlier run\r\n"));

  ApplyRun run = RunApply("/apply " + preset_path + " /log " + log_path);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.windows, std::vector<std::string>{}) << "a window was shown";
  EXPECT_TRUE(run.went_idle) << "the busy cursor lasted the whole run";
  EXPECT_EQ(Mismatches(clicked_runs, StandInRuns()), std::vector<std::string>{}) << "command lines";
  EXPECT_EQ(StandInRuns(), clicked_runs) << "their order";
  for (const std::string& started : StandInRuns()) {
    const std::string line = started.substr(started.find('|', started.find('|') + 1) + 1);
    bool listed = std::find(previewed.begin(), previewed.end(), "    " + line) != previewed.end();
    // A script is run by its path, through the command interpreter.
    for (const std::string& step : previewed)
      if (step.rfind("    写入并运行 ", 0) == 0) {
        const std::string script = step.substr(std::strlen("    写入并运行 "), step.find("（") - std::strlen("    写入并运行 "));
        listed |= line.find(script) != std::string::npos;
      }
    EXPECT_TRUE(listed) << "not in the preview: " << line;
  }
  const std::vector<std::string> applied = Effects(before, TakeState());
  EXPECT_EQ(Mismatches(clicked, applied), std::vector<std::string>{}) << "registry and files";
  EXPECT_EQ(applied, clicked) << "how often each";

  // What the windows showed, as log lines: a failure list's further lines
  // indented under its first. A failure list means exit code 1.
  std::vector<std::string> shown_lines;
  bool any_failure = false;
  for (const std::string& text : shown) {
    any_failure |= text.find("未能执行") != std::string::npos;
    size_t start = 0;
    for (bool first = true; start <= text.size(); first = false) {
      size_t end = std::min(text.find('\n', start), text.size());
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (first || !line.empty()) shown_lines.push_back((first ? "" : "    ") + line);
      start = end + 1;
    }
  }
  EXPECT_EQ(run.exit_code, any_failure ? 1u : 0u);

  // Each restore file written is named under its section's line, and is there.
  std::vector<std::string> lines;
  for (std::string& line : LogLines(ReadFileBytes(log_path).value_or(""))) {
    constexpr std::string_view kBackup = "    备份：";
    if (line.rfind(kBackup, 0) != 0) {
      lines.push_back(std::move(line));
      continue;
    }
    const std::string path = line.substr(kBackup.size());
    EXPECT_TRUE(path.ends_with(".reg") || path.ends_with(".pbk")) << line;
    EXPECT_TRUE(ReadFileBytes(path).has_value()) << line;
  }
  ASSERT_EQ(lines.size(), shown_lines.size() + 3);
  EXPECT_EQ(lines[0], "earlier run");
  const std::string& header = lines[1];
  char user[257] = {};
  DWORD user_size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &user_size));
  const std::string tail = " " + ComputerNameText() + " " + user + " Lumeno 1.1.0 " + preset_path;
  EXPECT_EQ(header.rfind("==== 20", 0), 0u) << header;  // "==== YYYY-MM-DD HH:MM:SS"
  EXPECT_EQ(header.size(), 24 + tail.size()) << header;
  EXPECT_TRUE(header.size() > tail.size() && header.ends_with(tail)) << header;
  // Each section's first line ends with its counts; the rest is what the windows showed.
  std::vector<std::string> reported(lines.begin() + 2, lines.end() - 1);
  for (std::string& line : reported) {
    if (line.rfind("[", 0) != 0 || line.find("跳过") != std::string::npos) continue;
    const size_t counts = line.rfind("（已更改 ");
    EXPECT_NE(counts, std::string::npos) << line;
    EXPECT_TRUE(line.ends_with(" 项）")) << line;
    if (counts != std::string::npos) line.erase(counts);
  }
  EXPECT_EQ(reported, shown_lines);
  EXPECT_EQ(lines.back(), std::string("==== 结束，退出码 ") + (any_failure ? "1" : "0"));
}

}  // namespace unattended_e2e
