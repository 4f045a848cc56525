#include "undo/restore_file.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "plan/outcome.h"
#include "platform/platform_rules.h"

namespace lumeno {

namespace {

// Registry names compare without regard to ASCII case.
Text Folded(std::string_view text) { return FoldAsciiCase(text); }

// The key paths from the root down to key_path: "a", "a\b", "a\b\c".
std::vector<Text> KeyPathPrefixes(const Text& key_path) {
  std::vector<Text> prefixes;
  for (size_t separator : BackslashPositions(key_path)) prefixes.push_back(key_path.substr(0, separator));
  prefixes.push_back(key_path);
  return prefixes;
}

bool IsSameOrBelow(const Text& folded_key, const Text& folded_top) {
  if (folded_key.size() < folded_top.size() || folded_key.compare(0, folded_top.size(), folded_top) != 0) return false;
  return folded_key.size() == folded_top.size() || folded_key[folded_top.size()] == '\\';
}

Text Describe(int root, const Text& key_path) {
  return key_path.empty() ? Text(RootKeyName(root)) : ConcatTexts(RootKeyName(root), "\\", key_path);
}

using Location = std::tuple<int, Text, Text>;  // root, folded key path, folded value name

struct State {
  std::vector<std::optional<RegistryData>> stores;  // what each write to the value stores
  bool deleted = false;
  bool creating = false;  // written with the keys on the way created
  bool planned = false;
  bool removed = false;   // the key: its section removes it
  size_t section = 0;     // the key: 1 + the index of its section of values; 0 none yet
};

class Planner {
 public:
  Planner(std::span<const RegistryChange> changes, const RegistryReads* reads) : reads_(reads) {
    for (const RegistryChange& change : changes) {
      if (change.kind == RegistryChange::Kind::kDeleteTree) continue;
      State& state = states_[LocationOf(change)];
      if (change.kind == RegistryChange::Kind::kDeleteValue) {
        state.deleted = true;
        continue;
      }
      state.stores.push_back(change.new_data);
      if (change.kind == RegistryChange::Kind::kSetValue) state.creating = true;
    }
  }

  RegistryBackupPlan Plan(std::span<const RegistryChange> changes) {
    for (const RegistryChange& change : changes) {
      if (IsUnloadedUsersHive(change.root, change.key_path)) continue;
      if (change.kind == RegistryChange::Kind::kDeleteTree)
        PlanTree(change);
      else
        PlanValue(change);
    }
    return std::move(plan_);
  }

 private:
  static Location LocationOf(const RegistryChange& change) {
    return {NormalizeRootNumber(change.root), Folded(change.key_path), Folded(change.value_name)};
  }

  bool IsRestoredWhole(int root, const Text& folded_key) const {
    for (const auto& [tree_root, tree] : restored_trees_)
      if (tree_root == root && IsSameOrBelow(folded_key, tree)) return true;
    return false;
  }

  // True when every store to the location puts back exactly what is there.
  static bool StaysAsItIs(const State& state, const RegistryData& current) {
    if (state.stores.empty()) return false;
    for (const std::optional<RegistryData>& store : state.stores)
      if (!store || *store != current) return false;
    return true;
  }

  void PlanValue(const RegistryChange& change) {
    const int root = NormalizeRootNumber(change.root);
    const Location location = LocationOf(change);
    if (IsRestoredWhole(root, std::get<1>(location))) return;
    State& state = states_[location];
    if (state.planned) return;
    state.planned = true;

    // Each location is planned once, from what is there before any change,
    // whatever the order of the changes that touch it.
    const RegistryValueRead read = ReadOnce(root, change);
    switch (read.status) {
      case RegistryReadStatus::kFound:
        if (!state.deleted && StaysAsItIs(state, read.data)) return;
        AddValue(root, change.key_path, {change.value_name, read.data});
        return;
      case RegistryReadStatus::kNoValue:
        if (!state.stores.empty()) AddValue(root, change.key_path, {change.value_name, {}});
        return;
      case RegistryReadStatus::kNoKey:
        if (state.creating) RemoveCreatedKeys(root, change);
        return;
      case RegistryReadStatus::kUnreadable:
        plan_.unreadable.push_back(Describe(root, change.key_path));
        return;
    }
  }

