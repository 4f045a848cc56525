// The reference part of the docs, made from the program's own tables:
// every preset key is planned by the very command its section runs, on a
// machine that holds none of the values yet (the recording fake), and each
// step of the plan is written out. Nothing here restates a table of the
// program; only the plain-words glosses of command lines are written here,
// and a line without one stops the generator.
//
//   lumeno_reference <folder>
// writes into the folder: reference.txt (docs/参考.txt: GBK, CR LF, at most 78 columns) and the
// README's tables, readme-<name>.md (GBK; scripts/docs makes them UTF-8).
#include <cstdio>
#include <fstream>
#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/layouts.h"
#include "cleaning/empty_folder_sweep.h"
#include "fakes/recorder.h"
#include "plan/command.h"
#include "plan/plan.h"
#include "platform/text.h"
#include "ui/window_layout.h"
#include "unattended/preset.h"
#include "unattended/unattended.h"

namespace lumeno {
namespace {

constexpr size_t kColumns = 78;               // XP's Notepad does not wrap
constexpr const char* kExampleTarget = "D:\\资料";  // the relocation target the reference shows

bool g_failed = false;

void Fail(std::string_view what, std::string_view line) {
  std::fprintf(stderr, "lumeno_reference: %.*s: %.*s\n", static_cast<int>(what.size()), what.data(),
               static_cast<int>(line.size()), line.data());
  g_failed = true;
}

// ---------------------------------------------------------------------------
// Plans of the preset keys

// The plans one preset text makes, on a machine where nothing is set yet.
std::vector<Plan> PlansOf(const Text& preset_text) {
  fake::Reset();
  ParsedPreset parsed = ParsePreset(preset_text);
  if (!parsed.ok) {
    Fail("preset refused", parsed.error.message);
    return {};
  }
  std::vector<Plan> plans;
  for (const PlannedSection& section : parsed.preset.sections) {
    const PresetSelection selection(section.settings);
    for (const Command* command : section.commands) plans.push_back(command->plan(selection));
  }
  return plans;
}

Text OneKey(const PresetSectionDescription& section, const PresetKeyDescription& key, std::string_view value) {
  Text text = ConcatTexts("[", section.name, "]\n", key.name, "=", value, "\n");
  for (const PresetKeyDescription& other : section.keys)
    if (other.takes_text && &other != &key) text += ConcatTexts(other.name, "=", kExampleTarget, "\n");
  return text;
}

// ---------------------------------------------------------------------------
// Plain words for command lines

const char* ShortRootName(int root) {
  switch (root) {
    case kRootClassesRoot: return "HKCR";
    case kRootCurrentUser: return "HKCU";
    case kRootLocalMachine: return "HKLM";
    case kRootUsers: return "HKU";
    default: return "HKCC";
  }
}

// %windir% and the like in words; the rest of the path as it stands.
Text PlaceInWords(std::string_view path) {
  static const std::pair<const char*, const char*> kPlaces[] = {
      {"%systemdrive%", "系统盘（通常是 C:）"},
      {"%windir%", "Windows 文件夹"},
      {"%temp%", "当前用户的临时文件夹"},
      {"%userprofile%", "当前用户的个人文件夹"},
      {"%%a:", "这个盘"},
  };
  Text out(path);
  for (const auto& [variable, words] : kPlaces) {
    Text folded = FoldAsciiCase(out);
    size_t at = folded.find(variable);
    if (at != Text::npos) out.replace(at, std::string_view(variable).size(), words);
  }
  return out;
}

Text Unquoted(std::string_view word) {
  if (word.size() >= 2 && word.front() == '"' && word.back() == '"') return Text(word.substr(1, word.size() - 2));
  return Text(word);
}

// Joins words the way Chinese text is set: a blank between a Latin and a
// Chinese character, none between two Chinese ones.
Text Spaced(std::initializer_list<std::string_view> parts) {
  Text out;
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    const bool latin_before = !out.empty() && static_cast<unsigned char>(out.back()) < 0x80 && out.back() != ' ';
    const bool latin_after = static_cast<unsigned char>(part.front()) < 0x80 && part.front() != ' ';
    if (!out.empty() && latin_before != latin_after) out += ' ';
    out += part;
  }
  return out;
}

// del [/f] [/s] [/a] [/q] <path>
Text DelInWords(const std::vector<Text>& words) {
  bool force = false, below = false, hidden = false;
  Text path;
  for (size_t i = 1; i < words.size(); ++i) {
    Text flag = FoldAsciiCase(words[i]);
    if (flag == "/f") force = true;
    else if (flag == "/s") below = true;
    else if (flag == "/a") hidden = true;
    else if (flag != "/q") path = Unquoted(words[i]);
  }
  if (path == "%0") return "删除这个脚本自己";
  size_t slash = path.rfind('\\');
  const Text folder = slash == Text::npos ? Text() : path.substr(0, slash);
  const Text pattern = slash == Text::npos ? path : path.substr(slash + 1);
  Text out;
  if (pattern.find('*') == Text::npos)
    out = Spaced({"删除文件", PlaceInWords(path)});
  else
    out = Spaced({"删除", PlaceInWords(folder), below ? "及其所有子文件夹中的" : "中的",
                  pattern == "*.*" ? "所有文件" : pattern, pattern == "*.*" ? "" : "文件"});
  if (force) out += "，只读的也删";
  if (hidden) out += "，隐藏和系统文件也删";
  return out;
}

Text RdInWords(const std::vector<Text>& words) {
  Text folder;
  bool tree = false;
  for (size_t i = 1; i < words.size(); ++i) {
    Text flag = FoldAsciiCase(words[i]);
    if (flag == "/s") tree = true;
    else if (flag != "/q") folder = Unquoted(words[i]);
  }
  return tree ? Spaced({"删除文件夹", PlaceInWords(folder), "和其中的一切"}) : Spaced({"删除空文件夹", folder});
}

// What a command or script line does; empty for a line that only closes a
// block. A line no rule knows stops the generator: the reference explains
// every line it lists.
Text LineInWords(std::string_view line) {
  const size_t begin = line.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::string_view rest = line.substr(begin, line.find_last_not_of(' ') + 1 - begin);
  if (rest == ")" || rest == ") )") return {};
  if (rest.starts_with("cmd /c") && !rest.starts_with("cmd /cxcopy")) rest.remove_prefix(6);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::vector<Text> words = SplitQuotedWords(rest);
  const Text verb = FoldAsciiCase(words[0]);
  const size_t amp = rest.find(" & md ");
  if (verb == "rd" && amp != std::string_view::npos)
    return ConcatTexts(RdInWords(SplitQuotedWords(rest.substr(0, amp))), "，再建一个空的");
  if (verb == "del") return DelInWords(words);
  if (verb == "rd") return RdInWords(words);
  if (verb == "echo" && words.size() >= 3 && words[2] == "|del")
    return Spaced({"删除名单文件", words.back()});
  if (verb == "mkdir") return Spaced({"新建文件夹", PlaceInWords(Unquoted(words.back()))});
  if (verb == "attrib") return Spaced({"把", PlaceInWords(words.back()), "设为隐藏、只读、系统文件夹"});
  if (verb == "taskkill") return "强行结束资源管理器：桌面和任务栏暂时消失";
  if (verb == "start") return "重新启动资源管理器";
  if (verb == "for" && rest.starts_with("for %%a in (C D E")) return "对 C: 到 Z: 的每个盘：";
  if (verb == "for" && words.size() >= 8 && words.back() == "%%i")
    return Spaced({"逐个删除", words[4].substr(1, words[4].size() - 2),
                   "中列出的文件夹：只有空文件夹删得掉；名字里有空格的，只取到空格之前，删不掉"});
  if (verb == "if" && words.size() >= 3 && words[1] == "exist") return "这个盘存在时：";
  if (verb == "@echo") return ConcatTexts("显示“", rest.substr(6), "”");
  if (verb == "@pause") return "等待按任意键；关掉窗口就不再往下做";
  if (verb == "dir" && words.size() >= 2)
    return Spaced({"把", FoldAsciiCase(words[1]), "盘当前文件夹（通常是根文件夹）下所有子文件夹的名单，从最深的开始，添加到",
                   rest.substr(rest.find(">>") + 2)});
  if (verb == "net" && words.size() >= 4 && words[1] == "share") return Spaced({"删除共享", words[2]});
  if (verb == "net" && words.size() == 3 && words[1] == "start") return Spaced({"立即启动服务", words[2]});
  if (verb == "regsvr32") return Spaced({"注销", words.back(), "（显卡驱动加在桌面右键菜单里的项目）"});
  if (verb == "reg" && words.size() >= 3 && words[1] == "delete")
    return words.size() >= 5 && words[3] == "/v" ? Spaced({"删除注册表值", ConcatTexts(words[2], "\\", words[4])})
                                                 : Spaced({"删除注册表键", words[2], "和其下的一切"});
  if (verb == "reg" && words.size() >= 3 && words[1] == "add")
    return Spaced({"新建注册表键", words[2], "，默认值为", words.back(), "（右键菜单的“新建”）"});
  Fail("no plain words for this line", line);
  return {};
}

// ---------------------------------------------------------------------------
// Steps as text

const char* StartTypeWord(uint32_t start_type) {
  switch (start_type) {
    case 2: return "自动";
    case 3: return "手动";
    case 4: return "禁用";
    default: return "（sc 不认识）";
  }
}

Text ValueName(const Text& name) { return name.empty() ? Text("（默认）") : name; }

Text RegistryItem(int root, const Text& key_path, const Text& value_name) {
  return ConcatTexts(ShortRootName(root), "\\", key_path, "\\", ValueName(value_name));
}

Text WrittenData(const Step& step) {
  RegistryValueRead read;
  read.status = RegistryReadStatus::kFound;
  read.data = step.data;
  return PreviewValueText(read);
}

// The cleaning items the cleaning subsystem carries out itself, in words.
Text CleaningInWords(const Step& step) {
  const bool junk = step.operation == CleaningOperation::kSystemJunk;
  switch (step.cleaning_kind + (junk ? 0 : 100)) {
    case 0: return "删除当前用户临时文件夹（%TEMP%）中的一切，正在使用的文件除外";
    case 1: return "清空 IE 的缓存，删除 Temporary Internet Files 中的一切";
    case 2: return "清空所有磁盘的回收站";
    case 101: return "删除 IE 保存的表单和密码（自动完成）";
    case 103: return "删除收藏夹中的一切：收藏的网址全部丢失";
    case 109: return "删除 IE 的历史记录（浏览过的网站）";
    default: Fail("no plain words for cleaning item", step.what); return {};
  }
}

struct Entry {
  Text text;   // the step as it stands: a line, a value, a path
  Text words;  // what it does, or empty
};

std::vector<Entry> Entries(const Step& step) {
  switch (step.kind) {
    case StepKind::kRegistryWrite:
      return {{ConcatTexts(RegistryItem(step.root, step.key_path, step.value_name), " = ", WrittenData(step)), {}}};
    case StepKind::kRegistryDelete:
      return {{ConcatTexts(ShortRootName(step.root), "\\", step.key_path), "删除这个键和其下的一切"}};
    case StepKind::kServiceStart:
      return {{step.line, Spaced({"服务", step.service, ConcatTexts("设为", StartTypeWord(step.start_type))})}};
    case StepKind::kCommandLine:
      return {{step.line, LineInWords(step.line)}};
    case StepKind::kFileWrite:
      return {{ConcatTexts("写入文件 ", step.path), step.what == step.path ? Text() : step.what}};
    case StepKind::kCreateFolder:
      return {{ConcatTexts("新建文件夹 ", step.path), {}}};
    case StepKind::kDisplayMode:
      return {{ConcatTexts("显示模式 ", DisplayModeText(step.display)), "并保存为默认设置"}};
    case StepKind::kCopy:
      return {{step.line, Spaced({"把", step.source, "中的一切复制到", step.path, "，同名文件被覆盖"})}};
    case StepKind::kCleaning:
      return {{step.what, CleaningInWords(step)}};
    case StepKind::kScriptRun: {
      std::vector<Entry> out{{ConcatTexts("写入并运行 ", step.path, "，它的每一行："), {}}};
      std::string_view rest = step.bytes;
      while (true) {
        size_t end = rest.find("\r\n");
        std::string_view line = rest.substr(0, end);
        out.push_back({ConcatTexts("  ", line), LineInWords(line)});
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 2);
      }
      return out;
    }
  }
  return {};
}

