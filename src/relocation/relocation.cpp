// Moves the user's data folders to the folder typed or picked on the page
// "转资料": new folders under the target, their content copied with xcopy,
// and the registry values through which Windows finds them rewritten.
#include "relocation/relocation.h"

#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "plan/command.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using namespace settings_controls;
constexpr ControlId kTargetEditBox = kTargetEdit;

// The current user's keys are the default user's without ".DEFAULT\\": one
// text serves both.
constexpr char kDefaultSF[] = ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kSF = kDefaultSF + 9;
constexpr char kUSF[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kDefaultEnvironment[] = ".DEFAULT\\Environment";
constexpr const char* kEnvironment = kDefaultEnvironment + 9;
constexpr char kOutlookExpressIdentity[] =
    "Identities\\{F4E98C86-4D9A-463F-920C-1DF555C3B434}\\Software\\Microsoft\\Outlook Express\\5.0";

constexpr int HKCU = kRootCurrentUser;
constexpr int HKU = kRootUsers;

// Every folder, copy destination and value datum below is a suffix of the
// target folder.

// "cmd /cxcopy " + source + "\*.* " + target + destination + "\" + switches:
// the copy runs through cmd so that cmd expands %USERNAME%. The switches
// differ in their trailing blank, as they always have. A target that cmd
// would split or read as an operator gets both paths quoted, and then the
// destination is the folder just made and checked (quoted_destination): a
// quoted path must not end in a backslash, which would escape the quote.
struct CopyCommand {
  const char* source;
  const char* destination;
  const char* quoted_destination;
  const char* switches;
};

// root, key path + "\" + value name, target + data: written as REG_SZ.
struct RegistryWrite {
  int root;
  const char* key_path;
  const char* value_name;
  const char* data;
};

// ---------------------------------------------------------------------------
// Desktop

const char* const kDesktopFolders[] = {"\\Desktop"};

const CopyCommand kDesktopCopies[] = {
    {"C:\\Docume~1\\%USERNAME%\\桌面", "\\Desktop", "\\Desktop", " /e /y "},
    {"C:\\Docume~1\\%USERNAME%\\Desktop", "\\Desktop", "\\Desktop", " /e /y "},
};

const RegistryWrite kDesktopValues[] = {
    {HKCU, kSF, "Desktop", "\\Desktop"},
    {HKCU, kUSF, "Desktop", "\\Desktop"},
    {HKU, kDefaultSF, "Desktop", "\\Desktop"},
};

// ---------------------------------------------------------------------------
// Favorites

const char* const kFavoritesFolders[] = {"\\Favorites"};

const CopyCommand kFavoritesCopies[] = {
    {"C:\\Docume~1\\%USERNAME%\\Favori~1", "\\Favorites", "\\Favorites", " /e /y"},
};

const RegistryWrite kFavoritesValues[] = {
    {HKCU, kSF, "Favorites", "\\Favorites"},
    {HKCU, kUSF, "Favorites", "\\Favorites"},
    {HKU, kDefaultSF, "Favorites", "\\Favorites"},
};

// ---------------------------------------------------------------------------
// My Documents, with My Pictures, My Music and Recent. The copy names the
// destination by its short name, which resolves to "My Documents".

const char* const kMyDocumentsFolders[] = {
    "\\My Documents",
    "\\My Documents\\My Pictures",
    "\\My Documents\\My Music",
};

const CopyCommand kMyDocumentsCopies[] = {
    {"C:\\Docume~1\\%USERNAME%\\Mydocu~1", "\\Mydocu~1", "\\My Documents", " /e /y"},
};

const RegistryWrite kMyDocumentsValues[] = {
    {HKCU, kSF, "Personal", "\\My Documents"},
    {HKCU, kUSF, "Personal", "\\My Documents"},
    {HKU, kDefaultSF, "Download Directory", "\\My Documents"},
    {HKCU, kSF, "My Music", "\\My Documents\\My Music"},
    {HKCU, kUSF, "My Music", "\\My Documents\\My Music"},
    {HKU, kDefaultSF, "My Music", "\\My Documents\\My Music"},
    {HKCU, kSF, "My Pictures", "\\My Documents\\My Pictures"},
    {HKCU, kUSF, "My Pictures", "\\My Documents\\My Pictures"},
    {HKU, kDefaultSF, "My Pictures", "\\My Documents\\My Pictures"},
    {HKCU, kSF, "Recent", "\\Recent"},
    {HKCU, kUSF, "Recent", "\\Recent"},
};

// ---------------------------------------------------------------------------
// Temp

const char* const kTempFolders[] = {"\\Temp"};

const RegistryWrite kTempValues[] = {
    {HKCU, kEnvironment, "TEMP", "\\Temp"},
    {HKCU, kEnvironment, "TMP", "\\Temp"},
    {HKU, kDefaultEnvironment, "TEMP", "\\Temp"},
    {HKU, kDefaultEnvironment, "TMP", "\\Temp"},
};

// ---------------------------------------------------------------------------
// Temporary Internet Files

const char* const kInternetCacheFolders[] = {"\\Temporary Internet Files"};

const RegistryWrite kInternetCacheValues[] = {
    {HKCU, kSF, "Cache", "\\Temporary Internet Files"},
    {HKCU, kUSF, "Cache", "\\Temporary Internet Files"},
    {HKU, kDefaultSF, "Cache", "\\Temporary Internet Files"},
};

// ---------------------------------------------------------------------------
// Outlook Express store: the folder made is "OE", the one registered is
// "Outlook Express".

const char* const kOutlookExpressFolders[] = {"\\OE"};

const RegistryWrite kOutlookExpressValues[] = {
    {HKCU, kOutlookExpressIdentity, "Store Root", "\\Outlook Express"},
};

// ---------------------------------------------------------------------------

// location: the value of the current user through which Windows finds the
// folder today (HKEY_CURRENT_USER's User Shell Folders, TEMP, Store Root).
struct RelocatedFolder {
  ControlId box;
  std::span<const char* const> new_folders;
  std::span<const CopyCommand> copies;
  std::span<const RegistryWrite> values;
  const RegistryWrite& location;
};

// In the order they are moved, which is not the order of the boxes on screen.
const RelocatedFolder kRelocatedFolders[] = {
    {kDesktopBox, kDesktopFolders, kDesktopCopies, kDesktopValues, kDesktopValues[1]},
    {kFavoritesBox, kFavoritesFolders, kFavoritesCopies, kFavoritesValues, kFavoritesValues[1]},
    {kMyDocumentsBox, kMyDocumentsFolders, kMyDocumentsCopies, kMyDocumentsValues, kMyDocumentsValues[1]},
    {kTempBox, kTempFolders, {}, kTempValues, kTempValues[0]},
    {kInternetCacheBox, kInternetCacheFolders, {}, kInternetCacheValues, kInternetCacheValues[1]},
    {kOutlookExpressBox, kOutlookExpressFolders, {}, kOutlookExpressValues, kOutlookExpressValues[0]},
};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Where the last character of a GBK text begins. Many GBK characters have 0x5C
// as their second byte, so this can only be known by walking from the start.
size_t LastCharacterStart(std::string_view text) {
  size_t last = 0;
  ForEachGbkCharacter(text, [&](size_t i, size_t) { last = i; });
  return last;
}

bool EndsWithBackslashCharacter(std::string_view text) {
  return !text.empty() && text.back() == '\\' && LastCharacterStart(text) == text.size() - 1;
}

Text ItemPathOf(const RegistryWrite& value) { return ConcatTexts(value.key_path, "\\", value.value_name); }

Text WithoutTrailingBackslash(std::string_view path) {
  return Text(EndsWithBackslashCharacter(path) ? path.substr(0, path.size() - 1) : path);
}

// The folder a text value names, %NAME% expanded (XP's own values are
// REG_EXPAND_SZ "%USERPROFILE%\..."; a REG_SZ is expanded as well, so that
// a folder spelt through a variable is still known as itself), without a
// trailing backslash. Empty when the value is not there or holds no text.
// The value is read as it stands before the plan's next step.
Text FolderNamedBy(PlanBuilder& plan, int root, const Text& item_path) {
  const RegistryValueRead read = plan.ValueNow(root, item_path);
  if (read.status != RegistryReadStatus::kFound) return {};
  if (read.data.type != kRegSz && read.data.type != kRegExpandSz) return {};
  const std::string& bytes = read.data.bytes;
  return WithoutTrailingBackslash(ExpandEnvironment(bytes.substr(0, bytes.find('\0'))));
}

// Windows matches paths without regard to the case of ASCII letters.
bool SameFolder(std::string_view a, std::string_view b) {
  return !a.empty() && FoldAsciiCase(WithoutTrailingBackslash(a)) == FoldAsciiCase(WithoutTrailingBackslash(b));
}

bool IsInsideFolder(std::string_view path, std::string_view folder) {
  const Text inner = FoldAsciiCase(path);
  const Text outer = FoldAsciiCase(WithoutTrailingBackslash(folder));
  return !outer.empty() && inner.size() > outer.size() + 1 && inner.compare(0, outer.size(), outer) == 0 &&
         inner[outer.size()] == '\\';
}

constexpr const char* kUnchangedLocation = "；位置未更改";

// The destination as the copy line names it.
Text CopyDestination(const CopyCommand& copy, const Text& target, bool quoted) {
  return ConcatTexts(target, quoted ? copy.quoted_destination : copy.destination, quoted ? "" : "\\");
}

void AddCopy(std::string_view source, const CopyCommand& copy, const Text& target, bool quoted, int group,
             PlanBuilder& plan) {
  const char* const quote = quoted ? "\"" : "";
  Text destination = CopyDestination(copy, target, quoted);
  Text line = ConcatTexts("cmd /cxcopy ", quote, source, "\\*.*", quote, " ", quote, destination, quote,
                          copy.switches);
  Text what = ConcatTexts("复制到 ", destination);
  plan.Copy(std::move(line), Text(source), std::move(destination), std::move(what), group).failure_note =
      kUnchangedLocation;
}

// Windows must never be pointed at a folder that is not there, or at one
// that lacks the user's files: a folder whose new folder cannot be made, or
// whose copy failed, keeps its registry values (the rest of its group is
// skipped), so Windows goes on using the old folder, which still holds
// everything.
//
// A second run must not lose what the user did in between. A folder Windows
// already finds where this run would put it is not copied again: xcopy /y
// would lay the stale original over files changed since. A folder that was
// moved out of the profile before is copied from where it is now; the
// profile's own folders keep the copy lines they always had.
void AddFolder(const RelocatedFolder& folder, int group, const Text& target, bool quoted, PlanBuilder& plan) {
  const Text now = FolderNamedBy(plan, folder.location.root, ItemPathOf(folder.location));
  const bool in_place = SameFolder(now, ConcatTexts(target, folder.location.data));
  const bool moved_before = !now.empty() && !IsInsideFolder(now, ExpandEnvironment("%USERPROFILE%"));
  for (const char* suffix : folder.new_folders)
    plan.CreateFolder(ConcatTexts(target, suffix), group).failure_note = kUnchangedLocation;
  if (!in_place && moved_before && !folder.copies.empty())
    AddCopy(now, folder.copies.front(), target, quoted || RelocationTargetNeedsQuotes(now), group, plan);
  else if (!in_place)
    for (const CopyCommand& copy : folder.copies) AddCopy(copy.source, copy, target, quoted, group, plan);
  for (const RegistryWrite& value : folder.values) {
    const Text path = ConcatTexts(target, value.data);
    const Text item_path = ItemPathOf(value);
    const bool value_in_place = SameFolder(FolderNamedBy(plan, value.root, item_path), path);
    plan.WriteValue(value.root, item_path, path, group, value_in_place);
  }
}

// Makes the target and any missing folder above it. When one cannot be made,
// nothing else runs, and the folders made on the way are removed again, so
// that the disk is as it was.
void AddTarget(const Text& target, PlanBuilder& plan) {
  if (FolderExists(RelocationTargetCheckPath(target))) return;
  constexpr int kTargetGroup = 1;
  for (const Text& folder : FoldersToCreate(target)) {
    Step& step = plan.CreateFolder(folder, kTargetGroup);
    step.undo_group_on_failure = true;
    step.stops_plan = true;
    step.stop_message = ConcatTexts("无法使用转移目标“", target, "”：");
  }
}

Plan PlanRelocation(const Selection& selection) {
  const Text edit_text = selection.TextOf(kSettingsWindow, kTargetEditBox);
  const Text problem = RelocationTargetProblem(edit_text, false);
  if (!problem.empty()) return RefusedPlan(problem);
  const Text target = RelocationTarget(edit_text);
  const bool quoted = RelocationTargetNeedsQuotes(target);
  // The boxes are read once before anything changes, so that the restore
  // file holds every value the run rewrites.
  bool ticked[std::size(kRelocatedFolders)];
  bool any_ticked = false;
  for (size_t i = 0; i < std::size(kRelocatedFolders); ++i) {
    ticked[i] = selection.Ticked(kSettingsWindow, kRelocatedFolders[i].box);
    any_ticked = any_ticked || ticked[i];
  }
  if (!any_ticked) return RefusedPlan("请选择欲清理项目！");
  if (const Text missing = RelocationTargetProblem(edit_text, true); !missing.empty())
    return RefusedPlan(missing);
  PlanBuilder plan;
  AddTarget(target, plan);
  for (size_t i = 0; i < std::size(kRelocatedFolders); ++i)
    if (ticked[i]) AddFolder(kRelocatedFolders[i], static_cast<int>(i) + 2, target, quoted, plan);
  return plan.Finish();
}

}  // namespace

