// Junk and privacy cleaning on real folders, registry keys and the URL cache
// of a throwaway Wine prefix.
#include <windows.h>
#include <sddl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cleaning/junk_cleaning.h"
#include "cleaning/junk_cleaning_internal.h"

namespace lumeno {
namespace {

std::string CurrentDirectory() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool ExistsWide(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The test folders' paths are ASCII.
std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Creates every missing folder of the path.
void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
  ASSERT_TRUE(Exists(path)) << path;
}

void MakeFile(const std::string& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
  if (attributes != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
  }
}

void MakeWideFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

std::string ReadThrough(HANDLE file) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string bytes(1 << 16, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

// Opened for reading in a way that lets the cleaner write but not delete.
HANDLE HoldOpen(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string SpecialFolder(int csidl) {
  char buffer[MAX_PATH] = {};
  EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, buffer, csidl, TRUE));
  return buffer;
}

// Points TMP and TEMP at a folder for the lifetime of the object.
class TemporaryFolderOverride {
 public:
  explicit TemporaryFolderOverride(const std::string& folder) {
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
  }
  ~TemporaryFolderOverride() {
    SetEnvironmentVariableA("TMP", nullptr);
    SetEnvironmentVariableA("TEMP", nullptr);
  }
};

// ---------------------------------------------------------------------------
// System temporary folder

TEST(TemporaryFolder, EmptiesTheTreeButKeepsTheFolder) {
  const std::string temp = CurrentDirectory() + "\\scratch-temp";
  MakeFolders(temp + "\\sub\\deeper");
  MakeFile(temp + "\\sub\\read-only.txt", "ro", FILE_ATTRIBUTE_READONLY);
  MakeFile(temp + "\\sub\\deeper\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
  MakeFile(temp + "\\desktop.ini", "[.ShellClassInfo]");
  MakeFile(temp + "\\top.tmp", "t");
  TemporaryFolderOverride override_temp(temp);

  EXPECT_TRUE(CleanSystemJunk(0));

  EXPECT_TRUE(Exists(temp));
  EXPECT_FALSE(Exists(temp + "\\sub\\read-only.txt"));
  EXPECT_FALSE(Exists(temp + "\\sub"));
  EXPECT_FALSE(Exists(temp + "\\desktop.ini"));
  EXPECT_FALSE(Exists(temp + "\\top.tmp"));
}

TEST(TemporaryFolder, RefusesTheWindowsDirectoryAsTemporaryFolder) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string sentinel = std::string(windows) + "\\lumeno-sentinel.txt";
  MakeFile(sentinel, "keep");
  {
    TemporaryFolderOverride override_temp(windows);
    EXPECT_FALSE(CleanSystemJunk(0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_PATHNAME)) << "the refusal leaves its reason";
  }
  EXPECT_TRUE(Exists(sentinel));
  DeleteFileA(sentinel.c_str());
}

// The setup step of this test program (cleaning_test.setup.sh) makes, from
// the Linux side since Wine cannot make links itself, links\temp\outside-link
// pointing at links\outside and links\cache\outside-link pointing at
// links\outside-cache.
class Links : public ::testing::Test {
 protected:
  const std::string root = CurrentDirectory() + "\\links";