  RegistryValueRead ReadOnce(int root, const RegistryChange& change) const {
    if (reads_) {
      auto it = reads_->find(RegistryReadKeyOf(root, change.key_path, change.value_name));
      if (it != reads_->end()) return it->second;
    }
    return ReadRegistryValue(root, change.key_path, change.value_name);
  }

  // The key does not exist, so the write creates it and perhaps keys above
  // it: removing the topmost of those removes what the command added.
  void RemoveCreatedKeys(int root, const RegistryChange& change) {
    for (const Text& prefix : KeyPathPrefixes(change.key_path)) {
      if (RegistryKeyExists(root, prefix)) continue;
      bool& removed = states_[{root, Folded(prefix), Text()}].removed;
      if (!removed) plan_.keys.push_back({root, prefix, true, {}});
      removed = true;
      return;
    }
    // It exists after all (made meanwhile): take the value as missing.
    AddValue(root, change.key_path, {change.value_name, {}});
  }

  void AddValue(int root, const Text& key_path, RegFileValue value) {
    size_t& section = states_[{root, Folded(key_path), Text()}].section;
    if (section == 0) {
      plan_.keys.push_back({root, key_path, false, {}});
      section = plan_.keys.size();
    }
    plan_.keys[section - 1].values.push_back(std::move(value));
  }

  // Removing the key and writing it back as it was also undoes whatever the
  // command puts into it afterwards.
  void PlanTree(const RegistryChange& change) {
    const int root = NormalizeRootNumber(change.root);
    const Text folded = Folded(change.key_path);
    if (IsRestoredWhole(root, folded)) return;
    RegistryTreeRead tree = ReadRegistryTree(root, change.key_path);
    if (tree.status == RegistryReadStatus::kNoKey) return;
    if (tree.status != RegistryReadStatus::kFound) {
      plan_.unreadable.push_back(Describe(root, change.key_path));
      return;
    }
    restored_trees_.push_back({root, folded});
    plan_.keys.push_back({root, change.key_path, true, {}});
    for (RegistryTreeKey& key : tree.keys) {
      RegFileKey section{root, key.path.empty() ? change.key_path : ConcatTexts(change.key_path, "\\", key.path),
                         false, {}};
      for (auto& [name, data] : key.values) section.values.push_back({name, std::move(data)});
      plan_.keys.push_back(std::move(section));
    }
  }

  const RegistryReads* reads_;
  // Everything known of a location, in one map: a key is the location with
  // the value name empty.
  std::map<Location, State> states_;
  std::vector<std::pair<int, Text>> restored_trees_;
  RegistryBackupPlan plan_;
};

}  // namespace

RegistryChange SetRegistryItem(int root, std::string_view item_path, const RegistryValue& value) {
  RegistryItemParts parts = SplitRegistryItemPath(item_path);
  EncodedRegistryValue encoded = EncodeRegistryValue(value);
  return {RegistryChange::Kind::kSetValue, root, std::move(parts.key_path), std::move(parts.value_name),
          RegistryData{encoded.type, std::move(encoded.data)}};
}

RegistryChange DeleteRegistryValue(int root, std::string_view key_path, std::string_view value_name) {
  return {RegistryChange::Kind::kDeleteValue, root, Text(key_path), Text(value_name), std::nullopt};
}

RegistryChange DeleteRegistryTree(int root, std::string_view key_path) {
  return {RegistryChange::Kind::kDeleteTree, root, Text(key_path), Text(), std::nullopt};
}

RegistryReadKey RegistryReadKeyOf(int root, std::string_view key_path, std::string_view value_name) {
  return {NormalizeRootNumber(root), Folded(key_path), Folded(value_name)};
}

RegistryBackupPlan PlanRegistryBackup(std::span<const RegistryChange> changes, const RegistryReads* reads) {
  return Planner(changes, reads).Plan(changes);
}

// Kept apart from the writer (backup_writer.cpp), which the bench's program
// without restore files replaces as a whole.
void NoteBackup(const BackupResult& backup, Outcome& outcome) {
  if (!backup.needed || backup.written) return;
  Text why = backup.error;
  if (backup.system_error != 0) why += ConcatTexts("（", ErrorText(backup.system_error), "）");
  outcome.Failed("撤销文件", why);
}

}  // namespace lumeno
