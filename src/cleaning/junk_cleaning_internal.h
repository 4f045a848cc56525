// The file, URL-cache and index routines under CleanSystemJunk and
// CleanPrivacyTraces, declared for the Win32 tests and the benchmark.
#pragma once

#include "cleaning/junk_cleaning.h"
#include "platform/text.h"

namespace lumeno {

// The walks below go through the wide-character API with \\?\ paths, so no
// name and no depth is out of reach. Entries they cannot delete (but files
// in use) go to *report when there is one. With a tally they delete and
// change nothing and add up what they would delete instead.

// Empties the folder's tree (the folder itself stays). desktop.ini entries are
// kept unless delete_desktop_ini; index.dat files are zeroed past their
// header before the delete when zero_index_dat. Links are removed, never
// followed. False when the folder cannot be listed.
bool WipeFolderTree(const Text& folder, bool delete_desktop_ini, bool zero_index_dat,
                    CleaningReport* report = nullptr, CleaningTally* tally = nullptr);

// Deletes every file below the folder; directories and read-only files stay
// (a read-only file is reported, and not counted).
void DeleteFilesUnder(const Text& folder, CleaningReport* report = nullptr, CleaningTally* tally = nullptr);

// Deletes the URL-cache entries that are cookies (cookies true) or that are
// not (false). False when no enumeration can be started.
bool PurgeUrlCache(bool cookies);

// Overwrites folder\name from byte 64 to its end with zeros; a file of 64
// bytes or less is not written. False when it cannot be opened for writing.
bool ZeroFillIndexFile(const Text& folder, const Text& name);

}  // namespace lumeno
