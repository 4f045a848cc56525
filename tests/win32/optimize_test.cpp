// The tweak catalogue written into a real registry, read back value by value
// with RegQueryValueExA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tweaks/optimize.h"

namespace lumeno {
namespace {

struct Expected {
  HKEY root;
  const char* key;
  const char* value;  // "" = the key's default value
  DWORD type;
  std::string data;  // REG_SZ: the text with its NUL; REG_DWORD: 4 bytes
};

std::string Dword(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Sz(const char* text) { return std::string(text) + '\0'; }

bool Read(const Expected& e, DWORD* type, std::string* data) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(e.root, e.key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, e.value, nullptr, type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    data->assign(size, '\0');
    status = RegQueryValueExA(key, e.value, nullptr, type, reinterpret_cast<BYTE*>(data->data()), &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

void ApplyBox(ControlId box) {
  for (const TweakItem& item : TweakCatalogue()) {
    if (item.box != box) continue;
    Outcome outcome("test");
    ApplyTweak(item, outcome);
    EXPECT_FALSE(outcome.AnyFailed()) << "box " << std::hex << box;
    return;
  }
  FAIL() << "no catalogue row for box " << std::hex << box;
}

constexpr ControlId kBox1 = 0x160102B6, kBox6 = 0x160102B1, kBox8 = 0x160102AF, kBox10 = 0x160102AD,
                    kBox11 = 0x160102AC;

const char* const kPrefetch =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";
const char* const kNameSpace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace";

TEST(TweakCatalogue, ChosenBoxesLeaveExactlyTheirValuesInTheRegistry) {
  // A stale value of another type must be overwritten, not kept.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", &key),
            ERROR_SUCCESS);
  RegSetValueExA(key, "SFCDisable", 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
  RegCloseKey(key);

  for (ControlId box : {kBox1, kBox6, kBox8, kBox10, kBox11}) ApplyBox(box);

  const std::vector<Expected> expected = {
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control", "WaitToKillServiceTimeout", REG_SZ, Sz("500")},
      {HKEY_LOCAL_MACHINE, kPrefetch, "EnablePrefetcher", REG_DWORD, Dword(1)},
      {HKEY_CURRENT_USER, "Control Panel\\Desktop", "AutoEndTasks", REG_DWORD, Dword(1)},
      {HKEY_CURRENT_USER, "Control Panel\\Desktop", "HungAppTimeout", REG_SZ, Sz("100")},
      {HKEY_CURRENT_USER, "Control Panel\\Desktop", "WaitToKillAppTimeout", REG_SZ, Sz("500")},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", "Enable", REG_SZ, Sz("yes")},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\"
                           "{2227A280-3AEA-1069-A2DE-08002B30309D}",
       "", REG_SZ, Sz("Printers")},
      {HKEY_LOCAL_MACHINE, kNameSpace, "", REG_SZ, Sz("Printers")},
      {HKEY_LOCAL_MACHINE, kPrefetch, "VideoInitTime", REG_DWORD, Dword(1071)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "AppLaunchMaxNumPages", REG_DWORD, Dword(4000)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "AppLaunchMaxNumSections", REG_DWORD, Dword(170)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "BootMaxNumPages", REG_DWORD, Dword(128000)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "BootMaxNumSections", REG_DWORD, Dword(4080)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "MaxNumActiveTraces", REG_DWORD, Dword(8)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "MaxNumSavedTraces", REG_DWORD, Dword(8)},
      {HKEY_LOCAL_MACHINE, kPrefetch, "RootDirPath", REG_SZ, Sz("Prefetch")},
      {HKEY_LOCAL_MACHINE, kPrefetch, "HostingAppList", REG_SZ, Sz("DLLHOST.EXE,MMC.EXE,RUNDLL32.EXE")},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "SFCDisable", REG_DWORD,
       Dword(0xFFFFFF9Du)},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\ControlSet002\\Control\\Windows", "NoPopUpsOnBoot", REG_SZ, Sz("1")},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system", "legalnoticecaption",
       REG_SZ, std::string(1, '\0')},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system", "legalnoticetext",
       REG_SZ, std::string(1, '\0')},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "AutoAdminLogon", REG_SZ,
       Sz("0")},
  };
  for (const Expected& e : expected) {
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(Read(e, &type, &data)) << e.key << "\\" << e.value;
    EXPECT_EQ(type, e.type) << e.key << "\\" << e.value;
    EXPECT_EQ(data, e.data) << e.key << "\\" << e.value;
  }
  // A box that was not chosen left nothing behind.
  DWORD type = 0;
  std::string data;
  EXPECT_FALSE(Read({HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0\\Common", "DWNeverUpload", REG_DWORD, ""},
                    &type, &data));
}

}  // namespace
}  // namespace lumeno
