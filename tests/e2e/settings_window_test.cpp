// The settings window of the real program: its pages, what it keeps and
// forgets, the label that reacts on the button press, and the program's
// resources (icons, manifest, version).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/control_ids.h"
#include "support/expected_data.h"
#include "ui/controls.h"

namespace {

using namespace driver;
using namespace lumeno::settings_controls;
using lumeno::main_controls::kSettingsButton;

constexpr uint32_t kPreset1 = lumeno::settings_controls::kCrt15Radio;     // page 0
constexpr uint32_t kProfile1 = lumeno::settings_controls::kMinimalRadio;  // page 1
constexpr uint32_t kCleanJunk = kJunkBox;   // 选择框11, page 3
constexpr char kSettingsTitle[] = "系统设置";
constexpr char kFolderPickerTitle[] = "选择文件夹";

// tests/data/layout_controls.tsv: window, name, type, id, ..., page (10), ..., checked (14).
expected::Table ListedControls() { return expected::RowsWhere(expected::ReadTable("layout_controls.tsv"), 0, "0x520102C9"); }
uint32_t IdOf(const expected::Row& row) { return static_cast<uint32_t>(expected::Number(row.at(3))); }

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ParkPointer());
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(kMainWindowTitle);
    ASSERT_NE(main_, nullptr);
    Open();
  }

  void Open() {
    ASSERT_TRUE(Click(WaitForControl(main_, kSettingsButton)));
    settings_ = program_.WaitForWindow(kSettingsTitle);
    ASSERT_NE(settings_, nullptr);
  }
  void Close() {
    ASSERT_TRUE(PostClose(settings_));
    ASSERT_TRUE(WaitForWindowGone(settings_));
    ASSERT_TRUE(WaitForEnabled(main_, true));
  }
  HWND Control(uint32_t id) {
    HWND control = WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  Program program_;
  HWND main_ = nullptr;
  HWND settings_ = nullptr;
};

TEST_F(SettingsWindowTest, EachPageShowsOnlyItsOwnControls) {
  HWND tab = Control(kTab);
  for (int page = 0; page < 5; ++page) {
    ASSERT_TRUE(SelectTab(tab, page));
    for (const expected::Row& row : ListedControls()) {
      if (row.at(2) == "Timer") continue;
      bool shown = row.at(10) == "-" || row.at(10) == std::to_string(page);
      EXPECT_EQ(IsVisible(Control(IdOf(row))), shown) << row.at(1) << " on page " << page;
    }
    // settings_window_test.setup.sh gives the screen a refresh rate a monitor
    // could have; plain Xvfb reports 1 Hz, which the picture would show.
    if (page == 0) {
      EXPECT_EQ(GetText(Control(kModeLabel)), "1024\xA1\xC1" "768 \xA3\xC0" "60Hz/32\xCE\xBB");
    }
    EXPECT_TRUE(SaveScreenshot(settings_, "settings_page_" + std::to_string(page)));
  }
}

TEST_F(SettingsWindowTest, FreshWindowStartsFromTheLayout) {
  EXPECT_EQ(CurrentTab(Control(kTab)), 0);
  EXPECT_EQ(GetText(Control(kTargetEdit)), "D:\\Personal");
  EXPECT_TRUE(IsChecked(Control(kMemorySwitch)));
  for (const expected::Row& row : ListedControls()) {
    if (row.at(2) == "RadioBox" || row.at(2) == "CheckBox") {
      EXPECT_EQ(IsChecked(Control(IdOf(row))), row.at(14) == "checked") << row.at(1);
    }
  }
}

TEST_F(SettingsWindowTest, ControlsKeepTheirStateOnHiddenPagesButNotAcrossOpenings) {
  std::string fresh_state_text = GetText(Control(kMemoryState));
  HWND tab = Control(kTab);
  ASSERT_TRUE(SelectTab(tab, 3));
  ASSERT_TRUE(SetChecked(Control(kCleanJunk), true));
  ASSERT_TRUE(SelectTab(tab, 2));
  ASSERT_TRUE(SetText(Control(kTargetEdit), "E:\\Elsewhere"));
  ASSERT_TRUE(SelectTab(tab, 0));
  ASSERT_TRUE(SetChecked(Control(kPreset1), true));
  ASSERT_TRUE(SetChecked(Control(kMemorySwitch), false));
  EXPECT_NE(GetText(Control(kMemoryState)), fresh_state_text) << "the switch's handler saw the new state";
  // Back on page 3: still ticked.
  ASSERT_TRUE(SelectTab(tab, 3));
  EXPECT_TRUE(IsChecked(Control(kCleanJunk)));

  Close();
  Open();
  EXPECT_EQ(CurrentTab(Control(kTab)), 0);
  EXPECT_EQ(GetText(Control(kTargetEdit)), "D:\\Personal");
  EXPECT_TRUE(IsChecked(Control(kMemorySwitch)));
  EXPECT_FALSE(IsChecked(Control(kPreset1)));
  EXPECT_FALSE(IsChecked(Control(kCleanJunk)));
  EXPECT_EQ(GetText(Control(kMemoryState)), fresh_state_text);
}

