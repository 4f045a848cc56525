// Recording fake of the backup reads and files (platform/exact_io.h),
// answering from the fake registry and file system of fake::State.
#include <cctype>

#include "fakes/recorder.h"
#include "platform/platform_rules.h"

namespace lumeno::fake {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::pair<int, std::string> KeyOf(int root, const std::string& path) {
  return {NormalizeRootNumber(root), Lower(path)};
}

bool IsBelow(const std::string& lower_key, const std::string& lower_top) {
  if (lower_top.empty()) return true;
  return lower_key.rfind(lower_top, 0) == 0 &&
         (lower_key.size() == lower_top.size() || lower_key[lower_top.size()] == '\\');
}

}  // namespace

void AddRegistryKey(int root, const std::string& key_path) {
  for (size_t end = key_path.find('\\');; end = key_path.find('\\', end + 1)) {
    std::string prefix = key_path.substr(0, end);
    auto& key = GetState().registry[KeyOf(root, prefix)];
    if (key.path.empty()) key.path = prefix;
    if (end == std::string::npos) break;
  }
}

void SetRegistryValue(int root, const std::string& key_path, const std::string& name, RegistryData data) {
  AddRegistryKey(root, key_path);
  auto& values = GetState().registry[KeyOf(root, key_path)].values;
  for (auto& [existing, value] : values)
    if (Lower(existing) == Lower(name)) {
      value = std::move(data);
      return;
    }
  values.emplace_back(name, std::move(data));
}

}  // namespace lumeno::fake

namespace lumeno {

using fake::GetState;
using fake::KeyOf;
using fake::Lower;
using fake::Record;

RegistryValueRead ReadRegistryValue(int root, const Text& key_path, const Text& value_name) {
  Record("ReadRegistryValue", {std::to_string(NormalizeRootNumber(root)), key_path, value_name});
  RegistryValueRead read;
  if (GetState().unreadable_keys.count(KeyOf(root, key_path))) return read;
  auto key = GetState().registry.find(KeyOf(root, key_path));
  read.status = RegistryReadStatus::kNoValue;
  if (key == GetState().registry.end()) {
    if (!key_path.empty()) read.status = RegistryReadStatus::kNoKey;  // the root itself always exists
    return read;
  }
  for (const auto& [name, data] : key->second.values)
    if (Lower(name) == Lower(value_name)) {
      read.status = RegistryReadStatus::kFound;
      read.data = data;
    }
  return read;
}

bool RegistryKeyExists(int root, const Text& key_path) {
  Record("RegistryKeyExists", {std::to_string(NormalizeRootNumber(root)), key_path});
  return key_path.empty() || GetState().registry.count(KeyOf(root, key_path)) > 0 ||
         GetState().unreadable_keys.count(KeyOf(root, key_path)) > 0;
}

RegistryTreeRead ReadRegistryTree(int root, const Text& key_path) {
  Record("ReadRegistryTree", {std::to_string(NormalizeRootNumber(root)), key_path});
  RegistryTreeRead read;
  const auto top = KeyOf(root, key_path);
  if (!GetState().registry.count(top)) {
    read.status = GetState().unreadable_keys.count(top) ? RegistryReadStatus::kUnreadable : RegistryReadStatus::kNoKey;
    return read;
  }
  // The map's order puts every key before the keys below it.
  for (const auto& [where, key] : GetState().registry) {
    if (where.first != top.first || !fake::IsBelow(where.second, top.second)) continue;
    if (GetState().unreadable_keys.count(where)) return {RegistryReadStatus::kUnreadable, {}};
    std::string relative = where.second == top.second ? std::string() : key.path.substr(key_path.size() + 1);
    read.keys.push_back({relative, key.values});
  }
  read.status = RegistryReadStatus::kFound;
  return read;
}

LocalTime CurrentLocalTime() { return GetState().local_time; }

Text ApplicationDataFolder() {
  ++GetState().application_data_asked;
  return GetState().application_data;
}

NewFileResult WriteNewFile(const Text& path, std::string_view bytes, uint32_t* error) {
  Record("WriteNewFile", {path, std::string(bytes)});
  *error = 0;
  if (GetState().unwritable_folders.count(path.substr(0, path.rfind('\\')))) {
    *error = 5;
    return NewFileResult::kFailed;
  }
  if (GetState().files.count(path)) {
    *error = 80;
    return NewFileResult::kExists;
  }
  GetState().files[path] = std::string(bytes);
  return NewFileResult::kWritten;
}

}  // namespace lumeno
