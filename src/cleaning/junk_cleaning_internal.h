// The file, URL-cache and index routines under CleanSystemJunk and
// CleanPrivacyTraces, declared for the Win32 tests and the benchmark.
#pragma once

#include "platform/text.h"

namespace lumeno {

// Empties the folder's tree (the folder itself stays). desktop.ini entries are
// kept unless delete_desktop_ini; index.dat files are zeroed past their
// header before the delete when zero_index_dat. Links are removed, never
// followed; entries whose path would pass MAX_PATH are skipped. False when
// the folder cannot be listed.
bool WipeFolderTree(const Text& folder, bool delete_desktop_ini, bool zero_index_dat);

// Deletes every file below the folder; directories and read-only files stay.
void DeleteFilesUnder(const Text& folder);

// Deletes the URL-cache entries that are cookies (cookies true) or that are
// not (false). False when no enumeration can be started.
bool PurgeUrlCache(bool cookies);

// Overwrites folder\name from byte 64 to its end with zeros; a file of 64
// bytes or less is not written. False when it cannot be opened for writing.
bool ZeroFillIndexFile(const Text& folder, const Text& name);

}  // namespace lumeno