TEST_F(SettingsWindowTest, ResolutionPresetsAndServiceProfilesAreSeparateChoices) {
  HWND tab = Control(kTab);
  ASSERT_TRUE(SelectTab(tab, 1));
  ASSERT_TRUE(SetChecked(Control(kProfile1), true));
  ASSERT_TRUE(SelectTab(tab, 0));
  ASSERT_TRUE(SetChecked(Control(kPreset1), true));
  EXPECT_TRUE(IsChecked(Control(kProfile1)));
}

TEST_F(SettingsWindowTest, BrowseLabelReactsOnTheButtonPressItself) {
  ASSERT_TRUE(SelectTab(Control(kTab), 2));
  // Only the press, no release: the folder picker must open all the same.
  ASSERT_TRUE(PostMessageA(Control(kBrowseLabel), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
  HWND picker = program_.WaitForWindow(kFolderPickerTitle);
  ASSERT_NE(picker, nullptr);
  EXPECT_TRUE(AnswerMessageBox(picker, IDCANCEL));
  // The handler finishes by writing the (cancelled, so empty) choice.
  EXPECT_TRUE(WaitForText(Control(kTargetEdit), ""));
}

TEST_F(SettingsWindowTest, EscapeInsideAPageClosesOnlyTheSettingsWindow) {
  ASSERT_TRUE(SelectTab(Control(kTab), 2));
  // The key arrives at the focused edit box, deep inside the tab control.
  ASSERT_TRUE(PressEscape(Control(kTargetEdit)));
  EXPECT_TRUE(WaitForWindowGone(settings_));
  EXPECT_TRUE(WaitForEnabled(main_, true));
  EXPECT_TRUE(program_.IsRunning());
}

// ---------------------------------------------------------------------------
// Resources of lumeno.exe

struct IconEntry {
  int size;
  int bits;
  bool operator==(const IconEntry& other) const { return size == other.size && bits == other.bits; }
  std::string image;  // the RT_ICON resource's bytes
};

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::vector<IconEntry> IconImages(HMODULE module, int id) {
  std::vector<IconEntry> entries;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  if (!found) return entries;
  auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  WORD count = *reinterpret_cast<const WORD*>(data + 4);
  auto* entry = reinterpret_cast<const GroupIconEntry*>(data + 6);
  for (WORD i = 0; i < count; ++i) {
    HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(entry[i].id), MAKEINTRESOURCEA(3));  // RT_ICON
    std::string bytes;
    if (image)
      bytes.assign(static_cast<const char*>(LockResource(LoadResource(module, image))), SizeofResource(module, image));
    entries.push_back({entry[i].width ? entry[i].width : 256, entry[i].bit_count, std::move(bytes)});
  }
  return entries;
}

std::string ResourceText(HMODULE module, int id, LPCSTR type) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!found) return {};
  return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found));
}

TEST(ProgramResourcesTest, IconsManifestAndVersion) {
  HMODULE program = LoadLibraryExA(kProgramPath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  std::vector<IconEntry> settings_icon = IconImages(program, 2);
  std::vector<IconEntry> expected = {{48, 8}, {32, 8}, {16, 8}, {128, 32}, {48, 32}, {32, 32}, {16, 32}};
  EXPECT_EQ(settings_icon, expected);
  // Up to 48 px, the sizes Windows XP loads, each image is a bitmap of its
  // size and depth; the 128 px one is a PNG image, which the system decodes.
  for (const IconEntry& entry : settings_icon) {
    SCOPED_TRACE(entry.size);
    ASSERT_GE(entry.image.size(), sizeof(BITMAPINFOHEADER));
    if (entry.size <= 48) {
      BITMAPINFOHEADER header;
      memcpy(&header, entry.image.data(), sizeof header);
      EXPECT_EQ(header.biSize, sizeof header);
      EXPECT_EQ(header.biWidth, entry.size);
      EXPECT_EQ(header.biBitCount, entry.bits);
      continue;
    }
    EXPECT_EQ(entry.image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::string image = entry.image;
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()),
                                          TRUE, 0x00030000, entry.size, entry.size, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr) << "the PNG image does not decode";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    ASSERT_NE(info.hbmColor, nullptr);
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, entry.size);
    EXPECT_EQ(colour.bmHeight, entry.size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_FALSE(IconImages(program, 1).empty()) << "the program's own icon";

  std::string manifest = ResourceText(program, 1, MAKEINTRESOURCEA(24));  // RT_MANIFEST
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << "fixed pixel layouts: no DPI awareness";

  std::string version = ResourceText(program, 1, MAKEINTRESOURCEA(16));  // RT_VERSION
  const DWORD signature = 0xFEEF04BD;
  size_t at = version.find(std::string(reinterpret_cast<const char*>(&signature), 4));
  ASSERT_NE(at, std::string::npos);
  ASSERT_GE(version.size(), at + sizeof(VS_FIXEDFILEINFO));
  VS_FIXEDFILEINFO fixed;
  memcpy(&fixed, version.data() + at, sizeof fixed);
  EXPECT_EQ(fixed.dwFileVersionMS, 0x00010001u);  // 1.1
  EXPECT_NE(version.find(std::string("L\0u\0m\0e\0n\0o", 11)), std::string::npos);
  FreeLibrary(program);
}

}  // namespace
