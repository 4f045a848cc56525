// System cleanup items of the settings page "清系统", and the batch-file
// format the cleaning scripts share.
#pragma once

#include <span>

#include "plan/command.h"
#include "platform/text.h"

namespace lumeno {

// 按钮9 "清理" of the page "清系统".
extern const Command kSystemCleanupCommand;

void RunSystemCleanup();
void SelectAllCleanupItems();

// The bytes of a generated batch file: the lines as they stand (GBK), joined
// by CR LF, with no line end after the last line, no NUL and no byte-order mark.
Text CleanupScriptBytes(std::span<const char* const> lines);

}  // namespace lumeno
