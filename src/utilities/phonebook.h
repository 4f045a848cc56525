// Putting the broadband entry into a phone book that may already hold the
// user's other dial-up connections.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumeno {

// The phone book to write, given the current one (nullopt: there is none).
//
// - No phone book, an empty one, or one that holds nothing but "[宽带连接]"
//   sections, a byte-order mark and empty lines: exactly
//   BroadbandPhonebookEntry().
// - A readable text phone book: every section other than "[宽带连接]" keeps
//   its bytes and its place. The first "[宽带连接]" section (its header in
//   UTF-8, or in GBK as written by tools using the ANSI code page) is
//   replaced in place by BroadbandPhonebookSection(); further ones are
//   dropped. With none, the section is appended after an empty line.
//   A section runs from its header line to the next line that starts with
//   '['; lines end at LF (a CR before it belongs to the line end).
// - Anything that is not plain text (NUL bytes, a UTF-16 byte-order mark) is
//   kept whole; the section is appended, once.
// Merging the result again gives the result unchanged.
std::string MergePhonebook(std::optional<std::string_view> existing);

}  // namespace lumeno
