// Restore-file cases shared by two tests: the native test checks that the
// writer turns each case into exactly its hand-written file in tests/data/reg,
// and the Wine test imports those files with regedit and checks that each
// value arrives with exactly the type and bytes given here.
#pragma once

#include <string>
#include <vector>

#include "undo/reg_file.h"

namespace lumeno::reg_cases {

inline constexpr char kTestKey[] = "Software\\LumenoRegTest";

struct RegFileCase {
  const char* file;  // in tests/data/reg
  std::vector<RegFileKey> keys;
};

inline RegistryData Data(uint32_t type, std::string bytes) { return {type, std::move(bytes)}; }
inline std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

inline std::string Counting(size_t count) {
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(i * 7));
  return bytes;
}

inline std::vector<RegFileCase> RegFileCases() {
  const std::string key = kTestKey;
  return {
      // One value of each type.
      {"value_types.reg",
       {{3, key + "\\Types", false,
         {
             {"Text", Data(1, Sz("plain text"))},
             {"Number", Data(4, std::string("\x9D\xFF\xFF\xFF", 4))},
             {"Expandable", Data(2, Sz("%SystemRoot%\\a"))},
             {"Lines", Data(7, std::string("one\0two\0\0", 9))},
             {"Binary", Data(3, std::string("\x00\x01\x7F\x80\xFF", 5))},
             {"Quad", Data(11, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8))},
             {"Nothing", Data(0, "")},
             {"ShortNumber", Data(4, std::string("\x01\x02", 2))},
             {"ChineseText", Data(1, Sz("中文文字"))},
             {"EmptyText", Data(1, Sz(""))},
         }}}},
      // Backslashes and quotes, the default value, and GBK characters whose
      // second byte is 0x5C (淺 = 9C 5C) in a name and in data.
      {"escaping.reg",
       {{3, key + "\\Escaping", false,
         {
             {"", Data(1, Sz("default \"quoted\""))},
             {"Back\\slash", Data(1, Sz("C:\\Program Files\\\"x\"\\"))},
             {"淺", Data(1, Sz("D:\\淺水\\淺"))},
         }}}},
      // A missing value and a missing key: importing removes what a command added.
      {"removals.reg",
       {{3, key + "\\Created", true, {}},
        {3, key + "\\Removals", false,
         {
             {"Added", std::nullopt},
             {"", std::nullopt},
         }}}},
      // A REG_BINARY long enough to wrap, and one under a long name.
      {"long_binary.reg",
       {{3, key + "\\Long", false,
         {
             {"Blob", Data(3, Counting(100))},
             {"A value name long enough to push the first byte near the end of its line",
              Data(3, Counting(3))},
         }}}},
      // Texts that "text" cannot carry exactly: a line break, no terminating NUL.
      {"unusual_text.reg",
       {{3, key + "\\Unusual", false,
         {
             {"TwoLines", Data(1, Sz("two\r\nlines"))},
             {"Unterminated", Data(1, "abc")},
         }}}},
  };
}

}  // namespace lumeno::reg_cases
