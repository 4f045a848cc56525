// Junk and privacy cleaning: temporary folder, browser cache, recycle bins,
// typed addresses, stored form passwords, favorites and history. Everything
// is deleted at once and for good; failures are results, never messages.
// CleanSystemJunk and CleanPrivacyTraces return true when they did their
// work, and "nothing to clean" (no such folder, key or cache entry) is work
// done; false leaves the system's reason in the thread's last error. Single
// files in use are skipped by design and do not make a call fail; other
// entries that stay are named in the caller's report.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wininet.h>

#include <string>
#include <string_view>
#include <vector>

#include "cleaning/junk_cleaning.h"
#include "cleaning/junk_cleaning_internal.h"
#include "cleaning/junk_cleaning_rules.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

constexpr DWORD kZeroFillOffset = 64;  // the index.dat header stays as it was
constexpr DWORD kZeroFillBlock = 10000;

const char* const kTypedUrlsKey = kTypedAddressesKey;
const char* const kProtectedStorageKey = "Software\\Microsoft\\Protected Storage System Provider\\";
const char* const kFormDataKey = "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

Text WithoutTrailingBackslashes(Text folder) {
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool SpecialFolder(int csidl, Text* path) {
  char buffer[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE) || buffer[0] == '\0') return false;
  *path = buffer;
  return true;
}

std::wstring WideText(const Text& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// GBK for the report, character by character, so that only the characters
// the code page lacks turn into marks (never into a look-alike or '?').
// Appended to text.
void AppendReportedPath(std::wstring_view path, Text& text) {
  for (size_t at = 0; at < path.size();) {
    uint32_t code_point = path[at];
    size_t length = 1;
    if (code_point >= 0xD800 && code_point <= 0xDBFF && at + 1 < path.size() && path[at + 1] >= 0xDC00 &&
        path[at + 1] <= 0xDFFF) {
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (path[at + 1] - 0xDC00);
      length = 2;
    }
    char bytes[8];
    BOOL defaulted = FALSE;
    const int written = length == 1 ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &path[at], 1, bytes,
                                                          sizeof bytes, nullptr, &defaulted)
                                    : 0;
    if (written > 0 && !defaulted)
      text.append(bytes, static_cast<size_t>(written));
    else
      text += UnicodeMark(code_point);
    at += length;
  }
}

bool ZeroFillIndexFileAt(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) && size.QuadPart > kZeroFillOffset) {
    LARGE_INTEGER offset;
    offset.QuadPart = kZeroFillOffset;
    if (SetFilePointerEx(file, offset, nullptr, FILE_BEGIN)) {
      // Writable, so that it takes room in memory only and none in the file.
      static char zeros[kZeroFillBlock];
      LONGLONG remaining = size.QuadPart - kZeroFillOffset;
      while (remaining > 0) {
        DWORD block = remaining < kZeroFillBlock ? static_cast<DWORD>(remaining) : kZeroFillBlock;
        DWORD written = 0;
        if (!WriteFile(file, zeros, block, &written, nullptr) || written != block) break;
        remaining -= block;
      }
    }
  }
  CloseHandle(file);
  return true;
}

// One walk over a folder tree. path holds the entry at hand and grows and
// shrinks as the walk goes, so a tree of 20,000 files builds no 20,000
// strings. It starts with \\?\ (\\?\UNC\ for a share): that lifts the
// MAX_PATH limit and reaches names Win32 path parsing would alter (trailing
// dots or spaces, device names such as CON).
struct FolderWalk {
  bool delete_desktop_ini = true;
  bool zero_index_dat = false;
  bool files_only = false;  // folders and read-only files stay
  CleaningReport* report = nullptr;
  CleaningTally* tally = nullptr;  // counting: nothing is deleted or changed
  std::wstring path;
  size_t prefix_length = 0;  // what AppendReportedPath leaves out of path
  bool unc = false;

  bool Start(const Text& folder);
  bool WalkFolder();
  void Visit(const WIN32_FIND_DATAW& entry);
  void Removed(BOOL removed);
  void Undeletable(DWORD error);
};

