// The whole tweak catalogue written into a real registry, read back value by
// value with RegQueryValueExA and compared with tests/data/catalogue.tsv; the
// rows no Windows can write are left out.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/expected_data.h"
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

TEST(TweakCatalogue, EveryWriteLeavesItsListedValueInTheRegistry) {
  // A stale value of another type must be overwritten, not kept.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", &key),
            ERROR_SUCCESS);
  RegSetValueExA(key, "SFCDisable", 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
  RegCloseKey(key);

  for (const TweakItem& item : TweakCatalogue()) {
    Outcome outcome("test");
    ApplyTweak(item, outcome);
    EXPECT_FALSE(outcome.AnyFailed()) << item.name;
  }

  // tests/data/catalogue.tsv: box, id, step, root, item path, type, data.
  const std::map<std::string, HKEY> roots = {
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS}};
  for (const expected::Row& row : expected::ReadTable("catalogue.tsv")) {
    const std::string& path = row.at(4);
    const size_t split = path.rfind('\\');
    const std::string key_path = path.substr(0, split), value = path.substr(split + 1);
    const bool dword = row.at(5) == "REG_DWORD";
    const Expected e{roots.at(row.at(3)), key_path.c_str(), value.c_str(), static_cast<DWORD>(dword ? REG_DWORD : REG_SZ),
                     dword ? Dword(static_cast<uint32_t>(expected::Number(row.at(6)))) : Sz(row.at(6).c_str())};
    DWORD type = 0;
    std::string data;
    if (!expected::WritableCatalogueRow(row)) {
      // Wine would keep such a key for a while; Windows refuses it, so it is skipped.
      EXPECT_FALSE(Read(e, &type, &data)) << path;
      continue;
    }
    ASSERT_TRUE(Read(e, &type, &data)) << path;
    EXPECT_EQ(type, e.type) << path;
    EXPECT_EQ(data, e.data) << path;
  }
}

}  // namespace
}  // namespace lumeno
