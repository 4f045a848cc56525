// The fixed rules of junk and privacy cleaning that involve no system call:
// child paths within the path limit, name matching, the user's SID as text.
// Portable, shared by junk_cleaning_win32.cpp and the native unit tests.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/text.h"

namespace lumeno {

inline constexpr size_t kMaxPath = 260;  // MAX_PATH, terminating NUL included

// folder + "\" + name into *child. False, and *child untouched, when the
// result would not fit MAX_PATH with its NUL: such an entry is skipped, never
// cut short (a shortened path could name a different file).
bool JoinChildPath(std::string_view folder, std::string_view name, Text* child);

// A file name (UTF-16) against an ASCII name, folding ASCII letters only:
// a locale's folding could match some other name (Turkish dotted I).
bool NameEqualsIgnoringCase(std::wstring_view name, std::string_view ascii_name);

// How a report shows a character its code page has no bytes for: "<U+"
// four to six upper-case hex digits ">". No file name holds '<', so the
// mark never reads as part of a real name.
Text UnicodeMark(uint32_t code_point);

// "S-1-<last identifier-authority byte>" and "-<sub-authority>" for each
// sub-authority, all unsigned decimal.
Text SidText(uint8_t authority_low_byte, std::span<const uint32_t> sub_authorities);

// Bytes of an ACL holding two ACCESS_ALLOWED_ACEs for SIDs of these lengths:
// the 8-byte ACL header, and per ACE its 4-byte header and 4-byte mask
// followed by the SID.
uint32_t TwoAceAclSize(uint32_t first_sid_length, uint32_t second_sid_length);

}  // namespace lumeno
