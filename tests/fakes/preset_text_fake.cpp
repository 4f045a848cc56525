// Unicode to GBK for the native tests, by the C library's iconv, which knows
// code page 936 as Windows does for every character the tests use. A build
// whose narrow literals are not GBK (the clang fuzzers) gets the literals'
// UTF-8 instead, so that captions still match, for the same characters.
#include <iconv.h>

#include "unattended/preset_text.h"

namespace lumeno {

namespace {

// Opened once: opening costs more than converting a line.
bool Convert(std::u16string_view text, iconv_t converter, Text* out) {
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  std::string in(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  out->resize(text.size() * 4);
  char* in_at = in.data();
  char* out_at = out->data();
  size_t in_left = in.size(), out_left = out->size();
  const bool converted = iconv(converter, &in_at, &in_left, &out_at, &out_left) != static_cast<size_t>(-1);
  out->resize(out->size() - out_left);
  return converted && in_left == 0;
}

}  // namespace

bool Utf16ToGbk(std::u16string_view text, Text* gbk) {
  static const bool kLiteralsAreGbk = sizeof("中") == 3;
  gbk->clear();
  if (text.empty()) return true;
  static const iconv_t kToGbk = iconv_open("GBK", "UTF-16LE"), kToUtf8 = iconv_open("UTF-8", "UTF-16LE");
  if (!Convert(text, kToGbk, gbk)) return false;
  return kLiteralsAreGbk || Convert(text, kToUtf8, gbk);
}

}  // namespace lumeno