// ---------------------------------------------------------------------------
// Output

// Display columns in GBK: a character of two bytes takes two columns.
size_t Columns(std::string_view text) { return text.size(); }

// Punctuation that may not start a line.
bool ClosesText(std::string_view character) {
  for (const char* mark : {"，", "。", "、", "：", "；", "）", "”"})
    if (character == mark) return true;
  return false;
}

// Breaks a line longer than the page after a backslash or at a blank; the
// continuation goes four columns further in.
void AddWrapped(std::vector<Text>& out, Text line, size_t indent) {
  const Text continuation(indent + 4, ' ');
  while (Columns(line) > kColumns) {
    // After a backslash or at a blank when one is near the end; otherwise
    // before any Chinese character.
    size_t cut = 0, any = 0;
    bool after_mark = false;
    ForEachGbkCharacter(line, [&](size_t i, size_t length) {
      const bool mark = length == 2 && ClosesText(line.substr(i, 2));
      const bool fits = i + length <= kColumns && i > indent + 8;
      if (fits && line[i] == '\\' && i + 1 < kColumns) cut = i + 1;
      else if (fits && line[i] == ' ') cut = i;
      else if (fits && ((length == 2 && !mark) || after_mark)) any = i;
      after_mark = mark;
    });
    if (cut < kColumns - 24 && any > cut) cut = any;
    if (cut == 0) break;
    out.push_back(line.substr(0, cut));
    size_t next = cut;
    while (next < line.size() && line[next] == ' ') ++next;
    line = continuation + line.substr(next);
  }
  out.push_back(std::move(line));
}

