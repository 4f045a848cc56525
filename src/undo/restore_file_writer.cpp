// Writing a backup: the restore file and any further files, named by the
// local time, into the first folder that takes them. Apart from the planning
// (registry_backup.cpp) so that a build can leave the backup out at link time
// and be measured against the program (scripts/bench).
#include <string>

#include "platform/platform_rules.h"
#include "undo/restore_file.h"

namespace lumeno {

namespace {

constexpr const char* kBackupFolderName = "备份";

// "<time stamp> <computer name>": the backup folders of a whole room of PCs
// often end up side by side in one place, and runs of one second on one
// machine are told apart by the suffix below.
Text NamePrefix(const LocalTime& time) {
  Text prefix = LocalTimeText(time, "", "-", "");  // YYYYMMDD-HHMMSS
  const Text computer = ComputerName();
  if (!computer.empty()) prefix += ConcatTexts(" ", computer);
  return prefix;
}

// "<folder>\<prefix> <name>", or with " (2)", " (3)" ... before the extension
// when that exists. The file is only ever created anew, so two runs that
// start in the same second each get a whole file of their own. Empty when the
// folder does not take the file.
Text WriteUniquelyNamed(const Text& folder, const Text& prefix, const BackupFile& file, uint32_t* error) {
  const size_t dot = file.name.rfind('.');
  const Text stem = file.name.substr(0, dot);
  const Text extension = dot == Text::npos ? Text() : file.name.substr(dot);
  for (int n = 1; n < 1000; ++n) {
    const Text suffix = n == 1 ? Text() : ConcatTexts(" (", UnsignedText(static_cast<uint32_t>(n)), ")");
    const Text path = ConcatTexts(folder, "\\", prefix, " ", stem, suffix, extension);
    switch (WriteNewFile(path, file.bytes, error)) {
      case NewFileResult::kWritten: return path;
      case NewFileResult::kExists: continue;
      case NewFileResult::kFailed: return {};
    }
  }
  return {};
}

// The folders a restore file may go to, in order: the program's own, then
// %APPDATA%\Lumeno. The second is only asked for when the first takes no
// file: finding it loads shell32, which most commands never need otherwise.
Text BackupFolder(size_t index) {
  if (index == 0) return ConcatTexts(ProgramDirectory(), "\\", kBackupFolderName);
  const Text application_data = ApplicationDataFolder();
  return application_data.empty() ? Text() : ConcatTexts(application_data, "\\Lumeno\\", kBackupFolderName);
}

// Makes the folder and the folders above it that may be missing: the program
// directory exists, %APPDATA%\Lumeno perhaps not.
void MakeFolder(const Text& folder, bool with_parent) {
  if (with_parent) CreateFolder(folder.substr(0, folder.rfind('\\')));
  CreateFolder(folder);
}

void WriteFiles(const Text& prefix, std::span<const BackupFile> files, BackupResult* result) {
  std::vector<Text> folders;
  Text folder;
  for (size_t i = 0; i < 2 && folder.empty(); ++i) {
    Text candidate = BackupFolder(i);
    if (candidate.empty()) break;
    folders.push_back(std::move(candidate));
    MakeFolder(folders[i], i > 0);
    Text path = WriteUniquelyNamed(folders[i], prefix, files[0], &result->system_error);
    if (path.empty()) continue;
    folder = folders[i];
    result->paths.push_back(std::move(path));
  }
  if (folder.empty()) {
    const Text second = folders.size() > 1 ? ConcatTexts("或“", folders[1], "”") : Text();
    result->error = ConcatTexts("无法在“", folders[0], "”", second, "中写入备份文件");
    return;
  }
  for (const BackupFile& file : files.subspan(1)) {
    Text path = WriteUniquelyNamed(folder, prefix, file, &result->system_error);
    if (path.empty()) {
      result->error = ConcatTexts("无法在“", folder, "”中写入备份文件“", file.name, "”");
      return;
    }
    result->paths.push_back(std::move(path));
  }
  result->written = true;
  result->system_error = 0;
}

}  // namespace

BackupResult BackupBeforeChanges(std::string_view command, std::span<const RegistryChange> changes,
                                 std::span<const BackupFile> further_files, const RegistryReads* reads) {
  const RegistryBackupPlan plan = PlanRegistryBackup(changes, reads);
  std::vector<BackupFile> files;
  if (!plan.keys.empty()) files.push_back({ConcatTexts(command, ".reg"), RegFileText(plan.keys)});
  for (const BackupFile& file : further_files) files.push_back(BackupFile(file));

  BackupResult result;
  result.needed = !files.empty() || !plan.unreadable.empty();
  if (!files.empty()) WriteFiles(NamePrefix(CurrentLocalTime()), files, &result);
  if (!plan.unreadable.empty()) {
    // What was read is kept on disk; the rest cannot be restored from it.
    result.written = false;
    if (!result.error.empty()) result.error += "；";
    result.error += "无法读取：";
    for (const Text& key : plan.unreadable) {
      if (&key != &plan.unreadable.front()) result.error += "、";
      result.error += key;
    }
  }
  return result;
}

}  // namespace lumeno
