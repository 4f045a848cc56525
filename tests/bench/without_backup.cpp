// For scripts/bench only. Linked before the program's library, this
// definition stands in for the one of backup_writer.cpp, so that
// lumeno_without_backup.exe is the program exactly but for its restore files
// (the list of changes is still made; nothing is read or written for it).
#include "undo/restore_file.h"

namespace lumeno {

BackupResult BackupBeforeChanges(std::string_view, std::span<const RegistryChange>, std::span<const BackupFile>,
                                 const RegistryReads*) {
  return {};
}

}  // namespace lumeno
