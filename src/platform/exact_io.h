// The reads and file operations the restore files are made with: exact
// registry values, whole key trees, the local time, the user's application
// data folder and files that must not already exist. Portable declarations;
// backup_io_win32.cpp implements them, the recording fake answers from its
// own registry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace lumeno {

// A registry value exactly as RegQueryValueExA gives it: its type number and
// its data bytes (a REG_SZ includes its terminating NUL).
struct RegistryData {
  uint32_t type = 0;
  std::string bytes;
  bool operator==(const RegistryData&) const = default;
};

enum class RegistryReadStatus {
  kFound,
  kNoValue,     // the key exists, the value does not
  kNoKey,       // the key does not exist
  kUnreadable,  // it may exist, but cannot be read (no rights, or another failure)
};

struct RegistryValueRead {
  RegistryReadStatus status = RegistryReadStatus::kUnreadable;
  RegistryData data;  // when found
};

// root: a WriteRegistryItem root number. An empty value name reads the
// key's default value.
RegistryValueRead ReadRegistryValue(int root, const Text& key_path, const Text& value_name);

// False only when the key is known not to exist: a key that exists but may
// not be opened still exists.
bool RegistryKeyExists(int root, const Text& key_path);

// One key of a tree: its path below the tree's top key ("" for the top key
// itself, "a\b" for a grandchild) and its values in enumeration order.
struct RegistryTreeKey {
  Text path;
  std::vector<std::pair<Text, RegistryData>> values;
};

// status kFound (keys hold the top key first, every key before its subkeys),
// kNoKey, or kUnreadable when any part of the tree could not be read.
struct RegistryTreeRead {
  RegistryReadStatus status = RegistryReadStatus::kUnreadable;
  std::vector<RegistryTreeKey> keys;
};
RegistryTreeRead ReadRegistryTree(int root, const Text& key_path);

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime CurrentLocalTime();

// The current user's application data folder (%APPDATA%), without a trailing
// backslash; empty when the system does not name one.
Text ApplicationDataFolder();

enum class NewFileResult { kWritten, kExists, kFailed };

// Creates the file only if nothing exists at path yet, and writes bytes. A
// file it created but could not fill completely is removed again, so no half
// restore file is ever left. *error receives the system error of a failure.
NewFileResult WriteNewFile(const Text& path, std::string_view bytes, uint32_t* error);

}  // namespace lumeno