class Page {
 public:
  void Line(std::string_view text = {}, size_t indent = 0) {
    AddWrapped(lines_, ConcatTexts(Text(indent, ' '), text), indent);
  }
  void Heading(std::string_view text) {
    Line();
    Line(text);
    Line(Text(Columns(text), '-'));
  }
  void Entries(const std::vector<Entry>& entries, size_t indent) {
    for (const Entry& entry : entries) {
      Line(entry.text, indent);
      if (!entry.words.empty()) Line(ConcatTexts("→ ", entry.words), indent + 4);
    }
  }
  Text Bytes() const {
    Text out;
    for (const Text& line : lines_) out += line + "\r\n";
    return out;
  }

 private:
  std::vector<Text> lines_;
};

Text MarkdownCell(std::string_view text) {
  Text out;
  for (char c : text) out += c == '|' ? Text("\\|") : Text(1, c);
  return out;
}

Text Code(std::string_view text) { return ConcatTexts("`", MarkdownCell(text), "`"); }

// An entry in a README table cell: the line as code, then its words.
Text TableEntry(const Entry& entry, bool first) {
  const size_t begin = entry.text.find_first_not_of(' ');
  if (begin == Text::npos) return {};
  return ConcatTexts(first ? "" : "<br>", Code(std::string_view(entry.text).substr(begin)),
                     entry.words.empty() ? "" : " → ", MarkdownCell(entry.words));
}