  // Fills the folder a link points to and checks the link is one.
  void PrepareTarget(const std::string& link, const std::string& target) {
    const DWORD link_attributes = GetFileAttributesA(link.c_str());
    ASSERT_NE(link_attributes, INVALID_FILE_ATTRIBUTES) << "the setup step did not make " << link;
    ASSERT_TRUE(link_attributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << link_attributes;
    MakeFolders(target + "\\inner");
    MakeFile(target + "\\precious.txt", "p", FILE_ATTRIBUTE_READONLY);
    MakeFile(target + "\\inner\\more.txt", "m");
    MakeFile(target + "\\desktop.ini", "d");
  }
  void ExpectTargetIntact(const std::string& target) {
    EXPECT_TRUE(Exists(target + "\\precious.txt"));
    EXPECT_EQ(GetFileAttributesA((target + "\\precious.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(Exists(target + "\\inner\\more.txt"));
    EXPECT_TRUE(Exists(target + "\\desktop.ini"));
  }
};

TEST_F(Links, TemporaryFolderCleaningDoesNotWalkALinkToAFolderOutside) {
  PrepareTarget(root + "\\temp\\outside-link", root + "\\outside");
  MakeFile(root + "\\temp\\junk.tmp", "j");
  {
    TemporaryFolderOverride override_temp(root + "\\temp");
    EXPECT_EQ(CountSystemJunk(0), (CleaningTally{2, 1})) << "the link and junk.tmp; nothing behind the link";
    EXPECT_TRUE(CleanSystemJunk(0));
  }
  EXPECT_FALSE(Exists(root + "\\temp\\junk.tmp"));
  ExpectTargetIntact(root + "\\outside");
}

TEST_F(Links, CacheFileDeletionDoesNotWalkALinkToAFolderOutside) {
  PrepareTarget(root + "\\cache\\outside-link", root + "\\outside-cache");
  MakeFile(root + "\\cache\\junk.bin", "j");
  DeleteFilesUnder(root + "\\cache");
  EXPECT_FALSE(Exists(root + "\\cache\\junk.bin"));
  ExpectTargetIntact(root + "\\outside-cache");
}

TEST(WipeFolderTree, DeletesEntriesBeyondMaxPath) {
  const std::string temp = CurrentDirectory() + "\\scratch-deep";
  MakeFolders(temp);
  // A folder whose own path fits, holding an entry whose path would not.
  const std::string near_limit = temp + "\\" + std::string(240 - temp.size(), 'n');
  ASSERT_TRUE(CreateDirectoryA(near_limit.c_str(), nullptr));
  const std::wstring wide_deep_file = L"\\\\?\\" + Wide(near_limit) + L"\\" + std::wstring(40, L'f') + L".txt";
  MakeWideFile(wide_deep_file, "deep");
  MakeFile(temp + "\\ordinary.tmp", "o");

  EXPECT_TRUE(WipeFolderTree(temp, true, false));

  EXPECT_FALSE(Exists(temp + "\\ordinary.tmp"));
  EXPECT_FALSE(ExistsWide(wide_deep_file));
  EXPECT_FALSE(Exists(near_limit));
}

// Counting walks what the real run walks, by the same rules, and changes
// nothing; the run then deletes names in any script (emoji, a surrogate pair;
// Hangul, a folder too) at any depth.
TEST(TemporaryFolder, CountsExactlyWhatTheRunThenDeletesWhateverItsNameOrDepth) {
  const std::string temp = CurrentDirectory() + "\\scratch-count";
  MakeFolders(temp + "\\sub");
  MakeFile(temp + "\\sub\\read-only.txt", "12345", FILE_ATTRIBUTE_READONLY);
  MakeFile(temp + "\\desktop.ini", "[.ShellClassInfo]");  // 17 bytes, not kept in the temporary folder
  const std::wstring hangul_folder = Wide(temp) + L"\\\xD55C\xAE00";
  ASSERT_TRUE(CreateDirectoryW(hangul_folder.c_str(), nullptr));
  const std::wstring foreign[] = {hangul_folder + L"\\\xD55C\xAD6D\xC5B4.txt",
                                  L"\\\\?\\" + Wide(temp) + L"\\" + std::wstring(240, L'f') + L"-\xD83D\xDE00.txt"};
  for (const std::wstring& name : foreign) MakeWideFile(name, std::string(500, 'x'));
  TemporaryFolderOverride override_temp(temp);

  EXPECT_EQ(CountSystemJunk(0), (CleaningTally{4, 1022}));
  EXPECT_TRUE(Exists(temp + "\\desktop.ini"));
  EXPECT_NE(GetFileAttributesA((temp + "\\sub\\read-only.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  for (const std::wstring& name : foreign) EXPECT_TRUE(ExistsWide(name));

  CleaningReport report;
  EXPECT_TRUE(CleanSystemJunk(0, &report));
  for (const std::wstring& name : foreign) EXPECT_FALSE(ExistsWide(name));
  EXPECT_FALSE(ExistsWide(hangul_folder));
  EXPECT_TRUE(report.undeletable.empty());
  EXPECT_EQ(CountSystemJunk(0), CleaningTally{}) << "everything counted was deleted";
}

// ---------------------------------------------------------------------------
// Favorites and typed addresses

TEST(Favorites, KeepsDesktopIniAndTheFoldersHoldingOne) {
  const std::string favorites = SpecialFolder(CSIDL_FAVORITES);
  MakeFolders(favorites + "\\Kept\\Inner");
  MakeFile(favorites + "\\Kept\\desktop.ini", "[.ShellClassInfo]");
  MakeFile(favorites + "\\Kept\\site.url", "u");
  MakeFile(favorites + "\\Kept\\Inner\\other.url", "u");
  MakeFolders(favorites + "\\Gone");
  MakeFile(favorites + "\\Gone\\a.url", "a", FILE_ATTRIBUTE_READONLY);
  MakeFile(favorites + "\\top.url", "t");
  MakeFile(favorites + "\\DESKTOP.INI", "d");

  EXPECT_TRUE(CleanPrivacyTraces(3));

  EXPECT_TRUE(Exists(favorites + "\\Kept\\desktop.ini"));
  EXPECT_TRUE(Exists(favorites + "\\DESKTOP.INI"));
  EXPECT_FALSE(Exists(favorites + "\\Kept\\site.url"));
  EXPECT_FALSE(Exists(favorites + "\\Kept\\Inner"));
  EXPECT_FALSE(Exists(favorites + "\\Gone"));
  EXPECT_FALSE(Exists(favorites + "\\top.url"));
}

TEST(TypedAddresses, DeletesTheKeyWithItsValuesAndSubkeys) {
  const char* typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(typed) + "\\Sub").c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, typed, &key), ERROR_SUCCESS);
  const char url[] = "http://example.invalid/";
  RegSetValueExA(key, "url1", 0, REG_SZ, reinterpret_cast<const BYTE*>(url), sizeof url);
  RegCloseKey(key);

  EXPECT_TRUE(CleanPrivacyTraces(0));
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, typed, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(CleanPrivacyTraces(0)) << "nothing left to delete is no failure";
}

// ---------------------------------------------------------------------------
// History and index.dat

class History : public ::testing::Test {
 protected:
  static std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(0xA0 + i % 7);
    return bytes;
  }
  static void ExpectZeroedPastHeader(const std::string& before, const std::string& after) {
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, 64), before.substr(0, 64));
    EXPECT_EQ(after.substr(64), std::string(before.size() - 64, '\0'));
  }
};

TEST_F(History, ZeroesIndexFilesPastTheirHeaderBeforeTheDelete) {
  const std::string history = SpecialFolder(CSIDL_HISTORY);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string windows_history = std::string(windows) + "\\History";
  MakeFolders(history + "\\History.IE5\\MSHist01");
  MakeFolders(windows_history + "\\Old");
  const std::string big = Pattern(25000);  // spans three write blocks
  const std::string mid = Pattern(65);
  const std::string small = Pattern(64);
  MakeFile(history + "\\History.IE5\\index.dat", mid);
  MakeFile(history + "\\History.IE5\\MSHist01\\INDEX.DAT", small);
  MakeFile(windows_history + "\\Old\\index.dat", big);
  MakeFile(history + "\\History.IE5\\desktop.ini", "d");
  MakeFile(history + "\\History.IE5\\visited.txt", "v");
  HANDLE held_mid = HoldOpen(history + "\\History.IE5\\index.dat");
  HANDLE held_small = HoldOpen(history + "\\History.IE5\\MSHist01\\INDEX.DAT");
  HANDLE held_big = HoldOpen(windows_history + "\\Old\\index.dat");
  ASSERT_NE(held_mid, INVALID_HANDLE_VALUE);
  ASSERT_NE(held_small, INVALID_HANDLE_VALUE);
  ASSERT_NE(held_big, INVALID_HANDLE_VALUE);

  CleaningReport report;
  EXPECT_TRUE(CleanPrivacyTraces(9, &report));
  EXPECT_TRUE(report.undeletable.empty()) << "files in use, and the folders they keep, are no report";

  ExpectZeroedPastHeader(mid, ReadThrough(held_mid));
  ExpectZeroedPastHeader(big, ReadThrough(held_big));
  EXPECT_EQ(ReadThrough(held_small), small);  // 64 bytes: not written at all
  CloseHandle(held_mid);
  CloseHandle(held_small);
  CloseHandle(held_big);
  EXPECT_TRUE(Exists(history + "\\History.IE5\\index.dat"));  // in use: it stays
  EXPECT_TRUE(Exists(history + "\\History.IE5\\desktop.ini"));
  EXPECT_FALSE(Exists(history + "\\History.IE5\\visited.txt"));
}

TEST_F(History, IndexFileOfSixtyFourBytesIsLeftUntouched) {
  const std::string folder = CurrentDirectory() + "\\scratch-index";
  MakeFolders(folder);
  const std::string small = Pattern(64);
  MakeFile(folder + "\\index.dat", small);
  FILETIME before{}, after{};
  HANDLE file = HoldOpen(folder + "\\index.dat");
  GetFileTime(file, nullptr, nullptr, &before);
  CloseHandle(file);
  Sleep(20);
  EXPECT_TRUE(ZeroFillIndexFile(folder, "index.dat"));
  file = HoldOpen(folder + "\\index.dat");
  GetFileTime(file, nullptr, nullptr, &after);
  EXPECT_EQ(ReadThrough(file), small);
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
  EXPECT_FALSE(ZeroFillIndexFile(folder, "missing.dat"));
}

// ---------------------------------------------------------------------------
// Browser cache

bool SeedCacheEntry(const char* url, DWORD type) {
  char local_file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryA(url, 0, "txt", local_file, 0)) return false;
  HANDLE file = CreateFileA(local_file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, "data", 4, &written, nullptr);
  CloseHandle(file);
  FILETIME never{};
  return CommitUrlCacheEntryA(url, local_file, never, never, type, nullptr, 0, "txt", nullptr);
}

bool InCache(const char* url) {
  DWORD size = 0;
  GetUrlCacheEntryInfoA(url, nullptr, &size);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  std::vector<unsigned char> buffer(size);
  return GetUrlCacheEntryInfoA(url, reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()), &size);
}

TEST(BrowserCache, CookiesSurviveWhileOtherEntriesAndFilesGo) {
  const char* cookie = "Cookie:tester@example.invalid/";
  const char* page = "http://example.invalid/page.html";
  const char* image = "http://example.invalid/image.png";
  ASSERT_TRUE(SeedCacheEntry(cookie, COOKIE_CACHE_ENTRY));
  ASSERT_TRUE(SeedCacheEntry(page, NORMAL_CACHE_ENTRY));
  ASSERT_TRUE(SeedCacheEntry(image, NORMAL_CACHE_ENTRY));
  ASSERT_TRUE(InCache(cookie));
  ASSERT_TRUE(InCache(page));
  const std::string cache = SpecialFolder(CSIDL_INTERNET_CACHE);
  MakeFolders(cache + "\\Content.Test\\Sub");
  MakeFile(cache + "\\Content.Test\\Sub\\loose.bin", "l");
  MakeFile(cache + "\\Content.Test\\locked.bin", "r", FILE_ATTRIBUTE_READONLY);
  // 中, then an emoji and a Hangul syllable, which GBK cannot show.
  const std::wstring foreign = Wide(cache) + L"\\Content.Test\\locked-\x4E2D\xD83D\xDE00\xD55C.bin";
  MakeWideFile(foreign, "f");
  ASSERT_TRUE(SetFileAttributesW(foreign.c_str(), FILE_ATTRIBUTE_READONLY));

  CleaningReport report;
  EXPECT_TRUE(CleanSystemJunk(1, &report));

  EXPECT_TRUE(InCache(cookie));
  EXPECT_FALSE(InCache(page));
  EXPECT_FALSE(InCache(image));
  EXPECT_FALSE(Exists(cache + "\\Content.Test\\Sub\\loose.bin"));
  EXPECT_TRUE(Exists(cache + "\\Content.Test\\Sub"));             // folders stay
  EXPECT_TRUE(Exists(cache + "\\Content.Test\\locked.bin"));      // attributes untouched
  EXPECT_TRUE(ExistsWide(foreign));
  // The read-only files stay and are named, in whatever order the folder lists them ('-' sorts before '.').
  std::sort(report.undeletable.begin(), report.undeletable.end(), [](auto& a, auto& b) { return a.path < b.path; });
  EXPECT_EQ(report.undeletable, (std::vector<UndeletableEntry>{
                                    {cache + "\\Content.Test\\locked-\xD6\xD0<U+1F600><U+D55C>.bin", 5},
                                    {cache + "\\Content.Test\\locked.bin", 5}}));
  EXPECT_TRUE(PurgeUrlCache(true));
  EXPECT_FALSE(InCache(cookie));
}

TEST(BrowserCache, AReportListsTenUndeletableEntriesAndCountsTheRest) {
  const std::string folder = CurrentDirectory() + "\\scratch-cache";
  MakeFolders(folder);
  for (int i = 0; i < 12; ++i) MakeFile(folder + "\\locked" + std::to_string(i) + ".bin", "r", FILE_ATTRIBUTE_READONLY);
  CleaningReport report;
  DeleteFilesUnder(folder, &report);
  EXPECT_EQ(report.undeletable.size(), 10u);
  EXPECT_EQ(report.more_undeletable, 2u);
}

// ---------------------------------------------------------------------------
// Stored form passwords (protected storage)

std::string UserSidText() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  std::vector<unsigned char> info(256);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, info.data(), static_cast<DWORD>(info.size()), &size);
  CloseHandle(token);
  char* text = nullptr;
  ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid, &text);
  std::string result = text ? text : "";
  LocalFree(text);
  return result;
}

