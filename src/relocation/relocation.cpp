// Moves the user's data folders to the folder typed or picked on the page
// "转资料": new folders under the target, their content copied with xcopy,
// and the registry values through which Windows finds them rewritten.
#include "relocation/relocation.h"

#include <span>
#include <string>

#include "platform/platform.h"

namespace lumeno {

namespace {

using namespace settings_controls;
constexpr ControlId kTargetEditBox = kTargetEdit;

const std::string kSF = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kUSF = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::string kDefaultSF = ".DEFAULT\\" + kSF;
const std::string kEnvironment = "Environment";
const std::string kDefaultEnvironment = ".DEFAULT\\Environment";
const std::string kOutlookExpressIdentity =
    "Identities\\{F4E98C86-4D9A-463F-920C-1DF555C3B434}\\Software\\Microsoft\\Outlook Express\\5.0";

constexpr int HKCU = kRootCurrentUser;
constexpr int HKU = kRootUsers;

// Every folder, copy destination and value datum below is a suffix of the
// target folder.

// source + target + destination: the copy runs through cmd so that cmd
// expands %USERNAME%. The tails differ in their trailing blank, as they
// always have.
struct CopyCommand {
  const char* source;
  const char* destination;
};

// root, key path + "\" + value name, target + data: written as REG_SZ.
struct RegistryWrite {
  int root;
  const std::string& key_path;
  const char* value_name;
  const char* data;
};

// ---------------------------------------------------------------------------
// Desktop

const char* const kDesktopFolders[] = {"\\Desktop"};

const CopyCommand kDesktopCopies[] = {
    {"cmd /cxcopy C:\\Docume~1\\%USERNAME%\\桌面\\*.* ", "\\Desktop\\ /e /y "},
    {"cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* ", "\\Desktop\\ /e /y "},
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
    {"cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Favori~1\\*.* ", "\\Favorites\\ /e /y"},
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
    {"cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Mydocu~1\\*.* ", "\\Mydocu~1\\ /e /y"},
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

struct RelocatedFolder {
  ControlId box;
  std::span<const char* const> new_folders;
  std::span<const CopyCommand> copies;
  std::span<const RegistryWrite> values;
};

// In the order they are moved, which is not the order of the boxes on screen.
const RelocatedFolder kRelocatedFolders[] = {
    {kDesktopBox, kDesktopFolders, kDesktopCopies, kDesktopValues},
    {kFavoritesBox, kFavoritesFolders, kFavoritesCopies, kFavoritesValues},
    {kMyDocumentsBox, kMyDocumentsFolders, kMyDocumentsCopies, kMyDocumentsValues},
    {kTempBox, kTempFolders, {}, kTempValues},
    {kInternetCacheBox, kInternetCacheFolders, {}, kInternetCacheValues},
    {kOutlookExpressBox, kOutlookExpressFolders, {}, kOutlookExpressValues},
};

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Where the last character of a GBK text begins. Many GBK characters have 0x5C
// as their second byte, so this can only be known by walking from the start.
size_t LastCharacterStart(std::string_view text) {
  size_t last = 0;
  for (size_t i = 0; i < text.size();) {
    last = i;
    bool double_byte = IsLeadByte(text[i]) && i + 1 < text.size() && IsTrailByte(text[i + 1]);
    i += double_byte ? 2 : 1;
  }
  return last;
}

bool EndsWithBackslashCharacter(std::string_view text) {
  return !text.empty() && text.back() == '\\' && LastCharacterStart(text) == text.size() - 1;
}

void Relocate(const RelocatedFolder& folder, const Text& target) {
  for (const char* suffix : folder.new_folders) CreateFolder(ConcatTexts(target, suffix));
  for (const CopyCommand& copy : folder.copies)
    RunCommandLine(ConcatTexts(copy.source, target, copy.destination), true, kHiddenWindowMode);
  for (const RegistryWrite& value : folder.values)
    WriteRegistryItem(value.root, ConcatTexts(value.key_path, "\\", value.value_name),
                      ConcatTexts(target, value.data));
}

bool AnyFolderTicked() {
  bool any = false;
  for (const RelocatedFolder& folder : kRelocatedFolders) any |= IsTicked(kSettingsWindow, folder.box);
  return any;
}

}  // namespace

Text RelocationTarget(std::string_view edit_text) {
  std::string_view text = edit_text.substr(0, TextLength(edit_text));
  if (EndsWithBackslashCharacter(text)) return LeftPart(text, TextLength(text) - 1);
  return Text(text);
}

void RelocateUserFolders() {
  const Text target = RelocationTarget(ReadText(kSettingsWindow, kTargetEditBox));
  for (const RelocatedFolder& folder : kRelocatedFolders)
    if (IsTicked(kSettingsWindow, folder.box)) Relocate(folder, target);
  if (AnyFolderTicked())
    ShowMessageBox("资料转移成功！", kStyleInformation);
  else
    ShowMessageBox("请选择欲清理项目！", kStyleStop);
}

void BrowseRelocationTarget() { SetText(kSettingsWindow, kTargetEditBox, BrowseForFolder("请选择目标目录")); }

}  // namespace lumeno