// What a key's steps reach: the whole machine (an administrator's rights) or
// only the account that runs them (a logon script's business, refused as
// SYSTEM).
struct Reach {
  bool administrator = false;
  bool per_user = false;
};

Text Marks(const Reach& reach) {
  return ConcatTexts(reach.administrator ? "需要管理员" : "当前用户即可", reach.per_user ? "；含当前用户自己的设置或文件" : "");
}

Reach ReachOf(const PresetKeyDescription& key, const std::vector<Plan>& plans) {
  Reach reach{key.needs_administrator, false};
  for (const Plan& plan : plans)
    for (const Step& step : plan.steps) reach.per_user |= ActsOnCurrentUser(step);
  return reach;
}

// Over every value the key takes.
Reach ReachOf(const PresetSectionDescription& section, const PresetKeyDescription& key) {
  std::vector<const char*> values = key.choices;
  if (values.empty() && !key.takes_text) values.push_back("1");
  std::vector<Plan> plans;
  for (const char* value : values)
    for (Plan& plan : PlansOf(OneKey(section, key, value))) plans.push_back(std::move(plan));
  return ReachOf(key, plans);
}

// ---------------------------------------------------------------------------
// The sections

const PresetSectionDescription& Section(const std::vector<PresetSectionDescription>& all, std::string_view name) {
  for (const PresetSectionDescription& section : all)
    if (section.name == name) return section;
  Fail("no such preset section", name);
  static const PresetSectionDescription none{"", {}};
  return none;
}

