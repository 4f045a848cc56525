// Preset files as editors save them, turned into the GBK lines the preset
// reader parses: GBK, UTF-8 with or without a byte-order mark, and UTF-16 LE
// with one; lines ended by CR LF, LF or a lone CR.
//
// Without a mark, text that is valid UTF-8 and not plain ASCII is UTF-8
// (Notepad of Windows 10 and later saves so), anything else GBK, as before.
// The captions are GBK, so Unicode text is converted to code page 936; a
// character with no GBK form is an error of its line, never a "?".
// Portable, but for the one host operation below.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace lumeno {

struct PresetText {
  bool ok = false;
  Text gbk;        // every line in GBK and ended by LF, in the file's order
  int line = 0;    // !ok: the line that cannot be read
  Text message;    // !ok: why, and what was expected
};

PresetText PresetTextAsGbk(std::string_view file_bytes);

// ---------------------------------------------------------------------------
// Host operation (preset_text_win32.cpp; the tests link a fake)

// The UTF-16 text (no lone surrogates) in code page 936, exactly: false when
// some character has no GBK form.
bool Utf16ToGbk(std::u16string_view text, Text* gbk);

}  // namespace lumeno
