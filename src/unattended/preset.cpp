// Reading and checking preset files (see preset.h).
#include "unattended/preset.h"

#include <algorithm>
#include <span>

#include "app/layouts.h"
#include "cleaning/cleanup_scripts.h"
#include "plan/command.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "unattended/preset_text.h"
#include "tweaks/optimize.h"
#include "ui/window_layout.h"
#include "utilities/broadband.h"
#include "utilities/display_presets.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using namespace settings_controls;

// ---------------------------------------------------------------------------
// What a preset may say

enum class KeyKind {
  kBox,     // caption=1 ticks the check box, caption=0 leaves it unticked
  kChoice,  // key=<caption of one of its radio buttons> selects that button
  kTarget,  // key=<text> fills the edit box; needed once any box is ticked
  kPress,   // caption=1 presses the button
};

struct PresetKey {
  KeyKind kind;
  ControlId control;  // the box, button or edit box; for kChoice the group box that names it, or 0
  const char* name;   // nullptr: the control's caption
  bool needs_administrator;
  std::span<const ControlId> choices = {};  // kChoice: the radio buttons, named by their captions
  int exclusive_group = 0;                  // keys sharing a nonzero group: at most one may be given
  const Command* command = nullptr;         // kPress: what the button does
};

struct SectionSchema {
  const char* name;
  WindowId window;
  const Command* command;  // run when anything is selected; nullptr when each kPress key has its own
  std::span<const PresetKey> keys;
};

constexpr bool kAdmin = true;  // changes machine-wide state
constexpr bool kUser = false;  // changes only the current user's files and settings

// 分组框4 "服务快速优化": the five profiles, each its own service start types.
constexpr ControlId kProfileRadios[] = {kMinimalRadio, kCafeRadio, kOfficeRadio, kNotebookRadio, kXpDefaultRadio};
const PresetKey kServiceProfileKeys[] = {
    {KeyKind::kChoice, 0, "方案", kAdmin, kProfileRadios},
};

// 分组框5 "可选服务": start types and running services.
const PresetKey kOptionalServiceKeys[] = {
    {KeyKind::kBox, kUpnpBox, nullptr, kAdmin},
    {KeyKind::kBox, kSpoolerBox, nullptr, kAdmin},
    {KeyKind::kBox, kHardwarePlaybackBox, nullptr, kAdmin},
    {KeyKind::kBox, kWirelessBox, nullptr, kAdmin},
};

// Page "清系统". Only the cookies are the user's own; the others delete under
// the Windows folder and drive roots, edit HKEY_CLASSES_ROOT and
// HKEY_LOCAL_MACHINE, or delete shares. "全选" is no item of its own.
const PresetKey kCleanupKeys[] = {
    {KeyKind::kBox, kJunkBox, nullptr, kAdmin},
    {KeyKind::kBox, kLogsBox, nullptr, kAdmin},
    {KeyKind::kBox, kContextMenuBox, nullptr, kAdmin},
    {KeyKind::kBox, kSharesBox, nullptr, kAdmin},
    {KeyKind::kBox, kCookiesBox, nullptr, kUser},
    {KeyKind::kBox, kAutorunBox, nullptr, kAdmin},
};

// Page "转资料". Every folder but the Outlook Express store is also written
// for HKEY_USERS\.DEFAULT.
const PresetKey kRelocationKeys[] = {
    {KeyKind::kTarget, kTargetEdit, "目标", kUser},
    {KeyKind::kBox, kMyDocumentsBox, nullptr, kAdmin},
    {KeyKind::kBox, kFavoritesBox, nullptr, kAdmin},
    {KeyKind::kBox, kTempBox, nullptr, kAdmin},
    {KeyKind::kBox, kInternetCacheBox, nullptr, kAdmin},
    {KeyKind::kBox, kDesktopBox, nullptr, kAdmin},
    {KeyKind::kBox, kOutlookExpressBox, nullptr, kUser},
};

// Page "分辨率": the stored display mode is machine-wide.
constexpr ControlId kCrtRadios[] = {kCrt15Radio, kCrt17Radio, kCrt19Radio};
constexpr ControlId kLcdRadios[] = {kLcd15Radio, kLcd17Radio, kLcd19Radio};
constexpr ControlId kWidescreenRadios[] = {kWide17Radio, kWide19Radio, kWide22Radio};
constexpr int kOneResolution = 1;
const PresetKey kResolutionKeys[] = {
    {KeyKind::kChoice, kCrtGroup, nullptr, kAdmin, kCrtRadios, kOneResolution},
    {KeyKind::kChoice, kLcdGroup, nullptr, kAdmin, kLcdRadios, kOneResolution},
    {KeyKind::kChoice, kWidescreenGroup, nullptr, kAdmin, kWidescreenRadios, kOneResolution},
};