void WriteKeys(Page& page, Text& table, const PresetSectionDescription& section) {
  table = "| Item | Admin | Per-user | What it does |\n|---|---|---|---|\n";
  for (const PresetKeyDescription& key : section.keys) {
    if (key.takes_text || !key.choices.empty()) continue;
    const std::vector<Plan> plans = PlansOf(OneKey(section, key, "1"));
    const Reach reach = ReachOf(key, plans);
    page.Line();
    page.Line(ConcatTexts("【", key.name, "】 ", Marks(reach)));
    std::vector<Entry> entries;
    Text cell;
    for (const Plan& plan : plans)
      for (const Step& step : plan.steps)
        for (Entry& entry : Entries(step)) {
          cell += TableEntry(entry, cell.empty());
          entries.push_back(std::move(entry));
        }
    if (entries.empty()) {
      page.Line("不写入任何值：它唯一的值位于 HKEY_USERS 下一个 Windows 没有的键中", 2);
      cell = "不写入任何值（它的值位于 HKEY_USERS 下 Windows 没有的键中）";
    }
    page.Entries(entries, 2);
    table += ConcatTexts("| ", key.name, " | ", reach.administrator ? "yes" : "no", " | ", reach.per_user ? "yes" : "no",
                         " | ", cell, " |\n");
  }
}

