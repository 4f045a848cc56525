// The relocation target from any edit-box text, against GBK's own
// double-byte areas: one trailing backslash goes, and only when it is a
// character of its own, never the second half of a double-byte character.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "relocation/relocation.h"
#include "support/expected_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string text(input.substr(0, input.find('\0')));
  const bool own = !text.empty() && text.back() == '\\' && expected::LastGbkCharacterStart(text) == text.size() - 1;
  if (lumeno::RelocationTarget(input) != (own ? text.substr(0, text.size() - 1) : text)) {
    std::fputs("the target is not the text less one trailing backslash character\n", stderr);
    std::abort();
  }
  return 0;
}
