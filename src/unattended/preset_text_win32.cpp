// The Win32 side of reading presets: Unicode to code page 936 by Windows'
// own table, which costs the program no table of its own.
#include <windows.h>

#include "unattended/preset_text.h"

namespace lumeno {

bool Utf16ToGbk(std::u16string_view text, Text* gbk) {
  gbk->clear();
  if (text.empty()) return true;
  // At most two bytes for each UTF-16 unit.
  gbk->resize(text.size() * 2);
  // Without WC_NO_BEST_FIT_CHARS a character such as "ñ" would quietly
  // become a look-alike ("n"), a different folder; the default character
  // flag then reports it like any character with no GBK form.
  BOOL used_default = FALSE;
  const int length = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.data()),
                                         static_cast<int>(text.size()), gbk->data(), static_cast<int>(gbk->size()),
                                         nullptr, &used_default);
  if (length <= 0 || used_default) return false;
  gbk->resize(length);
  return true;
}

}  // namespace lumeno