// Page "小工具": the all-users phone book and desktop, and a service.
const PresetKey kUtilityKeys[] = {
    {KeyKind::kPress, kBroadbandButton, nullptr, kAdmin, {}, 0, &kBroadbandCommand},
};

// The main window's items are the controls tagged 1 to 26. A tweak writes
// for all users when any of its writes goes outside HKEY_CURRENT_USER; the
// cleaning items clean the current user's folders.
std::span<const PresetKey> OptimizeKeys() {
  static const std::vector<PresetKey> keys = [] {
    std::vector<PresetKey> out;
    const WindowLayout& layout = *FindWindowLayout(ProgramWindowLayouts(), kMainWindow);
    for (int tag = 1; tag <= 26; ++tag) {
      ControlId box = *FindTaggedControl(layout, tag);
      bool machine_wide = false;
      for (const TweakItem& item : TweakCatalogue())
        if (item.box == box)
          for (const TweakWrite& write : item.writes) machine_wide |= write.root != kRootCurrentUser;
      out.push_back({KeyKind::kBox, box, nullptr, machine_wide});
    }
    return out;
  }();
  return keys;
}

// In the order the user would click them.
std::span<const SectionSchema> Schema() {
  static const SectionSchema sections[] = {
      {"优化", kMainWindow, &kOptimizeCommand, OptimizeKeys()},
      {"服务快速优化", kSettingsWindow, &kServiceProfileCommand, kServiceProfileKeys},
      {"可选服务", kSettingsWindow, &kStartServicesCommand, kOptionalServiceKeys},
      {"清系统", kSettingsWindow, &kSystemCleanupCommand, kCleanupKeys},
      {"转资料", kSettingsWindow, &kRelocationCommand, kRelocationKeys},
      {"分辨率", kSettingsWindow, &kResolutionCommand, kResolutionKeys},
      {"小工具", kSettingsWindow, nullptr, kUtilityKeys},
  };
  return sections;
}

const char* CaptionOf(WindowId window, ControlId control) {
  const ControlRow* row = FindControlRow(*FindWindowLayout(ProgramWindowLayouts(), window), control);
  return row ? row->caption : "";
}

const char* KeyName(const SectionSchema& section, const PresetKey& key) {
  return key.name ? key.name : CaptionOf(section.window, key.control);
}

// ---------------------------------------------------------------------------
// GBK characters

// The text cut into characters: a lead byte with its trail byte is one, any
// other byte (a stray lead byte too) is one of its own.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  ForEachGbkCharacter(text, [&](size_t i, size_t length) { out.push_back(text.substr(i, length)); });
  return out;
}

bool SameCharacter(std::string_view a, std::string_view b) {
  if (a.size() == 1 && b.size() == 1) return FoldAsciiCase(a) == FoldAsciiCase(b);
  return a == b;
}

size_t EditDistance(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t substitute = diagonal + (SameCharacter(a[i - 1], b[j - 1]) ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({substitute, row[j] + 1, row[j - 1] + 1});
    }
  }
  return row[b.size()];
}

