// Junk and privacy cleaning (the six cleaning items of MainWindow).
#pragma once

namespace lumeno {

// The addresses typed into the browser, under HKEY_CURRENT_USER; privacy
// kind 0 deletes this key with everything below it.
inline constexpr char kTypedAddressesKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

// Kinds: 0 temporary folder, 1 browser cache, 2 recycle bins.
bool CleanSystemJunk(int kind);
// Kinds: 0 typed addresses, 1 stored form passwords, 3 favorites, 9 history.
bool CleanPrivacyTraces(int kind);

}  // namespace lumeno
