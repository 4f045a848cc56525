#include "platform/command_outcome.h"

#include <vector>

#include "platform/platform_rules.h"

namespace lumeno {

namespace {

Text Word(const std::vector<Text>& words, size_t index) { return index < words.size() ? words[index] : Text(); }

Text Failure(uint32_t exit_code, std::string_view detail = {}) {
  Text why = ExitCodeText(exit_code);
  if (!detail.empty()) why += ConcatTexts("，", detail);
  return why;
}

// sc's exit code is the Win32 error of the call that failed.
CommandJudgement ServiceConfiguration(const std::vector<Text>& words, const RunResult& result) {
  constexpr uint32_t kServiceNotInstalled = 1060;  // nothing to configure on this system
  CommandJudgement judgement{true, ConcatTexts("服务 ", Word(words, 2)), {}};
  if (result.exit_code != 0 && result.exit_code != kServiceNotInstalled) {
    judgement.done = false;
    judgement.why = Failure(result.exit_code, ErrorText(result.exit_code));
  }
  return judgement;
}

// net exits 2 both when the start failed and when the service already ran:
// what counts is whether it runs now.
CommandJudgement ServiceStart(const std::vector<Text>& words, const RunResult& result) {
  const Text service = Word(words, 2);
  CommandJudgement judgement{true, ConcatTexts("启动服务 ", service), {}};
  if (result.exit_code == 0) return judgement;
  switch (QueryServiceState(service)) {
    case ServiceState::kRunning: return judgement;
    case ServiceState::kNotInstalled: judgement.why = Failure(result.exit_code, "服务未安装"); break;
    case ServiceState::kStopped: judgement.why = Failure(result.exit_code, "服务未运行"); break;
    case ServiceState::kUnknown: judgement.why = Failure(result.exit_code, "服务状态无法查询"); break;
  }
  judgement.done = false;
  return judgement;
}

// A share that does not exist (most drive letters) is as deleted as it gets.
CommandJudgement ShareDeletion(const std::vector<Text>& words, const RunResult& result) {
  const Text share = Word(words, 2);
  CommandJudgement judgement{true, ConcatTexts("共享 ", share), {}};
  if (result.exit_code == 0) return judgement;
  const Presence presence = QueryNetworkShare(share);
  if (presence == Presence::kAbsent) return judgement;
  judgement.done = false;
  judgement.why = Failure(result.exit_code, presence == Presence::kPresent ? "共享仍然存在" : "共享状态无法查询");
  return judgement;
}

int RootNumberForName(std::string_view name) {
  struct RootName {
    std::string_view long_name, short_name;
    int root;
  };
  static const RootName kRoots[] = {
      {"HKEY_CLASSES_ROOT", "HKCR", kRootClassesRoot},   {"HKEY_CURRENT_CONFIG", "HKCC", kRootCurrentConfig},
      {"HKEY_CURRENT_USER", "HKCU", kRootCurrentUser},   {"HKEY_LOCAL_MACHINE", "HKLM", kRootLocalMachine},
      {"HKEY_USERS", "HKU", kRootUsers},
  };
  for (const RootName& root : kRoots)
    if (name == root.long_name || name == root.short_name) return root.root;
  return 0;
}

// reg exits 1 for a key or value that is not there: then it is gone, as asked.
CommandJudgement RegistryDeletion(const std::vector<Text>& words, const RunResult& result) {
  const Text full_key = Word(words, 2);
  Text value_name;
  bool names_value = false;
  for (size_t i = 3; i + 1 < words.size(); ++i)
    if (words[i] == "/v" || words[i] == "/V") value_name = words[i + 1], names_value = true;
  CommandJudgement judgement{true, ConcatTexts("注册表 ", full_key, names_value ? "\\" : "", value_name), {}};
  if (result.exit_code == 0) return judgement;
  const size_t split = full_key.find('\\');
  const int root = RootNumberForName(std::string_view(full_key).substr(0, split));
  const Text key_path = split == Text::npos ? Text() : full_key.substr(split + 1);
  Presence presence = Presence::kUnknown;
  if (root != 0)
    presence = names_value ? QueryRegistryValue(root, key_path, value_name) : QueryRegistryKey(root, key_path);
  if (presence == Presence::kAbsent) return judgement;
  judgement.done = false;
  judgement.why = Failure(result.exit_code, presence == Presence::kPresent ? "仍然存在" : "");
  return judgement;
}

// regsvr32 exits 3 when the library cannot be loaded: on a machine without
// that driver's DLL there is nothing to unregister.
CommandJudgement ServerUnregistration(const std::vector<Text>& words, const RunResult& result) {
  constexpr uint32_t kLibraryNotLoaded = 3;
  CommandJudgement judgement{true, ConcatTexts("注销 ", words.empty() ? Text() : words.back()), {}};
  if (result.exit_code != 0 && result.exit_code != kLibraryNotLoaded) {
    judgement.done = false;
    judgement.why = Failure(result.exit_code);
  }
  return judgement;
}

// del has no documented exit codes; some versions of cmd leave 1 behind when
// nothing matched, which is no failure of a cleanup.
CommandJudgement FileDeletion(std::string_view line, const RunResult& result) {
  CommandJudgement judgement{true, Text(line.substr(line.find("del "))), {}};
  if (result.exit_code > 1) {
    judgement.done = false;
    judgement.why = Failure(result.exit_code);
  }
  return judgement;
}

// xcopy: 0 copied, 1 nothing to copy. Anything else counts as a failure unless
// the source folder does not exist at all (a system has 桌面 or Desktop).
CommandJudgement FolderCopy(const std::vector<Text>& words, const RunResult& result) {
  const Text source = Word(words, 2), destination = Word(words, 3);
  CommandJudgement judgement{true, ConcatTexts("复制到 ", destination), {}};
  if (result.exit_code <= 1) return judgement;
  if (!FolderExists(FolderOfPath(ExpandEnvironment(source)))) return judgement;
  judgement.done = false;
  judgement.why = Failure(result.exit_code);
  return judgement;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

CommandJudgement JudgeCommandLine(std::string_view line, const RunResult& result) {
  const std::vector<Text> words = SplitQuotedWords(line);
  CommandJudgement judgement;
  if (StartsWith(line, "sc config "))
    judgement = ServiceConfiguration(words, result);
  else if (StartsWith(line, "net start "))
    judgement = ServiceStart(words, result);
  else if (StartsWith(line, "net share ") && words.size() >= 4 && words[3] == "/del")
    judgement = ShareDeletion(words, result);
  else if (StartsWith(line, "reg delete "))
    judgement = RegistryDeletion(words, result);
  else if (StartsWith(line, "regsvr32 /u "))
    judgement = ServerUnregistration(words, result);
  else if (StartsWith(line, "cmd /c del "))
    judgement = FileDeletion(line, result);
  else if (StartsWith(line, "cmd /cxcopy "))
    judgement = FolderCopy(words, result);
  else
    judgement = {result.exit_code == 0, Text(line), result.exit_code == 0 ? Text() : Failure(result.exit_code)};
  if (!result.started) {
    judgement.done = false;
    judgement.why = ConcatTexts("无法启动：", ErrorText(result.error));
  }
  return judgement;
}

bool RunJudged(const Text& command_line, Outcome& outcome, WindowMode mode) {
  const CommandJudgement judgement = JudgeCommandLine(command_line, RunCommandLine(command_line, true, mode));
  if (judgement.done)
    outcome.Succeeded();
  else
    outcome.Failed(judgement.what, judgement.why);
  return judgement.done;
}

}  // namespace lumeno