// Character by character as SameCharacter compares them: folding changes
// only single-byte letters, and a letter is never a lead byte and always a
// valid trail byte, so a folded text is cut into the same characters.
bool SameCaption(std::string_view a, std::string_view b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

// ---------------------------------------------------------------------------
// Lines

// ASCII blanks only: no GBK byte that belongs to a character is a blank.
std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool EndsWithCharacter(std::string_view text, char c) {
  std::vector<std::string_view> characters = Characters(text);
  return !characters.empty() && characters.back() == std::string_view(&c, 1);
}

Text Quoted(std::string_view text) { return ConcatTexts("“", text, "”"); }

Text JoinQuoted(const std::vector<const char*>& names) {
  Text out;
  for (const char* name : names) out += (out.empty() ? "" : "、") + Quoted(name);
  return out;
}

Text Suggestion(std::string_view text, const std::vector<const char*>& candidates, const char* open = "“",
                const char* close = "”") {
  const char* nearest = NearestCaption(text, candidates);
  return nearest ? ConcatTexts("；是否应为", open, nearest, close, "？") : Text();
}

std::vector<const char*> KeyNames(const SectionSchema& section) {
  std::vector<const char*> names;
  for (const PresetKey& key : section.keys) names.push_back(KeyName(section, key));
  return names;
}

std::vector<const char*> ChoiceNames(const SectionSchema& section, const PresetKey& key) {
  std::vector<const char*> names;
  for (ControlId radio : key.choices) names.push_back(CaptionOf(section.window, radio));
  return names;
}

struct GivenKey {
  const PresetKey* key;
  int line;
  Text value;
};

struct SectionInProgress {
  const SectionSchema* schema;
  int line;
  std::vector<GivenKey> given;
};

class Parser {
 public:
  ParsedPreset Parse(std::string_view bytes);

 private:
  bool Fail(int line, Text message) {
    result_.error = {line, std::move(message)};
    return false;
  }
  bool ParseAll(std::string_view bytes);
  bool ParseLine(int number, std::string_view line);
  bool StartSection(int number, std::string_view name);
  bool AddKey(int number, std::string_view key, std::string_view value);
  bool Finish(const SectionInProgress& section);

  ParsedPreset result_;
  std::vector<SectionInProgress> sections_;
};

// The result is handed over, not copied: a parser parses once.
ParsedPreset Parser::Parse(std::string_view bytes) {
  result_.ok = ParseAll(bytes);
  return std::move(result_);
}

bool Parser::ParseAll(std::string_view bytes) {
  PresetText text = PresetTextAsGbk(bytes);
  if (!text.ok) return Fail(text.line, std::move(text.message));
  int number = 0;
  for (std::string_view rest = text.gbk; !rest.empty();) {
    size_t end = rest.find('\n');
    if (!ParseLine(++number, rest.substr(0, end))) return false;
    rest.remove_prefix(end + 1);
  }
  // In run order, which is Schema()'s; each section is there at most once.
  // (A loop rather than a sort: std::sort costs about 1 KB of the program.)
  for (const SectionSchema& schema : Schema())
    for (const SectionInProgress& section : sections_)
      if (section.schema == &schema && !Finish(section)) return false;
  return true;
}

bool Parser::ParseLine(int number, std::string_view line) {
  std::string_view text = Trim(line);
  if (text.empty() || text.front() == ';') return true;
  if (text.front() == '[' && EndsWithCharacter(text, ']'))
    return StartSection(number, Trim(text.substr(1, text.size() - 2)));
  size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    return Fail(number, ConcatTexts("无法识别", Quoted(text), "，应为 [节名]、键=值 或以 ; 开头的注释"));
  return AddKey(number, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)));
}

bool Parser::StartSection(int number, std::string_view name) {
  const std::span<const SectionSchema> schema = Schema();
  // Plain loops rather than std::find_if, which is unrolled into each caller.
  const SectionSchema* found = nullptr;
  for (const SectionSchema& s : schema)
    if (!found && SameCaption(name, s.name)) found = &s;
  if (!found) {
    std::vector<const char*> names;
    Text listed;
    for (const SectionSchema& s : schema) {
      names.push_back(s.name);
      listed += ConcatTexts(listed.empty() ? "" : " ", "[", s.name, "]");
    }
    return Fail(number, ConcatTexts("未知的节 [", name, "]，应为 ", listed, " 之一",
                                    Suggestion(name, names, "[", "]")));
  }
  for (const SectionInProgress& seen : sections_)
    if (seen.schema == found)
      return Fail(number, ConcatTexts("节 [", found->name, "] 重复，第 ", ToText(seen.line), " 行已有此节"));
  sections_.push_back({found, number, {}});
  return true;
}

bool Parser::AddKey(int number, std::string_view name, std::string_view value) {
  if (sections_.empty())
    return Fail(number, ConcatTexts(Quoted(name), "之前没有节名，应先写节名，如 [优化]"));
  SectionInProgress& section = sections_.back();
  const SectionSchema& schema = *section.schema;
  const PresetKey* key = nullptr;
  for (const PresetKey& k : schema.keys)
    if (!key && SameCaption(name, KeyName(schema, k))) key = &k;
  if (!key) {
    std::vector<const char*> names = KeyNames(schema);
    Text expected = names.size() <= 9 ? ConcatTexts(JoinQuoted(names), " 之一")
                                      : ConcatTexts("本节 ", ToText(static_cast<int32_t>(names.size())),
                                                    " 个选项的标题之一");
    return Fail(number, ConcatTexts("[", schema.name, "] 中没有", Quoted(name), "，应为", expected,
                                    Suggestion(name, names)));
  }
  const char* key_name = KeyName(schema, *key);
  for (const GivenKey& given : section.given) {
    bool same_group = given.key == key ? key->kind == KeyKind::kChoice
                                         : key->exclusive_group && given.key->exclusive_group == key->exclusive_group;
    if (same_group)
      return Fail(number, ConcatTexts("[", schema.name, "] 只能选一项，第 ", ToText(given.line), " 行已选",
                                      Quoted(given.value)));
    if (given.key == key)
      return Fail(number, ConcatTexts(Quoted(key_name), "重复，第 ", ToText(given.line), " 行已有"));
  }
  switch (key->kind) {
    case KeyKind::kBox:
    case KeyKind::kPress:
      if (value != "1" && value != "0")
        return Fail(number, ConcatTexts(Quoted(key_name), "的值", Quoted(value), "无效，应为 1 或 0"));
      break;
    case KeyKind::kChoice: {
      std::vector<const char*> names = ChoiceNames(schema, *key);
      bool known = false;
      for (const char* n : names) known |= SameCaption(value, n);
      if (!known)
        return Fail(number, ConcatTexts(Quoted(key_name), "的值", Quoted(value), "无效，应为", JoinQuoted(names),
                                        " 之一", Suggestion(value, names)));
      break;
    }
    case KeyKind::kTarget:
      // A folder cannot contain a double quote, so quotes around it are only quotes.
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      break;
  }
  section.given.push_back({key, number, Text(value)});
  return true;
}