void WriteServiceProfiles(Page& page, Text& table, const PresetSectionDescription& section) {
  const PresetKeyDescription& key = section.keys.at(0);
  std::vector<Text> order;
  std::map<Text, std::vector<Text>> types;  // service -> one word a profile
  for (size_t column = 0; column < key.choices.size(); ++column)
    for (const Plan& plan : PlansOf(OneKey(section, key, key.choices[column])))
      for (const Step& step : plan.steps) {
        if (step.kind != StepKind::kServiceStart) continue;
        auto [found, added] = types.try_emplace(step.service, key.choices.size(), "－");
        if (added) order.push_back(step.service);
        found->second[column] = StartTypeWord(step.start_type);
      }
  // The page's columns: the longest service name, then a short name of each
  // profile ("网吧模式" heads its column as "网吧").
  size_t name_width = 0;
  for (const Text& service : order) name_width = std::max(name_width, service.size() + 2);
  auto padded = [](Text text, size_t width) { return text + Text(text.size() < width ? width - text.size() : 1, ' '); };
  Text header(name_width, ' ');
  table = "| Service |";
  Text rule = "|---|";
  for (const char* choice : key.choices) {
    Text name(choice);
    if (name.size() > 4 && name.ends_with("模式")) name.resize(name.size() - 4);
    header += padded(name, 8);
    table += ConcatTexts(" ", choice, " |");
    rule += "---|";
  }
  table += "\n" + rule + "\n";
  page.Line(header.substr(0, header.find_last_not_of(' ') + 1));
  Text disabled_everywhere;
  for (const Text& service : order) {
    Text row = padded(service, name_width);
    table += ConcatTexts("| ", service, " |");
    for (const Text& word : types[service]) {
      row += padded(word, 8);
      table += ConcatTexts(" ", word, " |");
    }
    page.Line(row.substr(0, row.find_last_not_of(' ') + 1));
    table += "\n";
    bool everywhere = true;
    for (const Text& word : types[service]) everywhere &= word == "禁用";
    if (everywhere) disabled_everywhere += ConcatTexts(disabled_everywhere.empty() ? "" : "、", service);
  }
  if (!disabled_everywhere.empty()) {
    page.Line();
    page.Line(ConcatTexts("每个方案都禁用的服务：", disabled_everywhere, "。"));
  }
}

void WriteResolutions(Page& page, Text& table, const PresetSectionDescription& section) {
  table = "| Group | Preset | Mode |\n|---|---|---|\n";
  for (const PresetKeyDescription& key : section.keys)
    for (const char* choice : key.choices)
      for (const Plan& plan : PlansOf(OneKey(section, key, choice)))
        for (const Step& step : plan.steps) {
          if (step.kind != StepKind::kDisplayMode) continue;
          const DisplayMode& mode = step.display;
          page.Line(ConcatTexts(key.name, "=", choice), 2);
          page.Line(ConcatTexts("→ ", DisplayModeText(mode)), 6);
          table += ConcatTexts("| ", key.name, " | ", choice, " | ", ToText(mode.width), "×", ToText(mode.height), ", ",
                               ToText(mode.bits_per_pixel), "-bit colour, ", ToText(mode.refresh_hz), " Hz |\n");
        }
}

void WritePresetKeys(Page& page, Text& table, const std::vector<PresetSectionDescription>& all) {
  table = "| Section | Key | Values | Admin | Per-user |\n|---|---|---|---|---|\n";
  for (const PresetSectionDescription& section : all) {
    page.Line();
    page.Line(ConcatTexts("[", section.name, "]"));
    for (const PresetKeyDescription& key : section.keys) {
      Text values = key.takes_text ? Text("<文件夹>") : key.choices.empty() ? Text("1 或 0") : Text();
      Text cell = key.takes_text ? Text("a folder") : key.choices.empty() ? Text("1 or 0") : Text();
      for (const char* choice : key.choices) {
        values += ConcatTexts(values.empty() ? "" : "、", choice);
        cell += ConcatTexts(cell.empty() ? "" : ", ", choice);
      }
      const Reach reach = ReachOf(section, key);
      page.Line(ConcatTexts(key.name, "=", values), 2);
      page.Line(ConcatTexts("→ ", key.takes_text ? Text("转移的目标文件夹，勾选任何一项时必须写") : Marks(reach)), 6);
      table += ConcatTexts("| `[", section.name, "]` | ", key.name, " | ", cell, " | ",
                           key.takes_text ? "" : reach.administrator ? "yes" : "no", " | ",
                           key.takes_text ? "" : reach.per_user ? "yes" : "no", " |\n");
    }
  }
}

