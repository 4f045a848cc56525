// The reads and file operations of the restore files on Win32. Every key and
// file handle opened here is closed before returning.
#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/exact_io.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "platform/registry_roots_win32.h"

namespace lumeno {

namespace {

// The data of one value of an open key. Most values fit the first buffer,
// so one call usually does; a value larger, or one that grew meanwhile, is
// asked again with the size the system reports.
LONG QueryValue(HKEY key, const char* name, RegistryData* data) {
  std::vector<char> buffer(512);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_SUCCESS) {
      data->type = type;
      data->bytes.assign(buffer.data(), size);
      return ERROR_SUCCESS;
    }
    if (status != ERROR_MORE_DATA) return status;
    buffer.resize(size > buffer.size() ? size : buffer.size() * 2);
  }
  return ERROR_MORE_DATA;
}

// Values and subkeys of key, into keys; false when anything could not be read.
bool ReadTree(HKEY key, const Text& path, std::vector<RegistryTreeKey>* keys) {
  DWORD longest_subkey = 0, longest_name = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &longest_subkey, nullptr, nullptr, &longest_name,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  const size_t index_of_this_key = keys->size();
  keys->emplace_back().path = path;

  std::vector<char> name(longest_name + 2);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    LONG status = RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA && name.size() < 0x10000) {
      name.resize(name.size() * 2);
      --index;
      continue;
    }
    if (status != ERROR_SUCCESS) return false;
    RegistryData data;
    if (QueryValue(key, name.data(), &data) != ERROR_SUCCESS) return false;
    (*keys)[index_of_this_key].values.emplace_back(Text(name.data(), length), std::move(data));
  }

  // Subkey names first, then each subtree: a key deleted meanwhile would
  // shift the indices of the enumeration.
  // The value names' buffer serves for them, at the size they need.
  std::vector<Text> names;
  std::vector<char>& subkey = name;
  subkey.resize(longest_subkey + 2);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(subkey.size());
    LONG status = RegEnumKeyExA(key, index, subkey.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA && subkey.size() < 0x1000) {
      subkey.resize(subkey.size() * 2);
      --index;
      continue;
    }
    if (status != ERROR_SUCCESS) return false;
    names.emplace_back(subkey.data(), length);
  }
  for (const Text& child_name : names) {
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, child_name.c_str(), 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
    bool read = ReadTree(child, path.empty() ? child_name : path + "\\" + child_name, keys);
    RegCloseKey(child);
    if (!read) return false;
  }
  return true;
}

}  // namespace

RegistryValueRead ReadRegistryValue(int root, const Text& key_path, const Text& value_name) {
  RegistryValueRead read;
  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(RootKeyFor(root), key_path.c_str(), 0, KEY_QUERY_VALUE, &key);
  if (status == ERROR_FILE_NOT_FOUND) {
    read.status = RegistryReadStatus::kNoKey;
    return read;
  }
  if (status != ERROR_SUCCESS) return read;
  status = QueryValue(key, value_name.c_str(), &read.data);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS)
    read.status = RegistryReadStatus::kFound;
  else if (status == ERROR_FILE_NOT_FOUND)
    read.status = RegistryReadStatus::kNoValue;
  return read;
}

bool RegistryKeyExists(int root, const Text& key_path) { return QueryRegistryKey(root, key_path) != Presence::kAbsent; }

RegistryTreeRead ReadRegistryTree(int root, const Text& key_path) {
  RegistryTreeRead read;
  HKEY key = nullptr;
  LONG status = RegOpenKeyExA(RootKeyFor(root), key_path.c_str(), 0, KEY_READ, &key);
  if (status == ERROR_FILE_NOT_FOUND) {
    read.status = RegistryReadStatus::kNoKey;
    return read;
  }
  if (status != ERROR_SUCCESS) return read;
  const bool complete = ReadTree(key, "", &read.keys);
  RegCloseKey(key);
  read.status = complete ? RegistryReadStatus::kFound : RegistryReadStatus::kUnreadable;
  return read;
}

LocalTime CurrentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

Text ApplicationDataFolder() {
  char path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE)) return {};
  Text folder = path;
  if (!folder.empty() && folder.back() == '\\' && folder.size() > 3) folder.pop_back();
  return folder;
}

NewFileResult WriteNewFile(const Text& path, std::string_view bytes, uint32_t* error) {
  *error = 0;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return *error == ERROR_FILE_EXISTS || *error == ERROR_ALREADY_EXISTS ? NewFileResult::kExists
                                                                          : NewFileResult::kFailed;
  }
  bool complete = true;
  while (complete && !bytes.empty()) {
    DWORD written = 0;
    DWORD chunk = bytes.size() > 0x100000u ? 0x100000u : static_cast<DWORD>(bytes.size());
    complete = WriteFile(file, bytes.data(), chunk, &written, nullptr) && written > 0;
    if (complete) bytes.remove_prefix(written);
  }
  if (!complete) *error = GetLastError();
  CloseHandle(file);
  if (complete) return NewFileResult::kWritten;
  DeleteFileA(path.c_str());
  return NewFileResult::kFailed;
}

}  // namespace lumeno
