// Reading presets: any bytes, no crash and no undefined behaviour; an error
// names a line of the file; a file read well reads the same when saved again
// as UTF-8 with a mark, as UTF-16 LE with a mark, and with CR line ends.
// Built by clang, whose narrow literals are UTF-8: the fake then gives the
// captions' UTF-8 for the characters GBK has (tests/fakes/preset_text_fake.cpp).
#include <iconv.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "plan/command.h"
#include "unattended/preset.h"
#include "unattended/preset_text.h"
#include "support/fuzz_check.h"

namespace {

const char* const kLiteralCharset = sizeof("中") == 3 ? "GBK" : "UTF-8";

std::optional<std::string> Convert(std::string_view text, const char* to, const char* from) {
  iconv_t converter = iconv_open(to, from);
  Check(converter != reinterpret_cast<iconv_t>(-1), "iconv cannot convert");
  std::string in(text), out(text.size() * 4, '\0');
  char* in_at = in.data();
  char* out_at = out.data();
  size_t in_left = in.size(), out_left = out.size();
  const bool converted = iconv(converter, &in_at, &in_left, &out_at, &out_left) != static_cast<size_t>(-1);
  iconv_close(converter);
  if (!converted || in_left != 0) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

// Everything a run would do: sections, their lines, control states, presses.
std::string Describe(const lumeno::ParsedPreset& parsed) {
  if (!parsed.ok) return "error " + std::to_string(parsed.error.line) + " " + parsed.error.message;
  std::string out;
  for (const lumeno::PlannedSection& section : parsed.preset.sections) {
    out += "[" + section.name + "]@" + std::to_string(section.line) + (section.needs_administrator ? "!" : "") + ":";
    for (const lumeno::PresetSetting& s : section.settings)
      out += " " + std::to_string(s.window) + "/" + std::to_string(s.control) + "/" + std::to_string(s.index) + "=" +
             (s.value.is_text ? "'" + s.value.text + "'" : std::to_string(s.value.number));
    for (const lumeno::Command* command : section.commands) out += std::string(" > ") + command->name;
    out += "\n";
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumeno;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const ParsedPreset parsed = ParsePreset(input);
  const lumeno::PresetText text = PresetTextAsGbk(input);
  // Every line end is a CR or an LF byte in each encoding: a bound on the lines.
  const int lines = 1 + static_cast<int>(std::count(input.begin(), input.end(), '\n') +
                                         std::count(input.begin(), input.end(), '\r'));
  if (!text.ok) {
    Check(!parsed.ok && parsed.error.line == text.line, "a file that cannot be read was parsed");
    Check(!text.message.empty(), "a reading error without a reason");
  } else {
    Check(text.gbk.find('\r') == std::string::npos, "a CR is left in the lines");
    Check(text.gbk.empty() || text.gbk.back() == '\n', "the last line has no end");
  }
  if (!parsed.ok) {
    Check(parsed.error.line >= 1 && parsed.error.line <= lines, "an error names no line of the file");
    Check(!parsed.error.message.empty(), "an error without a message");
    return 0;
  }

  // Saved again by another editor, the same file. Texts that are no whole
  // characters of this build's literals cannot be saved in Unicode.
  const std::optional<std::string> utf8 = Convert(text.gbk, "UTF-8", kLiteralCharset);
  const std::optional<std::string> utf16 = Convert(text.gbk, "UTF-16LE", kLiteralCharset);
  if (!utf8 || !utf16) return 0;
  const std::string expected = Describe(parsed);
  Check(Describe(ParsePreset("\xEF\xBB\xBF" + *utf8)) == expected, "UTF-8 with a mark reads differently");
  Check(Describe(ParsePreset("\xFF\xFE" + *utf16)) == expected, "UTF-16 LE reads differently");
  std::string cr_lines = *utf8;
  std::replace(cr_lines.begin(), cr_lines.end(), '\n', '\r');
  Check(Describe(ParsePreset(cr_lines)) == expected, "CR line ends read differently");
  return 0;
}
