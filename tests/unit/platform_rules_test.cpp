#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/platform_rules.h"
#include "support/texts.h"

namespace lumeno {
namespace {

// Show commands as Win32 numbers them.
constexpr int kSwHide = 0, kSwShowNormal = 1, kSwShowMinimized = 2, kSwShowMaximized = 3, kSwShowNoActivate = 4,
              kSwMinimize = 6, kSwShowNa = 8;

std::string Dword(uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

TEST(RegistryRoots, OnlyOneToFiveNameTheirOwnRoot) {
  for (int root = 1; root <= 5; ++root) EXPECT_EQ(NormalizeRootNumber(root), root);
  for (int root : {0, 3, 6, 9, -1, 1000}) EXPECT_EQ(NormalizeRootNumber(root), kRootCurrentUser) << root;
}

TEST(RegistryItemPath, SplitsAtTheLastBackslash) {
  RegistryItemParts p = SplitRegistryItemPath("Control Panel\\Desktop\\AutoEndTasks");
  EXPECT_EQ(p.key_path, "Control Panel\\Desktop");
  EXPECT_EQ(p.value_name, "AutoEndTasks");

  p = SplitRegistryItemPath("NoBackslash");
  EXPECT_EQ(p.key_path, "");
  EXPECT_EQ(p.value_name, "NoBackslash");

  // A trailing backslash names the key's default value.
  p = SplitRegistryItemPath("Software\\Key\\");
  EXPECT_EQ(p.key_path, "Software\\Key");
  EXPECT_EQ(p.value_name, "");

  p = SplitRegistryItemPath("\\Value");
  EXPECT_EQ(p.key_path, "");
  EXPECT_EQ(p.value_name, "Value");
}

TEST(RegistryEncoding, TextsAreStoredWithTheirNul) {
  EncodedRegistryValue v = EncodeRegistryValue(Text("100"));
  EXPECT_EQ(v.type, kRegSz);
  EXPECT_EQ(v.data, std::string("100\0", 4));

  v = EncodeRegistryValue(Text(""));
  EXPECT_EQ(v.type, kRegSz);
  EXPECT_EQ(v.data, std::string(1, '\0'));

  v = EncodeRegistryValue(Text("\xD6\xD0\xCE\xC4"));
  EXPECT_EQ(v.data, std::string("\xD6\xD0\xCE\xC4\0", 5));
}

TEST(RegistryEncoding, NumbersBecomeLittleEndianDwords) {
  struct Case {
    RegistryValue value;
    uint32_t stored;
  };
  const Case cases[] = {
      {ToNumber("00000001"), 1},
      {ToNumber("500"), 500},
      {ToNumber("yes"), 0},
      {ToNumber("4294967197"), 0xFFFFFF9Du},  // low 32 bits of the 64-bit truncation
      {4294967296.0 + 5.0, 5},
      {-1.5, 0xFFFFFFFFu},                    // truncated toward zero: -1
      {-2.9, 0xFFFFFFFEu},
      {0.99, 0},
      {int32_t{-1}, 0xFFFFFFFFu},
      {int32_t{500}, 500},
      {1e300, 0xFFFFFFFFu},                   // saturates at the 64-bit maximum
      {std::nan(""), 0},
  };
  for (const Case& c : cases) {
    EncodedRegistryValue v = EncodeRegistryValue(c.value);
    EXPECT_EQ(v.type, kRegDword);
    EXPECT_EQ(v.data, Dword(c.stored)) << std::hex << c.stored;
  }
}

TEST(RegistryEncoding, BytesAreStoredAsBinaryUnchanged) {
  EncodedRegistryValue v = EncodeRegistryValue(Bytes{std::string("\x00\x01\xFF", 3)});
  EXPECT_EQ(v.type, kRegBinary);
  EXPECT_EQ(v.data, std::string("\x00\x01\xFF", 3));
}

// A start that fails for a moment is tried again; one that cannot succeed is not.
TEST(ProcessStart, TransientFailuresAreTriedAgainOthersAreFinal) {
  const struct {
    std::vector<uint32_t> results;  // of the attempts, in order
    uint32_t outcome;
    size_t attempts;
  } cases[] = {
      {{0}, 0, 1},
      {{1359, 1359, 0}, 0, 3},                     // ERROR_INTERNAL_ERROR, as Wine gives under load
      {{8, 14, 1450, 0}, 0, 4},                    // short of memory or resources
      {{2}, 2, 1},                                 // no such file
      {{1359, 5}, 5, 2},                           // access denied is final
      {{1359, 1359, 1359, 1359, 1359, 0}, 1359, 5},  // five attempts in all
  };
  for (const auto& c : cases) {
    size_t tried = 0;
    EXPECT_EQ(StartWithRetries([&] { return c.results.at(tried++); }), c.outcome) << c.attempts;
    EXPECT_EQ(tried, c.attempts);
  }
}

// One numbering for both calls; each names the show command in its own terms.
TEST(WindowModes, RunCommandLineAndShellOpenShareOneNumbering) {
  const struct {
    int mode, run, shell;
  } cases[] = {
      {-5, kSwHide, kSwShowNormal},         {0, kSwHide, kSwShowNormal},
      {1, kSwHide, kSwHide},                {2, kSwShowNormal, kSwShowNormal},
      {3, kSwShowMinimized, kSwShowMinimized}, {4, kSwShowMaximized, kSwShowMaximized},
      {5, kSwShowNoActivate, kSwShowNa},    {6, kSwMinimize, kSwMinimize},
      {7, kSwMinimize, kSwShowNormal},      {1000, kSwMinimize, kSwShowNormal},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShowCommandForRunMode(static_cast<WindowMode>(c.mode)), c.run) << c.mode;
    EXPECT_EQ(ShowCommandForShellMode(static_cast<WindowMode>(c.mode)), c.shell) << c.mode;
  }
  EXPECT_EQ(ShowCommandForRunMode(WindowMode::kNormal), kSwShowNormal);
  EXPECT_EQ(ShowCommandForRunMode(kHiddenWindowMode), kSwHide);
}

TEST(WindowModes, OnlyHiddenCommandLinesRunWithoutAConsoleWindow) {
  constexpr uint32_t kCreateNoWindow = 0x08000000;
  const std::pair<int, uint32_t> expected[] = {{-5, kCreateNoWindow}, {0, kCreateNoWindow}, {1, kCreateNoWindow},
                                               {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}};
  for (auto [mode, flags] : expected) EXPECT_EQ(CreationFlagsForRunMode(static_cast<WindowMode>(mode)), flags) << mode;
}

TEST(ShellVerbs, NumbersOneToFiveNameVerbsOthersTheDefaultAction) {
  const char* const expected[] = {"edit", "explore", "find", "open", "print"};
  for (int verb = 1; verb <= 5; ++verb) {
    ASSERT_NE(ShellVerbForNumber(verb), nullptr);
    EXPECT_STREQ(ShellVerbForNumber(verb), expected[verb - 1]);
  }
  EXPECT_EQ(ShellVerbForNumber(kVerbNone), nullptr);
  EXPECT_EQ(ShellVerbForNumber(6), nullptr);
  EXPECT_EQ(ShellVerbForNumber(-4), nullptr);
}

TEST(MessageBoxRules, TaskModalUnlessSystemModal) {
  EXPECT_EQ(MessageBoxStyleFor(0x1010), 0x1010u);
  EXPECT_EQ(MessageBoxStyleFor(0x40), 0x2040u);
  EXPECT_EQ(MessageBoxStyleFor(0x10), 0x2010u);
  EXPECT_EQ(MessageBoxStyleFor(0), 0x2000u);
  EXPECT_EQ(MessageBoxStyleFor(0x2040), 0x2040u);
}

TEST(MessageBoxRules, ButtonsMapToResultNumbers) {
  // IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7.
  for (int button = 1; button <= 7; ++button) EXPECT_EQ(MessageBoxResultFor(button), button - 1) << button;
  // 0 (failure), IDCLOSE 8, IDHELP 9, IDTRYAGAIN 10, IDCONTINUE 11.
  for (int button : {0, 8, 9, 10, 11, -1}) EXPECT_EQ(MessageBoxResultFor(button), 0) << button;
}

TEST(MessageBoxRules, DefaultTitleIsInformationWithAFullWidthColon) {
  EXPECT_STREQ(kDefaultMessageTitle, texts::kDefaultTitle);
}

TEST(DisplayModeFields, OnlyNonZeroValuesAreSetAndFlagged) {
  constexpr uint32_t kBits = 0x40000, kWidth = 0x80000, kHeight = 0x100000, kFrequency = 0x400000;

  DisplayModeFields f = DisplayModeFieldsFor(1024, 768, 0, 75);
  EXPECT_EQ(f.fields, kWidth | kHeight | kFrequency);
  EXPECT_EQ(f.bits_per_pixel, 0u);
  EXPECT_EQ(f.width, 1024u);
  EXPECT_EQ(f.height, 768u);
  EXPECT_EQ(f.frequency, 75u);

  f = DisplayModeFieldsFor(800, 600, 16, 0);
  EXPECT_EQ(f.fields, kBits | kWidth | kHeight);
  EXPECT_EQ(f.bits_per_pixel, 16u);
  EXPECT_EQ(f.frequency, 0u);

  f = DisplayModeFieldsFor(0, 0, 32, 60);
  EXPECT_EQ(f.fields, kBits | kFrequency);

  EXPECT_EQ(DisplayModeFieldsFor(0, 0, 0, 0).fields, 0u);
}

TEST(FatalErrorText, LaysOutTitleCodeAndMessageWithCrLf) {
  const std::string heading = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n";  // 运行时出错!
  const std::string code_label = "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA";           // 错误代码：
  const std::string message_label = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";        // 错误信息：
  const std::string message = "\xD6\xD0\xCE\xC4";

  EXPECT_EQ(FatalErrorText(6, message), heading + code_label + "6\r\n\r\n" + message_label + message + "\r\n");
  EXPECT_EQ(FatalErrorText(0, message), heading + message_label + message + "\r\n");
  EXPECT_EQ(FatalErrorText(1, ""), heading + code_label + "1\r\n\r\n");
  EXPECT_EQ(FatalErrorText(0, ""), heading);
}

TEST(UnloadedUsersHive, OnlyKeysDirectlyBelowHkeyUsersThatAreNoHive) {
  struct Case {
    int root;
    const char* item_path;
    bool unloaded;
  };
  const Case cases[] = {
      {5, "Control Panel\\Desktop\\AutoEndTasks", true},
      {5, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL", true},
      {5, "AutoEndTasks", true},  // a value directly under the root
      {5, ".DEFAULT\\Environment\\TEMP", false},
      {5, ".default\\Environment\\TMP", false},
      {5, ".DEFAULTS\\Environment\\TMP", true},
      {5, "S-1-5-21-0-0-0-1000\\Environment\\TEMP", false},
      {5, "s-1-5-18\\x", false},
      {5, "S-1\\x", true},
      {3, "Control Panel\\Desktop\\AutoEndTasks", false},
      {4, "Control Panel\\Desktop\\AutoEndTasks", false},
      {0, "Control Panel\\Desktop\\AutoEndTasks", false},  // HKEY_CURRENT_USER
  };
  for (const Case& c : cases) EXPECT_EQ(IsUnloadedUsersHive(c.root, c.item_path), c.unloaded) << c.root << " " << c.item_path;
}

TEST(SystemLibraryPath, EveryLibraryTheProgramLoadsComesFromTheSystemFolder) {
  const std::string folder = "C:\\WINDOWS\\system32";
  // The default list of bound functions, psapi, the delay-loaded five, and
  // those loaded by name at start-up or on their one path.
  for (const char* library : {"Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
                              "psapi.dll", "shlwapi.dll", "shell32.dll", "ole32.dll", "wininet.dll", "winmm.dll",
                              "uxtheme.dll", "netapi32.dll"})
    EXPECT_EQ(SystemLibraryPath(folder, library), folder + "\\" + library) << library;
}

TEST(SystemLibraryPath, ANameThatLeadsElsewhereLoadsNothing) {
  for (const char* library : {"C:\\Lumeno\\psapi.dll", "..\\psapi.dll", ".\\psapi.dll", "sub/psapi.dll",
                              "C:psapi.dll", "psapi.dll:stream", "\\\\server\\share\\psapi.dll", ""})
    EXPECT_EQ(SystemLibraryPath("C:\\WINDOWS\\system32", library), "") << library;
  EXPECT_EQ(SystemLibraryPath("", "psapi.dll"), "");
}

}  // namespace
}  // namespace lumeno
