#include "cleaning/junk_cleaning_rules.h"


namespace lumeno {

bool JoinChildPath(std::string_view folder, std::string_view name, Text* child) {
  if (folder.size() + 1 + name.size() + 1 > kMaxPath) return false;
  child->assign(folder);
  child->push_back('\\');
  child->append(name);
  return true;
}

bool NameEqualsIgnoringCase(std::wstring_view name, std::string_view ascii_name) {
  if (name.size() != ascii_name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    wchar_t c = name[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    char expected = ascii_name[i];
    if (expected >= 'A' && expected <= 'Z') expected = static_cast<char>(expected - 'A' + 'a');
    if (c != static_cast<wchar_t>(static_cast<unsigned char>(expected))) return false;
  }
  return true;
}

Text UnicodeMark(uint32_t code_point) { return ConcatTexts("<U+", HexText(code_point, 4, true), ">"); }

Text SidText(uint8_t authority_low_byte, std::span<const uint32_t> sub_authorities) {
  Text text = "S-1-" + UnsignedText(authority_low_byte);
  for (uint32_t sub : sub_authorities) {
    text += '-';
    text += UnsignedText(sub);
  }
  return text;
}

uint32_t TwoAceAclSize(uint32_t first_sid_length, uint32_t second_sid_length) {
  constexpr uint32_t kAclHeader = 8;
  constexpr uint32_t kAceWithoutSid = 4 + 4;  // ACE_HEADER + ACCESS_MASK
  return kAclHeader + 2 * kAceWithoutSid + first_sid_length + second_sid_length;
}

}  // namespace lumeno