bool Parser::Finish(const SectionInProgress& section) {
  const SectionSchema& schema = *section.schema;
  PlannedSection planned;
  planned.name = schema.name;
  planned.line = section.line;
  const GivenKey* target = nullptr;
  bool any_box = false;
  for (const GivenKey& given : section.given) {
    const PresetKey& key = *given.key;
    bool selected = key.kind == KeyKind::kChoice || (key.kind != KeyKind::kTarget && given.value == "1");
    switch (key.kind) {
      case KeyKind::kBox:
        if (selected) planned.settings.push_back({schema.window, key.control, kPropertyChecked, PropertyValue::Boolean(true)});
        any_box |= selected;
        break;
      case KeyKind::kChoice:
        for (ControlId radio : key.choices)
          if (SameCaption(given.value, CaptionOf(schema.window, radio)))
            planned.settings.push_back({schema.window, radio, kPropertyChecked, PropertyValue::Boolean(true)});
        break;
      case KeyKind::kTarget:
        target = &given;
        planned.settings.push_back({schema.window, key.control, kPropertyText, PropertyValue::OfText(given.value)});
        break;
      case KeyKind::kPress:
        if (selected) planned.commands.push_back(key.command);
        break;
    }
    if (!selected) continue;
    planned.needs_administrator |= key.needs_administrator;
    if (key.kind != KeyKind::kPress && schema.command && planned.commands.empty())
      planned.commands.push_back(schema.command);
  }
  bool needs_target = false;
  for (const PresetKey& k : schema.keys) needs_target |= k.kind == KeyKind::kTarget;
  if (needs_target && any_box && (!target || target->value.empty())) {
    return Fail(target ? target->line : section.line,
                ConcatTexts("[", schema.name, "] 勾选了要转移的文件夹，但“目标”为空，应为目标文件夹，如 目标=D:\\Personal"));
  }
  result_.preset.sections.push_back(std::move(planned));
  return true;
}

}  // namespace

ParsedPreset ParsePreset(std::string_view file_bytes) { return Parser().Parse(file_bytes); }

Text PresetErrorLine(std::string_view path, const PresetError& error) {
  return ConcatTexts(path, " 第 ", ToText(error.line), " 行：", error.message);
}

std::vector<Text> SectionsNeedingAdministrator(const Preset& preset) {
  std::vector<Text> names;
  for (const PlannedSection& section : preset.sections)
    if (section.needs_administrator && !section.commands.empty()) names.push_back(section.name);
  return names;
}

std::vector<PresetSectionDescription> DescribePresets() {
  std::vector<PresetSectionDescription> out;
  for (const SectionSchema& section : Schema()) {
    PresetSectionDescription& described = out.emplace_back(PresetSectionDescription{section.name, {}});
    for (const PresetKey& key : section.keys)
      described.keys.push_back({KeyName(section, key), ChoiceNames(section, key), key.kind == KeyKind::kTarget,
                                key.needs_administrator});
  }
  return out;
}

const char* NearestCaption(std::string_view text, const std::vector<const char*>& candidates) {
  std::vector<std::string_view> typed = Characters(text);
  const char* nearest = nullptr;
  size_t best = 0;
  for (const char* candidate : candidates) {
    std::vector<std::string_view> characters = Characters(candidate);
    size_t distance = EditDistance(typed, characters);
    // Near enough when at most half of the longer text differs.
    if (2 * distance > std::max(typed.size(), characters.size())) continue;
    if (!nearest || distance < best) nearest = candidate, best = distance;
  }
  return nearest;
}

}  // namespace lumeno
