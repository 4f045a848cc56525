// The relocation target from any edit-box text: at most one trailing
// backslash character is taken off, never the half of a GBK character.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "relocation/relocation.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fputs(what, stderr);
    std::fputc('\n', stderr);
    std::abort();
  }
}

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view text = input.substr(0, input.find('\0'));
  const lumeno::Text target = lumeno::RelocationTarget(input);

  Check(target.find('\0') == lumeno::Text::npos, "NUL in the target");
  Check(text.starts_with(target), "target is not a prefix of the text");
  Check(target.size() + 1 >= text.size(), "more than one byte removed");
  if (target.size() < text.size()) {
    Check(text.back() == '\\', "removed byte is not a backslash");
    // The byte before it, counted from the start, must not be a lead byte
    // whose character the backslash would complete.
    size_t i = 0, last = 0;
    while (i < text.size()) {
      last = i;
      bool pair = IsLeadByte(text[i]) && i + 1 < text.size() && IsTrailByte(text[i + 1]);
      i += pair ? 2 : 1;
    }
    Check(last == text.size() - 1, "removed the second byte of a double-byte character");
  } else if (!text.empty() && text.back() == '\\') {
    // Kept only when it is the trail byte of a double-byte character.
    Check(text.size() >= 2 && IsLeadByte(text[text.size() - 2]), "a lone trailing backslash was kept");
  }
  return 0;
}
