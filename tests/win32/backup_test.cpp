// Restore files against the real system: the hand-written REGEDIT4 files of
// tests/data/reg imported with regedit /s must leave exactly the values they
// were written from (what the writer produces byte for byte, see the native
// test), and the reads and file operations the backups use, checked against
// values set and files made with the system's own calls.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/reg_cases.h"
#include "platform/exact_io.h"
#include "platform/platform.h"
#include "support/windows_support.h"

namespace lumeno {

void PrintTo(const RegistryData& data, std::ostream* out) {
  *out << "type " << data.type << ":";
  for (unsigned char c : data.bytes) *out << ' ' << std::hex << static_cast<int>(c) << std::dec;
}

namespace {

constexpr char kImportFolder[] = "C:\\lumeno-test\\reg\\";

HKEY RootKey(int root) {
  switch (root) {
    case 1: return HKEY_CLASSES_ROOT;
    case 4: return HKEY_LOCAL_MACHINE;
    case 5: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

void SetValue(int root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(RootKey(root), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS)
      << key;
  EXPECT_EQ(RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS)
      << key << " " << name;
  RegCloseKey(handle);
}

bool KeyExists(int root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// Type and bytes, or nothing when key or value is missing.
std::optional<RegistryData> ValueOf(int root, const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 4096;
  std::string bytes(size, '\0');
  LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  bytes.resize(size);
  return RegistryData{type, bytes};
}

void DeleteTestKey() { SHDeleteKeyA(HKEY_CURRENT_USER, reg_cases::kTestKey); }

// What a value reads back as when it is set with RegSetValueExA: the system
// may store a text differently from the bytes given (Wine adds the NUL an
// unterminated REG_SZ lacks), and a restore file can only promise the same.
RegistryData SetDirectly(const RegistryData& data) {
  const std::string scratch = std::string(reg_cases::kTestKey) + "\\Scratch";
  SetValue(3, scratch, "v", data.type, data.bytes);
  std::optional<RegistryData> stored = ValueOf(3, scratch, "v");
  SHDeleteKeyA(HKEY_CURRENT_USER, scratch.c_str());
  return stored.value_or(RegistryData{});
}

// regedit /s, as a double-click would, from the system's own search path.
bool Import(const std::string& file) {
  PROCESS_INFORMATION process = {};
  if (!support::StartProcess("regedit.exe /s \"" + file + "\"", &process)) return false;
  const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

// ---------------------------------------------------------------------------
// regedit imports each hand-written file into exactly its values

TEST(RestoreFileImport, EveryCaseArrivesExactly) {
  for (const reg_cases::RegFileCase& c : reg_cases::RegFileCases()) {
    DeleteTestKey();
    // What the file must remove is there first, with something beside it
    // that must stay.
    for (const RegFileKey& key : c.keys) {
      if (key.remove) {
        SetValue(key.root, key.path + "\\Below", "Deep", REG_SZ, std::string("x", 2));
        continue;
      }
      SetValue(key.root, key.path, "Kept", REG_SZ, std::string("stays", 6));
      for (const RegFileValue& value : key.values)
        if (!value.data) SetValue(key.root, key.path, value.name, REG_SZ, std::string("present", 8));
    }
    ASSERT_TRUE(Import(kImportFolder + std::string(c.file))) << c.file;
    for (const RegFileKey& key : c.keys) {
      if (key.remove) {
        EXPECT_FALSE(KeyExists(key.root, key.path)) << c.file << ": " << key.path;
        continue;
      }
      EXPECT_EQ(ValueOf(key.root, key.path, "Kept"), (RegistryData{REG_SZ, std::string("stays", 6)})) << c.file;
      for (const RegFileValue& value : key.values) {
        const std::optional<RegistryData> arrived = ValueOf(key.root, key.path, value.name);
        if (!value.data) {
          EXPECT_FALSE(arrived.has_value()) << c.file << ": " << value.name;
          continue;
        }
        ASSERT_TRUE(arrived.has_value()) << c.file << ": " << value.name;
        EXPECT_EQ(*arrived, SetDirectly(*value.data)) << c.file << ": " << value.name;
      }
    }
  }
  DeleteTestKey();
}

// ---------------------------------------------------------------------------
// The reads

const std::string kReadKey = std::string(reg_cases::kTestKey) + "\\Reads";

TEST(BackupReads, ValuesComeWithTheirExactTypeAndBytes) {
  DeleteTestKey();
  struct Case {
    std::string name;
    DWORD type;
    std::string bytes;
  };
  const Case cases[] = {
      {"Text", REG_SZ, std::string("D:\\\x9C\x5C\xCB\xAE", 8)},  // D:\淺水 and its NUL
      {"", REG_SZ, std::string("default", 8)},
      {"Expandable", REG_EXPAND_SZ, std::string("%TEMP%\\x", 9)},
      {"Lines", REG_MULTI_SZ, std::string("a\0b\0\0", 5)},
      {"Number", REG_DWORD, std::string("\x9D\xFF\xFF\xFF", 4)},
      {"Blob", REG_BINARY, std::string(3000, '\x5A')},
      {"Empty", REG_BINARY, std::string()},
  };
  for (const Case& c : cases) SetValue(3, kReadKey, c.name, c.type, c.bytes);
  for (const Case& c : cases) {
    const RegistryValueRead read = ReadRegistryValue(3, kReadKey, c.name);
    EXPECT_EQ(read.status, RegistryReadStatus::kFound) << c.name;
    EXPECT_EQ(read.data, (RegistryData{c.type, c.bytes})) << c.name;
  }
  EXPECT_EQ(ReadRegistryValue(3, kReadKey, "Missing").status, RegistryReadStatus::kNoValue);
  EXPECT_EQ(ReadRegistryValue(3, kReadKey + "\\Missing", "Text").status, RegistryReadStatus::kNoKey);
  EXPECT_TRUE(RegistryKeyExists(3, kReadKey));
  EXPECT_FALSE(RegistryKeyExists(3, kReadKey + "\\Missing"));
  EXPECT_FALSE(RegistryKeyExists(3, kReadKey + "\\Missing\\Deeper"));
  DeleteTestKey();
}

TEST(BackupReads, ATreeComesWholeWithEveryKeyBeforeItsSubkeys) {
  DeleteTestKey();
  SetValue(3, kReadKey + "\\Tree", "Top", REG_SZ, std::string("t", 2));
  SetValue(3, kReadKey + "\\Tree\\A", "", REG_SZ, std::string("a", 2));
  SetValue(3, kReadKey + "\\Tree\\A\\Deep", "D", REG_DWORD, std::string("\1\0\0\0", 4));
  SetValue(3, kReadKey + "\\Tree\\B", "b1", REG_BINARY, std::string("\1\2", 2));
  SetValue(3, kReadKey + "\\Tree\\B", "b2", REG_BINARY, std::string("\3", 1));
  HKEY empty = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER, (kReadKey + "\\Tree\\C").c_str(), &empty);
  RegCloseKey(empty);

  const RegistryTreeRead tree = ReadRegistryTree(3, kReadKey + "\\Tree");
  ASSERT_EQ(tree.status, RegistryReadStatus::kFound);
  std::vector<std::string> paths;
  for (const RegistryTreeKey& key : tree.keys) paths.push_back(key.path);
  // Sibling order is the system's; each key comes before its own subkeys.
  ASSERT_EQ(paths.size(), 5u);
  EXPECT_EQ(paths[0], "");
  auto position = [&](const std::string& path) { return std::find(paths.begin(), paths.end(), path) - paths.begin(); };
  for (const char* path : {"A", "A\\Deep", "B", "C"}) EXPECT_LT(position(path), 5) << path;
  EXPECT_LT(position("A"), position("A\\Deep"));
  const RegistryTreeKey& b = tree.keys[position("B")];
  ASSERT_EQ(b.values.size(), 2u);
  EXPECT_EQ(b.values[0].second.bytes.size() + b.values[1].second.bytes.size(), 3u);
  EXPECT_EQ(tree.keys[position("A\\Deep")].values,
            (std::vector<std::pair<Text, RegistryData>>{{"D", {REG_DWORD, std::string("\1\0\0\0", 4)}}}));
  EXPECT_TRUE(tree.keys[position("C")].values.empty());
  EXPECT_EQ(ReadRegistryTree(3, kReadKey + "\\NoTree").status, RegistryReadStatus::kNoKey);
  DeleteTestKey();
}

// ---------------------------------------------------------------------------
// Files

TEST(BackupFiles, ANewFileNeverReplacesOne) {
  const std::string path = "C:\\lumeno-test\\new-file.reg";
  DeleteFileA(path.c_str());
  uint32_t error = 0;
  EXPECT_EQ(WriteNewFile(path, "first", &error), NewFileResult::kWritten);
  EXPECT_EQ(WriteNewFile(path, "second", &error), NewFileResult::kExists);
  std::string bytes;
  ASSERT_TRUE(ReadBytesFromFile(path, &bytes));
  EXPECT_EQ(bytes, "first");
  EXPECT_EQ(WriteNewFile("C:\\lumeno-test\\no such folder\\x.reg", "x", &error), NewFileResult::kFailed);
  EXPECT_EQ(error, static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));
  DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace lumeno