bool FolderWalk::Start(const Text& folder) {
  const std::wstring given = WideText(folder);
  const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return false;
  full.resize(length);
  while (full.size() > 1 && full.back() == L'\\') full.pop_back();
  // full ends in its NUL, so the look at its first four characters stops there.
  const bool backslashes = full[0] == L'\\' && full[1] == L'\\';
  if (backslashes && (full[2] == L'?' || full[2] == L'.') && full[3] == L'\\') {
    path = std::move(full);
    return true;
  }
  // \\server\share goes as \\?\UNC\server\share: its first backslash stays.
  unc = backslashes;
  path = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
  prefix_length = unc ? 8 : 4;
  path.append(full, unc ? 1 : 0);
  return true;
}

// False, with the system's reason, when the folder cannot be listed.
bool FolderWalk::WalkFolder() {
  const size_t folder_length = path.size();
  path += L"\\*";
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(path.c_str(), &entry);
  path.resize(folder_length);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    if (IsDotEntry(entry.cFileName)) continue;
    if (!delete_desktop_ini && NameEqualsIgnoringCase(entry.cFileName, "desktop.ini")) continue;
    path += L'\\';
    path += entry.cFileName;
    Visit(entry);
    path.resize(folder_length);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return true;
}

// A directory junction, symbolic link or other reparse point is removed as
// the entry it is, never walked: whatever it points to lies outside the
// folder being cleaned. Its attributes are left alone for the same reason.
void FolderWalk::Visit(const WIN32_FIND_DATAW& entry) {
  const DWORD attributes = entry.dwFileAttributes;
  const bool is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (IsLink(attributes)) {
    if (tally)
      ++tally->files;
    else
      Removed(is_folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str()));
    return;
  }
  // The cache keeps its read-only files (the delete below fails, and says so).
  if (tally && files_only && !is_folder && (attributes & FILE_ATTRIBUTE_READONLY)) return;
  if (!tally && !files_only && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (is_folder) {
    // One that vanished meanwhile is nothing left behind.
    if (!WalkFolder()) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) Undeletable(error);
    }
    if (!tally && !files_only) Removed(RemoveDirectoryW(path.c_str()));
    return;
  }
  if (tally) {
    ++tally->files;
    tally->bytes += (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    return;
  }
  if (zero_index_dat && NameEqualsIgnoringCase(entry.cFileName, "index.dat")) ZeroFillIndexFileAt(path.c_str());
  Removed(DeleteFileW(path.c_str()));
}

// A file in use stays by design, and a folder that still holds something
// owes it to an entry already accounted for (or kept by rule).
void FolderWalk::Removed(BOOL removed) {
  if (removed) return;
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_DIR_NOT_EMPTY ||
      error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    return;
  Undeletable(error);
}

void FolderWalk::Undeletable(DWORD error) {
  if (!report || tally) return;
  if (report->undeletable.size() == kListedUndeletable) {
    ++report->more_undeletable;
    return;
  }
  UndeletableEntry& entry = report->undeletable.emplace_back();
  if (unc) entry.path = "\\\\";
  AppendReportedPath(std::wstring_view(path).substr(prefix_length), entry.path);
  entry.error = error;
}

}  // namespace

bool ZeroFillIndexFile(const Text& folder, const Text& name) {
  Text path;
  if (!JoinChildPath(folder, name, &path)) return false;
  return ZeroFillIndexFileAt(WideText(path).c_str());
}

bool WipeFolderTree(const Text& folder, bool delete_desktop_ini, bool zero_index_dat, CleaningReport* report,
                    CleaningTally* tally) {
  FolderWalk walk;
  walk.delete_desktop_ini = delete_desktop_ini;
  walk.zero_index_dat = zero_index_dat;
  walk.report = report;
  walk.tally = tally;
  return walk.Start(folder) && walk.WalkFolder();
}

void DeleteFilesUnder(const Text& folder, CleaningReport* report, CleaningTally* tally) {
  FolderWalk walk;
  walk.files_only = true;
  walk.report = report;
  walk.tally = tally;
  if (walk.Start(folder)) walk.WalkFolder();
}

