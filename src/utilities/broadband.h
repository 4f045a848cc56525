// The broadband dial-up entry: the phone-book entry, its desktop shortcut and
// the handler that installs both.
#pragma once

#include <string>
#include <string_view>

#include "plan/command.h"

namespace lumeno {

// 按钮26 "生成ADSL": the phone-book entry, its shortcut and the telephony service.
extern const Command kBroadbandCommand;

// Where the all-users phone book and the desktop shortcut live on a
// Chinese-language Windows XP (GBK paths, fixed: nothing is looked up).
extern const char kBroadbandPhonebookPath[];
extern const char kBroadbandShortcutPath[];

// The whole phone book as written to a machine that has none yet: UTF-8 with
// its byte-order mark, CR LF lines, 1,616 bytes.
const std::string& BroadbandPhonebookEntry();

// The entry's own section inside any phone book: the bytes of
// BroadbandPhonebookEntry() from "[宽带连接]" up to and including the closing
// CR LF CR LF (that is, without the byte-order mark and the empty first line).
std::string_view BroadbandPhonebookSection();

// The desktop shortcut that opens the connection: 524 bytes.
const std::string& BroadbandShortcut();

// Click handler of 按钮26 "生成ADSL".
void CreateBroadbandEntry();

}  // namespace lumeno
