// Junk and privacy cleaning (the six cleaning items of MainWindow).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/text.h"

namespace lumeno {

// The addresses typed into the browser, under HKEY_CURRENT_USER; privacy
// kind 0 deletes this key with everything below it.
inline constexpr char kTypedAddressesKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

// A file or folder a cleaning walk could not delete, for a reason other than
// being in use. The path is GBK; a character GBK has no bytes for reads
// <U+XXXX> (see UnicodeMark).
struct UndeletableEntry {
  Text path;
  uint32_t error = 0;
  bool operator==(const UndeletableEntry&) const = default;
};

// One call's undeletable entries: the first kListedUndeletable of them, and
// how many more there were.
inline constexpr size_t kListedUndeletable = 10;
struct CleaningReport {
  std::vector<UndeletableEntry> undeletable;
  uint32_t more_undeletable = 0;
};

// What a cleaning call would delete: files (links included, at no bytes)
// and their bytes.
struct CleaningTally {
  uint64_t files = 0;
  uint64_t bytes = 0;
  bool operator==(const CleaningTally&) const = default;
};

// Kinds: 0 temporary folder, 1 browser cache, 2 recycle bins.
bool CleanSystemJunk(int kind, CleaningReport* report = nullptr);
// Kinds: 0 typed addresses, 1 stored form passwords, 3 favorites, 9 history.
bool CleanPrivacyTraces(int kind, CleaningReport* report = nullptr);

// The same kinds, walked without deleting or changing anything. Registry
// kinds count nothing; the recycle bins count what the system says they hold.
CleaningTally CountSystemJunk(int kind);
CleaningTally CountPrivacyTraces(int kind);
// Everything below a folder, walked the same way (what a copy of it carries).
CleaningTally CountFolder(const Text& folder);

}  // namespace lumeno
