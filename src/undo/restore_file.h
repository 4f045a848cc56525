// Restore files: before a command changes the registry or a service's start
// type, it writes down what was there, as a REGEDIT4 file that puts it back
// when double-clicked. Portable: the reads go through backup_io.h.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exact_io.h"
#include "platform/platform.h"
#include "undo/reg_file.h"

namespace lumeno {

// One thing a command is about to do to the registry.
struct RegistryChange {
  enum class Kind {
    kSetValue,          // written; missing keys on the way are created
    kSetExistingValue,  // written only if its key exists (sc config of an installed service)
    kDeleteValue,
    kDeleteTree,        // the key with everything below it
  };
  Kind kind = Kind::kSetValue;
  int root = 0;  // a WriteRegistryItem root number
  Text key_path;
  Text value_name;                       // empty: the default value
  std::optional<RegistryData> new_data;  // what a set stores, when known
};

// What WriteRegistryItem(root, item_path, value) will do.
RegistryChange SetRegistryItem(int root, std::string_view item_path, const RegistryValue& value);
RegistryChange DeleteRegistryValue(int root, std::string_view key_path, std::string_view value_name);
RegistryChange DeleteRegistryTree(int root, std::string_view key_path);

// The restore file's sections for changes, read before any of them is made.
// Nothing that would stay as it is appears: a value already holding what
// every write to it stores, a delete of what does not exist, a service that is
// not installed, a key under HKEY_USERS that is no loaded hive.
struct RegistryBackupPlan {
  std::vector<RegFileKey> keys;  // empty: nothing would change
  std::vector<Text> unreadable;  // "HKEY_...\key" of what could not be read
};
// Values read already, by (root number, key path and value name with ASCII
// capitals folded): the planner reads only what is not among them.
using RegistryReadKey = std::tuple<int, Text, Text>;
RegistryReadKey RegistryReadKeyOf(int root, std::string_view key_path, std::string_view value_name);
using RegistryReads = std::map<RegistryReadKey, RegistryValueRead>;
RegistryBackupPlan PlanRegistryBackup(std::span<const RegistryChange> changes, const RegistryReads* reads = nullptr);

// A further file of the same backup, named "<time stamp> <computer name> <name>".
struct BackupFile {
  Text name;
  std::string bytes;
};

// The outcome of one backup. A backup that is needed but not written is a
// failure of the command; its changes still run.
struct BackupResult {
  bool needed = false;      // something the backup covers is about to change
  bool written = false;     // the whole backup is on disk
  std::vector<Text> paths;  // the files written, the restore file first
  Text error;               // when needed and not written: what is missing and why (GBK)
  uint32_t system_error = 0;  // the system's error number of a file that could not be made
};

// Writes "<YYYYMMDD-HHMMSS> <computer name> <command>.reg" (and the further files) into
// <program directory>\备份, or, when that cannot be made or written,
// %APPDATA%\Lumeno\备份; " (2)", " (3)" ... keep an existing file. No file
// when nothing would change.
BackupResult BackupBeforeChanges(std::string_view command, std::span<const RegistryChange> changes,
                                 std::span<const BackupFile> further_files = {},
                                 const RegistryReads* reads = nullptr);

class Outcome;
// A backup that was needed and could not be written is one failure of the
// command: the user learns that no restore file exists.
void NoteBackup(const BackupResult& backup, Outcome& outcome);

}  // namespace lumeno