namespace {

using EntryBuffer = std::vector<unsigned char>;

INTERNET_CACHE_ENTRY_INFOA* AsEntry(EntryBuffer& buffer) {
  return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
}

// The size query must fail with ERROR_INSUFFICIENT_BUFFER and name the size.
bool SizedForNextEntry(HANDLE enumeration, EntryBuffer& buffer) {
  DWORD size = 0;
  if (FindNextUrlCacheEntryA(enumeration, nullptr, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  if (size < sizeof(INTERNET_CACHE_ENTRY_INFOA)) size = sizeof(INTERNET_CACHE_ENTRY_INFOA);
  buffer.assign(size, 0);
  return FindNextUrlCacheEntryA(enumeration, AsEntry(buffer), &size);
}

}  // namespace

bool PurgeUrlCache(bool cookies) {
  DWORD size = 0;
  HANDLE enumeration = FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
  if (enumeration != nullptr) {
    FindCloseUrlCache(enumeration);  // cannot happen with no buffer; never leak it
    return false;
  }
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  if (size < sizeof(INTERNET_CACHE_ENTRY_INFOA)) size = sizeof(INTERNET_CACHE_ENTRY_INFOA);
  EntryBuffer buffer(size, 0);
  enumeration = FindFirstUrlCacheEntryA(nullptr, AsEntry(buffer), &size);
  if (enumeration == nullptr) return false;
  do {
    const INTERNET_CACHE_ENTRY_INFOA* entry = AsEntry(buffer);
    const bool is_cookie = (entry->CacheEntryType & COOKIE_CACHE_ENTRY) != 0;
    if (is_cookie == cookies && entry->lpszSourceUrlName != nullptr) DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
  } while (SizedForNextEntry(enumeration, buffer));
  FindCloseUrlCache(enumeration);
  return true;
}

namespace {

// --- stored form passwords (protected storage) -----------------------------

// The current user's SID, copied out of the token; empty when any step fails.
std::vector<unsigned char> CurrentUserSid() {
  std::vector<unsigned char> sid;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenUser, nullptr, 0, &size) && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    std::vector<unsigned char> info(size);
    if (GetTokenInformation(token, TokenUser, info.data(), size, &size)) {
      PSID user = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
      if (IsValidSid(user)) {
        sid.resize(GetLengthSid(user));
        if (!CopySid(static_cast<DWORD>(sid.size()), sid.data(), user)) sid.clear();
      }
    }
  }
  CloseHandle(token);
  return sid;
}

Text SidTextOf(PSID sid) {
  std::vector<uint32_t> subs;
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  for (UCHAR i = 0; i < count; ++i) subs.push_back(*GetSidSubAuthority(sid, i));
  return SidText(GetSidIdentifierAuthority(sid)->Value[5], subs);
}

// The key's DACL as a self-relative descriptor; empty when the key cannot be
// opened or read.
std::vector<unsigned char> SaveKeyDacl(const Text& key_path) {
  std::vector<unsigned char> saved;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return saved;
  DWORD size = 0;
  if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size) == ERROR_INSUFFICIENT_BUFFER) {
    saved.resize(size);
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data(), &size) != ERROR_SUCCESS) saved.clear();
  }
  RegCloseKey(key);
  return saved;
}

void PutKeyDacl(const Text& key_path, PSECURITY_DESCRIPTOR descriptor) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
  RegCloseKey(key);
}

// The DACL goes on first, so that the subkeys can be listed afterwards even
// where the old list forbade it.
void PutKeyDaclRecursively(const Text& key_path, PSECURITY_DESCRIPTOR descriptor) {
  PutKeyDacl(key_path, descriptor);
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) return;
  char name[261];
  for (DWORD index = 0; RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS; ++index)
    PutKeyDaclRecursively(ConcatTexts(key_path, "\\", name), descriptor);
  RegCloseKey(key);
}

// User + Local System, full access, inherited by subkeys.
struct OpenAccessDescriptor {
  std::vector<unsigned char> acl;
  SECURITY_DESCRIPTOR descriptor;
};

