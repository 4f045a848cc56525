#include "cleaning/junk_cleaning_rules.h"


namespace lumeno {

bool JoinChildPath(std::string_view folder, std::string_view name, Text* child) {
  if (folder.size() + 1 + name.size() + 1 > kMaxPath) return false;
  child->assign(folder);
  child->push_back('\\');
  child->append(name);
  return true;
}

namespace {
char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsGbkLeadByte(char c) {
  unsigned char b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}
}  // namespace

bool NameEqualsIgnoringCase(std::string_view name, std::string_view expected) {
  if (name.size() != expected.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (IsGbkLeadByte(name[i])) {
      // Compare the whole double-byte character exactly.
      if (i + 1 >= name.size() || name[i] != expected[i] || name[i + 1] != expected[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(name[i]) != FoldAscii(expected[i])) return false;
  }
  return true;
}

Text SidText(uint8_t authority_low_byte, std::span<const uint32_t> sub_authorities) {
  Text text = "S-1-" + UnsignedText(authority_low_byte);
  for (uint32_t sub : sub_authorities) text += "-" + UnsignedText(sub);
  return text;
}

uint32_t TwoAceAclSize(uint32_t first_sid_length, uint32_t second_sid_length) {
  constexpr uint32_t kAclHeader = 8;
  constexpr uint32_t kAceWithoutSid = 4 + 4;  // ACE_HEADER + ACCESS_MASK
  return kAclHeader + 2 * kAceWithoutSid + first_sid_length + second_sid_length;
}

}  // namespace lumeno
