// Merging the broadband entry into any phone book: the entry is present byte
// for byte, merging again changes nothing, and the user's other sections
// keep their bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "utilities/broadband.h"
#include "utilities/phonebook.h"
#include "support/fuzz_check.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf8Header = "[\xE5\xAE\xBD\xE5\xB8\xA6\xE8\xBF\x9E\xE6\x8E\xA5]";
constexpr std::string_view kGbkHeader = "[\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3]";

// The sections of a text phone book, each from a line starting with '[' to
// the next such line (LF-ended lines), split into ours and the others.
struct Sections {
  std::vector<std::string_view> ours, others;
};

Sections SplitSections(std::string_view book) {
  Sections sections;
  size_t start = std::string_view::npos;
  bool ours = false;
  auto close = [&](size_t end) {
    if (start != std::string_view::npos) (ours ? sections.ours : sections.others).push_back(book.substr(start, end - start));
  };
  for (size_t begin = 0; begin < book.size();) {
    size_t end = book.find('\n', begin);
    end = end == std::string_view::npos ? book.size() : end + 1;
    size_t line_start = begin == 0 && book.starts_with(kBom) ? kBom.size() : begin;
    if (line_start < end && book[line_start] == '[') {
      close(line_start);
      std::string_view header = book.substr(line_start, end - line_start);
      if (header.ends_with('\n')) header.remove_suffix(1);
      if (header.ends_with('\r')) header.remove_suffix(1);
      ours = header == kUtf8Header || header == kGbkHeader;
      start = line_start;
    }
    begin = end;
  }
  close(book.size());
  return sections;
}

bool IsPlainText(std::string_view bytes) {
  return bytes.find('\0') == std::string_view::npos && !bytes.starts_with("\xFF\xFE") &&
         !bytes.starts_with("\xFE\xFF");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumeno;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view section = BroadbandPhonebookSection();
  const std::string once = MergePhonebook(input);

  // Our entry is there, byte for byte, and starts a line.
  const size_t at = once.find(section);
  Check(at != std::string::npos, "entry missing");
  Check(at == 0 || once[at - 1] == '\n' || (at == kBom.size() && once.starts_with(kBom)), "entry not on a line start");
  Check(MergePhonebook(once) == once, "merging twice differs from merging once");

  if (IsPlainText(input)) {
    // Exactly one section of that name remains, ours; the others are all there.
    const Sections before = SplitSections(input), after = SplitSections(once);
    Check(after.ours.size() == 1 && after.ours[0] == section, "not exactly our one section");
    Check(after.others.size() == before.others.size(), "the number of other sections changed");
    for (std::string_view other : before.others) Check(once.find(other) != std::string::npos, "a section was changed");
  } else {
    // Kept whole, apart from an earlier copy of our section at its end.
    std::string_view kept = input;
    if (kept.ends_with(section)) kept.remove_suffix(section.size());
    Check(std::string_view(once).starts_with(kept), "binary content not kept");
  }
  Check(once.size() <= size + BroadbandPhonebookEntry().size() + 4, "result grew beyond one entry");
  return 0;
}