bool BuildOpenAccessDescriptor(PSID user, OpenAccessDescriptor* out) {
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  PSID local_system = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &local_system))
    return false;
  // ACL header + two ACCESS_ALLOWED_ACEs: this equals both SID lengths + 24.
  out->acl.assign(TwoAceAclSize(GetLengthSid(user), GetLengthSid(local_system)), 0);
  PACL acl = reinterpret_cast<PACL>(out->acl.data());
  const DWORD inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  bool built = InitializeAcl(acl, static_cast<DWORD>(out->acl.size()), ACL_REVISION) &&
               AddAccessAllowedAceEx(acl, ACL_REVISION, inherit, KEY_ALL_ACCESS, user) &&
               AddAccessAllowedAceEx(acl, ACL_REVISION, inherit, KEY_ALL_ACCESS, local_system) &&
               InitializeSecurityDescriptor(&out->descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&out->descriptor, TRUE, acl, FALSE);
  FreeSid(local_system);
  return built;
}

// A key that is not there is as deleted as it gets.
bool DeletedOrAbsent(LONG status) {
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  SetLastError(static_cast<DWORD>(status));
  return false;
}

bool DeleteFormDataOnNt() {
  std::vector<unsigned char> sid = CurrentUserSid();
  if (sid.empty()) return false;
  const Text base_key = ConcatTexts(kProtectedStorageKey, SidTextOf(sid.data()));
  const Text form_data_key = ConcatTexts(base_key, kFormDataKey);
  std::vector<unsigned char> saved_dacl = SaveKeyDacl(base_key);
  bool deleted = false;
  OpenAccessDescriptor open_access;
  if (BuildOpenAccessDescriptor(sid.data(), &open_access)) {
    PutKeyDacl(base_key, &open_access.descriptor);
    PutKeyDacl(ConcatTexts(base_key, "\\Data"), &open_access.descriptor);
    PutKeyDaclRecursively(form_data_key, &open_access.descriptor);
    deleted = DeletedOrAbsent(SHDeleteKeyA(HKEY_CURRENT_USER, form_data_key.c_str()));
  }
  const DWORD error = GetLastError();
  if (!saved_dacl.empty()) PutKeyDacl(base_key, saved_dacl.data());
  SetLastError(error);
  return deleted;
}

bool DeleteFormDataOnOtherPlatforms() {
  char user[260] = {};
  DWORD size = sizeof user;
  // Without a name the key path would name another user's data.
  if (!GetUserNameA(user, &size) || user[0] == '\0') return false;
  const Text key = ConcatTexts(kProtectedStorageKey, user, kFormDataKey);
  return DeletedOrAbsent(SHDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()));
}

// GetTempPathA falls back to the profile or the Windows directory when no
// TMP or TEMP is set; wiping those would destroy the installation.
bool IsSafeTemporaryFolder(const Text& folder) {
  if (folder.size() <= 3) return false;  // "C:\" or shorter: a drive root
  char windows[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH && lstrcmpiA(WithoutTrailingBackslashes(windows).c_str(), folder.c_str()) == 0)
    return false;
  Text profile;
  if (SpecialFolder(CSIDL_PROFILE, &profile) &&
      lstrcmpiA(WithoutTrailingBackslashes(profile).c_str(), folder.c_str()) == 0)
    return false;
  return true;
}

