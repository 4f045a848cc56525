#include "plan/plan.h"

#include "cleaning/junk_cleaning.h"
#include "platform/platform_rules.h"

namespace lumeno {

namespace {

constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services\\";

RegistryData DwordData(uint32_t value) {
  EncodedRegistryValue encoded = EncodeRegistryValue(static_cast<int32_t>(value));
  return {encoded.type, std::move(encoded.data)};
}

// "约 N 个文件，M 字节": what a counting walk found.
Text TallyText(const CleaningTally& tally) {
  return ConcatTexts("约 ", UnsignedText64(tally.files), " 个文件，", UnsignedText64(tally.bytes), " 字节");
}

Text KeyName(int root, const Text& key_path) {
  return key_path.empty() ? Text(RootKeyName(root)) : ConcatTexts(RootKeyName(root), "\\", key_path);
}

}  // namespace

Plan RefusedPlan(Text text, int style, Text title) {
  Plan plan;
  plan.refusal = Refusal{std::move(text), style, std::move(title)};
  return plan;
}

Step& PlanBuilder::Add(StepKind kind, int group, Text what) {
  Step& step = plan_.steps.emplace_back();
  step.kind = kind;
  step.group = group;
  step.what = std::move(what);
  return step;
}

// What an earlier step of this plan writes is what a later one finds;
// anything else is read from the registry, once.
RegistryValueRead PlanBuilder::ValueBefore(int root, const Text& key_path, const Text& value_name) {
  const RegistryReadKey key = RegistryReadKeyOf(root, key_path, value_name);
  if (auto planned = planned_.find(key); planned != planned_.end())
    return planned->second;
  auto it = plan_.reads.find(key);
  if (it == plan_.reads.end()) it = plan_.reads.emplace(key, ReadRegistryValue(root, key_path, value_name)).first;
  return it->second;
}

RegistryValueRead PlanBuilder::ValueNow(int root, std::string_view item_path) {
  const RegistryItemParts parts = SplitRegistryItemPath(item_path);
  return ValueBefore(root, parts.key_path, parts.value_name);
}

void PlanBuilder::WriteValue(int root, std::string_view item_path, const RegistryValue& value, int group,
                             bool in_place) {
  if (IsUnloadedUsersHive(root, item_path)) return;
  RegistryItemParts parts = SplitRegistryItemPath(item_path);
  EncodedRegistryValue encoded = EncodeRegistryValue(value);
  Step& step = Add(StepKind::kRegistryWrite, group, ConcatTexts(RootKeyName(root), "\\", item_path));
  step.root = root;
  step.item_path = Text(item_path);
  step.value = value;
  step.data = {encoded.type, std::move(encoded.data)};
  step.before = ValueBefore(root, parts.key_path, parts.value_name);
  step.already = step.before.status == RegistryReadStatus::kFound && (in_place || step.before.data == step.data);
  planned_[RegistryReadKeyOf(root, parts.key_path, parts.value_name)] = {RegistryReadStatus::kFound,
                                                                         step.already ? step.before.data : step.data};
  step.key_path = std::move(parts.key_path);
  step.value_name = std::move(parts.value_name);
}

void PlanBuilder::DeleteKeyTree(int root, std::string_view key_path, Text what) {
  Step& step = Add(StepKind::kRegistryDelete, 0, std::move(what));
  step.root = root;
  step.key_path = Text(key_path);
  step.already = QueryRegistryKey(root, step.key_path) == Presence::kAbsent;
}

void PlanBuilder::SetServiceStart(Text line, Text service, uint32_t start_type, int group) {
  Step& step = Add(StepKind::kServiceStart, group, ConcatTexts("服务 ", service));
  step.root = kRootLocalMachine;
  step.key_path = ConcatTexts(kServicesKey, service);
  step.value_name = "Start";
  step.line = std::move(line);
  step.service = std::move(service);
  step.start_type = start_type;
  step.before = ValueBefore(step.root, step.key_path, step.value_name);
  std::optional<RegistryData> start;
  if (start_type != 0) start = DwordData(start_type);
  step.already = start && step.before.status == RegistryReadStatus::kFound && step.before.data == *start;
  // sc changes nothing of a service this system does not have.
  if (start && step.before.status != RegistryReadStatus::kNoKey)
    planned_[RegistryReadKeyOf(step.root, step.key_path, step.value_name)] = {RegistryReadStatus::kFound, *start};
  step.changes.push_back({RegistryChange::Kind::kSetExistingValue, step.root, step.key_path, step.value_name, start});
}

Step& PlanBuilder::RunCommand(Text line, CommandCheck check, Text subject, int group) {
  Step& step = Add(StepKind::kCommandLine, group,
                   check == CommandCheck::kServiceRunning ? ConcatTexts("启动服务 ", subject)
                   : check == CommandCheck::kShareGone    ? ConcatTexts("共享 ", subject)
                                                          : line);
  step.line = std::move(line);
  step.check = check;
  step.subject = std::move(subject);
  return step;
}

Step& PlanBuilder::WriteFile(Text path, std::string bytes, FileWriteMode mode, int group) {
  Step& step = Add(StepKind::kFileWrite, group, path);
  step.path = std::move(path);
  step.bytes = std::move(bytes);
  step.write_mode = mode;
  return step;
}

Step& PlanBuilder::CreateFolder(Text path, int group) {
  Step& step = Add(StepKind::kCreateFolder, group, path);
  step.already = FolderExists(path);
  step.path = std::move(path);
  return step;
}

void PlanBuilder::SetDisplayMode(const DisplayMode& mode) {
  Step& step = Add(StepKind::kDisplayMode, 0, "显示模式");
  step.display = mode;
  const DisplayMode now = ScreenMode();
  step.before.status = RegistryReadStatus::kFound;
  step.before.data.bytes = DisplayModeText(now);
  step.already = now.width == mode.width && now.height == mode.height && now.bits_per_pixel == mode.bits_per_pixel &&
                 now.refresh_hz == mode.refresh_hz;
}

Step& PlanBuilder::Copy(Text line, Text source, Text destination, Text what, int group) {
  Step& step = Add(StepKind::kCopy, group, std::move(what));
  step.line = std::move(line);
  step.source = std::move(source);
  step.path = std::move(destination);
  return step;
}

void PlanBuilder::Clean(CleaningOperation operation, int kind, Text what) {
  Step& step = Add(StepKind::kCleaning, 0, std::move(what));
  step.operation = operation;
  step.cleaning_kind = kind;
}

void PlanBuilder::RunScript(Text path, std::string bytes, FileWriteMode write_mode, WindowMode mode) {
  Step& step = Add(StepKind::kScriptRun, 0, path);
  step.path = std::move(path);
  step.bytes = std::move(bytes);
  step.write_mode = write_mode;
  step.mode = mode;
}

DisplayMode ScreenMode() {
  DisplayMode mode = QueryDisplayMode();
  mode.width = ScreenWidth();
  mode.height = ScreenHeight();
  return mode;
}

Text DisplayModeText(const DisplayMode& mode) {
  return ConcatTexts(ToText(mode.width), "×", ToText(mode.height), " ＠", ToText(mode.refresh_hz), "Hz/",
                     ToText(mode.bits_per_pixel), "位");
}

std::vector<RegistryChange> RegistryChangesOf(const Plan& plan) {
  std::vector<RegistryChange> changes;
  for (const Step& step : plan.steps) {
    // A value left in place is no change, even where its bytes differ from
    // the step's (the same folder, spelt otherwise): nothing to undo.
    if (step.kind == StepKind::kRegistryWrite && !step.already)
      changes.push_back(SetRegistryItem(step.root, step.item_path, step.value));
    else if (step.kind == StepKind::kRegistryDelete)
      changes.push_back(DeleteRegistryTree(step.root, step.key_path));
    for (const RegistryChange& change : step.changes) changes.push_back(RegistryChange(change));
  }
  return changes;
}

std::vector<BackupFile> BackupFilesOf(const Plan& plan) {
  std::vector<BackupFile> files;
  for (const Step& step : plan.steps)
    if (step.kind == StepKind::kFileWrite && step.previous && *step.previous != step.bytes)
      files.push_back({step.backup_name, *step.previous});
  return files;
}

Text PreviewValueText(const RegistryValueRead& read) {
  switch (read.status) {
    case RegistryReadStatus::kNoKey:
    case RegistryReadStatus::kNoValue: return "（无）";
    case RegistryReadStatus::kUnreadable: return "（无法读取）";
    case RegistryReadStatus::kFound: break;
  }
  const std::string& bytes = read.data.bytes;
  if (read.data.type == kRegSz) return ConcatTexts("REG_SZ \"", bytes.substr(0, bytes.find('\0')), "\"");
  if (read.data.type == kRegDword && bytes.size() == 4) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return ConcatTexts("REG_DWORD 0x", HexText(value, 8, true));
  }
  return ConcatTexts("类型 ", UnsignedText(read.data.type), "，", UnsignedText(static_cast<uint32_t>(bytes.size())),
                     " 字节");
}