std::vector<unsigned char> KeyDacl(const std::string& path) {
  HKEY key = nullptr;
  std::vector<unsigned char> descriptor;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return descriptor;
  DWORD size = 0;
  RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
  descriptor.resize(size);
  if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data(), &size) != ERROR_SUCCESS) descriptor.clear();
  RegCloseKey(key);
  return descriptor;
}

// "mask/flags/SID" for each ACE of a descriptor's DACL.
std::vector<std::string> DescribeDacl(std::vector<unsigned char> descriptor) {
  std::vector<std::string> aces;
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  if (descriptor.empty() || !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted) || !acl)
    return aces;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* ace = nullptr;
    GetAce(acl, i, &ace);
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    char* sid = nullptr;
    ConvertSidToStringSidA(&allowed->SidStart, &sid);
    char line[160];
    wsprintfA(line, "%lX/%u/%s", allowed->Mask, allowed->Header.AceFlags, sid ? sid : "?");
    LocalFree(sid);
    aces.push_back(line);
  }
  return aces;
}

TEST(FormPasswords, DeletesTheFormDataKeyAndRestoresTheBaseKeyAccessList) {
  const std::string base = "Software\\Microsoft\\Protected Storage System Provider\\" + UserSidText();
  const std::string form_data = base + "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (form_data + "\\Entries\\Deeper").c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (base + "\\Data\\other-item").c_str(), &key), ERROR_SUCCESS);
  RegCloseKey(key);
  // A distinctive list on the base key: the user with read access only.
  {
    std::vector<unsigned char> sid_buffer(SECURITY_MAX_SID_SIZE);
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    std::vector<unsigned char> info(256);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, info.data(), static_cast<DWORD>(info.size()), &size);
    CloseHandle(token);
    PSID user = reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid;
    std::vector<unsigned char> acl(64 + GetLengthSid(user));
    ASSERT_TRUE(InitializeAcl(reinterpret_cast<PACL>(acl.data()), static_cast<DWORD>(acl.size()), ACL_REVISION));
    ASSERT_TRUE(AddAccessAllowedAce(reinterpret_cast<PACL>(acl.data()), ACL_REVISION, KEY_READ | WRITE_DAC, user));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl.data()), FALSE);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  const std::vector<std::string> base_before = DescribeDacl(KeyDacl(base));
  ASSERT_EQ(base_before.size(), 1u);

  EXPECT_TRUE(CleanPrivacyTraces(1));

  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, form_data.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (base + "\\Data\\other-item").c_str(), 0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(DescribeDacl(KeyDacl(base)), base_before);
  // "Data" keeps the opened list: full access for the user, then Local System,
  // both inherited by subkeys.
  const std::vector<std::string> opened = {"F003F/3/" + UserSidText(), "F003F/3/S-1-5-18"};
  EXPECT_EQ(DescribeDacl(KeyDacl(base + "\\Data")), opened);
}

TEST(FormPasswords, WithoutAnyStoredDataThereIsNothingToDo) {
  const std::string base = "Software\\Microsoft\\Protected Storage System Provider\\" + UserSidText();
  SHDeleteKeyA(HKEY_CURRENT_USER, base.c_str());
  EXPECT_TRUE(CleanPrivacyTraces(1));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

// A temporary folder that does not exist holds nothing to clean.
TEST(TemporaryFolder, AMissingFolderIsNothingToClean) {
  const std::string temp = CurrentDirectory() + "\\no-such-temp";
  ASSERT_FALSE(Exists(temp));
  TemporaryFolderOverride override_temp(temp);
  EXPECT_TRUE(CleanSystemJunk(0));
  EXPECT_FALSE(Exists(temp));
}

}  // namespace
}  // namespace lumeno