bool WriteFile(const std::string& path, const Text& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

int Generate(const std::string& folder) {
  UseWindowLayouts(ProgramWindowLayouts(), ProgramEventBindings());
  const std::vector<PresetSectionDescription> all = DescribePresets();
  Page page;
  std::map<std::string, Text> tables;

  page.Line("Lumeno 参考");
  page.Line("===========");
  page.Line("本文由 scripts/docs 从程序自己的表格生成，请勿手工修改。它列出每个命令");
  page.Line("实际做的事：写入的注册表值、运行的命令行、脚本的每一行；“→”后面是这一行");
  page.Line("做什么。");
  page.Line("HKLM = HKEY_LOCAL_MACHINE，HKCU = HKEY_CURRENT_USER，HKU = HKEY_USERS，");
  page.Line("HKCR = HKEY_CLASSES_ROOT。超过 78 列的行在“\\”或空格处折行，续行多缩进四格。");
  page.Line("“需要管理员”：这一项改的是整台电脑的设置；“当前用户即可”：不需要。");
  page.Line("“含当前用户自己的设置或文件”：它改的是运行它的账户自己的，批量部署时");
  page.Line("应放在登录脚本中；以 SYSTEM 账户（启动脚本）运行时会被拒绝。");

  page.Heading("一、开始优化：每一项实际写入或删除的内容");
  page.Line("注意：第 10 到 20 项的名称与它实际写入的值并不一致，以下面的列表为准。");
  WriteKeys(page, tables["boxes"], Section(all, "优化"));

  page.Heading("二、服务快速优化：每个方案中每个服务的启动类型");
  page.Line("自动 = 开机时启动，手动 = 需要时才启动，禁用 = 不能启动，－ = 不改。");
  page.Line("修改在重新启动后生效。");
  WriteServiceProfiles(page, tables["profiles"], Section(all, "服务快速优化"));

  page.Heading("三、可选服务：每一项运行的命令");
  WriteKeys(page, tables["optional"], Section(all, "可选服务"));

  page.Heading("四、清系统：每一项运行的命令和脚本");
  WriteKeys(page, tables["cleanup"], Section(all, "清系统"));

  page.Heading("五、空文件夹清理：它写入并运行的脚本");
  {
    fake::Reset();
    const std::vector<PresetSetting> none;
    const PresetSelection nothing(none);
    std::vector<Entry> entries;
    Text& table = tables["sweep"];
    table = "| Line → what it does |\n|---|\n";
    for (const Step& step : kEmptyFolderSweepCommand.plan(nothing).steps)
      for (Entry& entry : Entries(step)) {
        if (Text row = TableEntry(entry, true); !row.empty()) table += ConcatTexts("| ", row, " |\n");
        entries.push_back(std::move(entry));
      }
    page.Entries(entries, 2);
  }

  page.Heading("六、转资料：每一项的命令和写入的值");
  page.Line(ConcatTexts("以目标文件夹 ", kExampleTarget, " 为例。文件夹已经在目标处时不再复制。"));
  WriteKeys(page, tables["relocation"], Section(all, "转资料"));

  page.Heading("七、分辨率：九个方案的显示模式");
  page.Line("刷新率是向显示卡请求的，显示卡不支持时由它选择。");
  WriteResolutions(page, tables["display"], Section(all, "分辨率"));

  page.Heading("八、小工具：生成ADSL");
  WriteKeys(page, tables["broadband"], Section(all, "小工具"));

  page.Heading("九、方案文件（/apply）的节和键");
  page.Line("节和键就是界面上的文字。1 = 勾选，0 或不写 = 不勾选。");
  WritePresetKeys(page, tables["presets"], all);

  bool written = WriteFile(folder + "/reference.txt", page.Bytes());
  for (const auto& [name, table] : tables) written &= WriteFile(folder + "/readme-" + name + ".md", table);
  if (!written) Fail("cannot write into", folder);
  return g_failed ? 1 : 0;
}

}  // namespace
}  // namespace lumeno

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: lumeno_reference <folder>\n");
    return 2;
  }
  return lumeno::Generate(argv[1]);
}
