// The whole tweak catalogue written into a real registry, read back value by
// value with RegQueryValueExA and compared with tests/data/catalogue.tsv; the
// rows no Windows can write are left out.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "plan/execute.h"
#include "support/expected_data.h"
#include "tweaks/optimize.h"

namespace lumeno {
namespace {

bool Read(const expected::CatalogueValue& v, DWORD* type, std::string* data) {
  const std::map<std::string, HKEY> roots = {
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS}};
  HKEY key = nullptr;
  if (RegOpenKeyExA(roots.at(v.root), v.key.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, v.name.c_str(), nullptr, type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    data->assign(size, '\0');
    status = RegQueryValueExA(key, v.name.c_str(), nullptr, type, reinterpret_cast<BYTE*>(data->data()), &size);
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
    PlanBuilder plan;
    AddTweak(item, plan);
    Outcome outcome("test");
    ExecutePlan(plan.Finish(), outcome);
    EXPECT_FALSE(outcome.AnyFailed()) << item.name;
  }

  for (const expected::Row& row : expected::ReadTable("catalogue.tsv")) {
    const expected::CatalogueValue listed = expected::CatalogueValueOf(row);
    DWORD type = 0;
    std::string data;
    if (!expected::WritableCatalogueRow(row)) {
      // Wine would keep such a key for a while; Windows refuses it, so it is skipped.
      EXPECT_FALSE(Read(listed, &type, &data)) << row.at(4);
      continue;
    }
    ASSERT_TRUE(Read(listed, &type, &data)) << row.at(4);
    EXPECT_EQ(type, listed.type) << row.at(4);
    EXPECT_EQ(data, listed.bytes) << row.at(4);
  }
}

}  // namespace
}  // namespace lumeno