Text RelocationTarget(std::string_view edit_text) {
  std::string_view text = edit_text.substr(0, TextLength(edit_text));
  if (EndsWithBackslashCharacter(text)) return LeftPart(text, TextLength(text) - 1);
  return Text(text);
}

// The target is checked before anything changes; it is made (with any
// missing folder above it) only once a ticked folder is reached, so that a
// run with nothing ticked leaves the disk as it was.
bool IsUsableRelocationTarget(std::string_view edit_text) {
  const std::string_view text = edit_text.substr(0, TextLength(edit_text));
  if (text.find('"') != std::string_view::npos) return false;
  const bool drive = text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == ':' && text[2] == '\\';
  if (drive) return true;
  // \\server\share: both names present.
  if (text.substr(0, 2) != "\\\\") return false;
  const std::vector<size_t> separators = BackslashPositions(text);
  return separators.size() >= 3 && separators[2] > 2 && separators[2] + 1 < text.size() &&
         (separators.size() == 3 || separators[3] > separators[2] + 1);
}

bool RelocationTargetNeedsQuotes(std::string_view target) {
  static constexpr std::string_view kSpecial = " &|<>^(),;=%!";
  bool special = false;
  ForEachGbkCharacter(target, [&](size_t i, size_t length) {
    special |= length == 1 && kSpecial.find(target[i]) != std::string_view::npos;
  });
  return special;
}