// A folder that is not there holds nothing to clean.
bool WipeUnlessMissing(const Text& folder, bool delete_desktop_ini, bool zero_index_dat, CleaningReport* report,
                       CleaningTally* tally) {
  if (WipeFolderTree(folder, delete_desktop_ini, zero_index_dat, report, tally)) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The temporary folder that kind 0 empties; false, with the reason, when
// there is none fit to be emptied.
bool TemporaryFolderToClean(Text* folder) {
  char buffer[MAX_PATH] = {};
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) {
    if (length != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  *folder = WithoutTrailingBackslashes(buffer);
  if (!IsSafeTemporaryFolder(*folder)) {
    SetLastError(ERROR_BAD_PATHNAME);
    return false;
  }
  return true;
}

// Kind 9 empties this folder too; there is none when the Windows directory
// cannot be named.
bool WindowsHistoryFolder(Text* folder) {
  char windows[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  *folder = WithoutTrailingBackslashes(windows) + "\\History";
  return true;
}

// An empty recycle bin is no failure, though some systems answer the empty
// call with an error then: what counts is that nothing is left in it.
bool EmptyRecycleBins() {
  const HRESULT emptied = SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
  if (emptied == S_OK) return true;
  SHQUERYRBINFO left;
  ZeroMemory(&left, sizeof left);
  left.cbSize = sizeof left;
  if (SHQueryRecycleBinA(nullptr, &left) == S_OK && left.i64NumItems == 0) return true;
  SetLastError(static_cast<DWORD>(emptied));
  return false;
}

}  // namespace

bool CleanSystemJunk(int kind, CleaningReport* report) {
  switch (kind) {
    case 0: {
      Text folder;
      return TemporaryFolderToClean(&folder) && WipeUnlessMissing(folder, true, false, report, nullptr);
    }
    case 1: {
      // An empty cache answers the enumeration with "no more items".
      bool purged = PurgeUrlCache(false);
      const DWORD purge_error = purged ? ERROR_SUCCESS : GetLastError();
      if (purge_error == ERROR_NO_MORE_ITEMS) purged = true;
      Text cache;
      if (SpecialFolder(CSIDL_INTERNET_CACHE, &cache)) DeleteFilesUnder(cache, report);
      SetLastError(purge_error);
      return purged;
    }
    case 2:
      return EmptyRecycleBins();
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
  }
}

// A special folder the system does not know for this user holds nothing.
bool CleanPrivacyTraces(int kind, CleaningReport* report) {
  switch (kind) {
    case 0:
      return DeletedOrAbsent(SHDeleteKeyA(HKEY_CURRENT_USER, kTypedUrlsKey));
    case 1:
      return IsNtPlatform(QueryWindowsVersion()) ? DeleteFormDataOnNt() : DeleteFormDataOnOtherPlatforms();
    case 3: {
      Text favorites;
      if (!SpecialFolder(CSIDL_FAVORITES, &favorites)) return true;
      return WipeUnlessMissing(favorites, false, false, report, nullptr);
    }
    case 9: {
      Text folder;
      if (WindowsHistoryFolder(&folder)) WipeFolderTree(folder, false, true, report);
      if (!SpecialFolder(CSIDL_HISTORY, &folder)) return true;
      return WipeUnlessMissing(folder, false, true, report, nullptr);
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
  }
}

// The URL cache's entries are the cache folder's files, so its walk counts
// them; the recycle bins are the system's to count.
CleaningTally CountFolder(const Text& folder) {
  CleaningTally tally;
  WipeFolderTree(folder, true, false, nullptr, &tally);
  return tally;
}

CleaningTally CountSystemJunk(int kind) {
  CleaningTally tally;
  Text folder;
  if (kind == 0 && TemporaryFolderToClean(&folder)) WipeFolderTree(folder, true, false, nullptr, &tally);
  if (kind == 1 && SpecialFolder(CSIDL_INTERNET_CACHE, &folder)) DeleteFilesUnder(folder, nullptr, &tally);
  if (kind == 2) {
    SHQUERYRBINFO held;
    ZeroMemory(&held, sizeof held);
    held.cbSize = sizeof held;
    if (SHQueryRecycleBinA(nullptr, &held) == S_OK) {
      tally.files = static_cast<uint64_t>(held.i64NumItems);
      tally.bytes = static_cast<uint64_t>(held.i64Size);
    }
  }
  return tally;
}

// Typed addresses and form passwords are registry keys: no files.
CleaningTally CountPrivacyTraces(int kind) {
  CleaningTally tally;
  Text folder;
  if (kind == 3 && SpecialFolder(CSIDL_FAVORITES, &folder)) WipeFolderTree(folder, false, false, nullptr, &tally);
  if (kind == 9) {
    if (WindowsHistoryFolder(&folder)) WipeFolderTree(folder, false, true, nullptr, &tally);
    if (SpecialFolder(CSIDL_HISTORY, &folder)) WipeFolderTree(folder, false, true, nullptr, &tally);
  }
  return tally;
}

}  // namespace lumeno
