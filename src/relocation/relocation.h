// Relocation of the user's folders.
#pragma once

#include <string_view>
#include <vector>

#include "plan/command.h"
#include "platform/text.h"

namespace lumeno {

// 按钮8 "转移" of the page "转资料".
extern const Command kRelocationCommand;

void RelocateUserFolders();
void BrowseRelocationTarget();

// The folder every relocated path is built on: the text of the target edit
// box without one trailing backslash. The backslash counts only when it is a
// character of its own, not the second byte of a double-byte GBK character.
Text RelocationTarget(std::string_view edit_text);

// An absolute path with a drive letter and a backslash ("D:\..."), or a UNC
// path ("\\server\share..."), with no double quote in it.
bool IsUsableRelocationTarget(std::string_view edit_text);

// True when cmd would split the copy lines at the target or read part of it
// as an operator: a blank or one of & | < > ^ ( ) , ; = % ! outside
// double-byte characters.
bool RelocationTargetNeedsQuotes(std::string_view target);

// The folders to create, from the first one below the drive or share down to
// the target itself, for a target that does not exist yet.
std::vector<Text> FoldersToCreate(std::string_view target);

// The message that says why the edit box's target cannot be used, or empty
// when it can. with_disk: also that its drive or share exists and that no
// file stands on its path (checks that read the disk; nothing is changed).
Text RelocationTargetProblem(std::string_view edit_text, bool with_disk);

// "D:\" of a drive target, "\\server\share\" of a UNC one.
Text RelocationTargetRoot(std::string_view target);

// The path whose existence says the target is a usable folder: a bare drive
// ("D:") or share ("\\server\share") is asked about with a backslash added.
Text RelocationTargetCheckPath(std::string_view target);

}  // namespace lumeno