std::vector<Text> FoldersToCreate(std::string_view target) {
  const std::vector<size_t> separators = BackslashPositions(target);
  // Below the root: after "X:\" (the first backslash), or after "\\server\share\" (the fourth).
  const size_t root_separators = target.substr(0, 2) == "\\\\" ? 4 : 1;
  std::vector<Text> folders;
  for (size_t i = root_separators; i < separators.size(); ++i)
    if (separators[i] > separators[i - 1] + 1) folders.emplace_back(target.substr(0, separators[i]));
  if (separators.size() >= root_separators && (separators.empty() || separators.back() + 1 < target.size()))
    folders.emplace_back(target);
  return folders;
}

Text RelocationTargetCheckPath(std::string_view target) {
  const bool drive_only = target.size() == 2 && target[1] == ':';
  const bool share_only = target.substr(0, 2) == "\\\\" && BackslashPositions(target).size() == 3;
  return (drive_only || share_only) ? ConcatTexts(target, "\\") : Text(target);
}

// What makes a target unusable, as the message that says so; empty when it
// is usable. The form and the environment names first; with the disk as
// well, that its drive or share is there and no file stands on its way.
// Nothing is changed either way.
Text RelocationTargetProblem(std::string_view edit_text, bool with_disk) {
  constexpr const char* kNothingChanged = "\r\n未做任何更改。";
  const Text target = RelocationTarget(edit_text);
  if (!IsUsableRelocationTarget(edit_text))
    return ConcatTexts("转移目标“", edit_text,
                       "”无效：必须是带盘符的完整路径（如 D:\\Personal）或网络路径（如 \\\\服务器\\共享），"
                       "且不能含有双引号。",
                       kNothingChanged);
  if (target.find('%') != Text::npos && ExpandEnvironment(target) != target)
    return ConcatTexts("转移目标“", edit_text, "”含有环境变量的名称，复制时会被改写。", kNothingChanged);
  if (!with_disk) return {};
  const Text root = RelocationTargetRoot(target);
  if (!FolderExists(root))
    return ConcatTexts("转移目标“", edit_text, "”所在的驱动器或共享“", root, "”不存在。", kNothingChanged);
  std::vector<Text> on_the_way = FoldersToCreate(target);
  if (on_the_way.empty() || on_the_way.back() != target) on_the_way.push_back(target);
  for (const Text& path : on_the_way)
    if (IsFile(path)) return ConcatTexts("转移目标“", edit_text, "”的路径上已有文件“", path, "”。", kNothingChanged);
  return {};
}

Text RelocationTargetRoot(std::string_view target) {
  if (target.substr(0, 2) != "\\\\") return ConcatTexts(target.substr(0, 2), "\\");
  const std::vector<size_t> separators = BackslashPositions(target);
  if (separators.size() >= 4) return Text(target.substr(0, separators[3] + 1));
  return ConcatTexts(target, "\\");
}

const Command kRelocationCommand = {"资料转移", "资料转移", "资料转移成功！", kDefaultMessageTitle, PlanRelocation};

void RelocateUserFolders() { RunCommandInWindow(kRelocationCommand); }

void BrowseRelocationTarget() { SetText(kSettingsWindow, kTargetEditBox, BrowseForFolder("请选择目标目录")); }

}  // namespace lumeno