std::vector<Text> PreviewLines(const Plan& plan) {
  std::vector<Text> lines;
  for (const Step& step : plan.steps) {
    switch (step.kind) {
      case StepKind::kRegistryWrite:
        lines.push_back(step.already ? ConcatTexts(step.what, ": 无需更改")
                                     : ConcatTexts(step.what, ": ", PreviewValueText(step.before), " → ",
                                                   PreviewValueText({RegistryReadStatus::kFound, step.data})));
        break;
      case StepKind::kRegistryDelete:
        lines.push_back(ConcatTexts(KeyName(step.root, step.key_path),
                                    step.already ? ": 无需更改" : ": 删除此项及其下的一切"));
        break;
      case StepKind::kServiceStart:
      case StepKind::kCommandLine: lines.push_back(step.line); break;
      case StepKind::kCopy:
        lines.push_back(step.line);
        lines.push_back(ConcatTexts("复制 ", step.source, " → ", step.path, "：",
                                    TallyText(CountFolder(ExpandEnvironment(step.source)))));
        break;
      case StepKind::kFileWrite:
        lines.push_back(step.planning_error == 0
                            ? ConcatTexts("写入文件 ", step.path, "（", UnsignedText(static_cast<uint32_t>(step.bytes.size())),
                                          " 字节）")
                            : ConcatTexts("写入文件 ", step.path, "：", SystemErrorText(step.planning_error),
                                          step.failure_note));
        break;
      case StepKind::kCreateFolder:
        lines.push_back(ConcatTexts("创建文件夹 ", step.path, step.already ? "：已存在" : ""));
        break;
      case StepKind::kDisplayMode:
        lines.push_back(ConcatTexts("显示模式：", step.before.data.bytes, " → ", DisplayModeText(step.display)));
        break;
      case StepKind::kCleaning:
        // The deletion walk itself, counting instead of deleting.
        lines.push_back(ConcatTexts("清理 ", step.what, "：",
                                    TallyText(step.operation == CleaningOperation::kSystemJunk
                                                  ? CountSystemJunk(step.cleaning_kind)
                                                  : CountPrivacyTraces(step.cleaning_kind))));
        break;
      case StepKind::kScriptRun:
        lines.push_back(ConcatTexts("写入并运行 ", step.path, "（", UnsignedText(static_cast<uint32_t>(step.bytes.size())),
                                    " 字节）"));
        break;
    }
  }
  return lines;
}

}  // namespace lumeno
