#include "utilities/phonebook.h"

#include "utilities/broadband.h"

namespace lumeno {

namespace {

// The section header as it stands in the entry (UTF-8) and the same name in
// GBK: an entry named so in the ANSI code page is the same connection to the
// user, and keeping it would leave two connections of one name.
std::string_view Utf8Header() {
  std::string_view section = BroadbandPhonebookSection();
  return section.substr(0, section.find('\r'));
}
constexpr std::string_view kGbkHeader = "[\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3]";  // "[宽带连接]" in GBK, whatever the compiler's charset

// UTF-16 or binary content: no line of it can be told apart reliably.
bool IsPlainText(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
  return true;
}

// Nothing a user could miss: an optional byte-order mark and line ends.
bool HoldsNothing(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return bytes.find_first_not_of("\r\n") == std::string_view::npos;
}

// The line without its LF and the CR before it.
std::string_view LineContent(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// The bytes to put between kept content and an appended section, so that
// the section starts a line after one empty line.
std::string_view Separator(std::string_view kept) {
  if (kept.empty()) return {};
  if (!kept.ends_with('\n')) return "\r\n\r\n";
  std::string_view before = kept.substr(0, kept.size() - 1);
  if (before.ends_with('\r')) before.remove_suffix(1);
  if (before.empty() || before.ends_with('\n')) return {};
  return "\r\n";
}

std::string Append(std::string kept, std::string_view section) {
  kept.append(Separator(kept));
  kept.append(section);
  return kept;
}

std::string MergeText(std::string_view existing, std::string_view section) {
  std::string kept;
  size_t insert_at = std::string::npos;  // where the first of our sections stood
  bool in_ours = false;
  for (size_t begin = 0; begin < existing.size();) {
    size_t end = existing.find('\n', begin);
    end = end == std::string_view::npos ? existing.size() : end + 1;
    std::string_view line = existing.substr(begin, end - begin);
    if (begin == 0 && line.starts_with(kUtf8ByteOrderMark)) {
      // The mark belongs to the file, not to the first section.
      kept.append(kUtf8ByteOrderMark);
      line.remove_prefix(kUtf8ByteOrderMark.size());
    }
    if (line.starts_with('[')) {
      std::string_view header = LineContent(line);
      in_ours = header == Utf8Header() || header == kGbkHeader;
      if (in_ours && insert_at == std::string::npos) insert_at = kept.size();
    }
    if (!in_ours) kept.append(line);
    begin = end;
  }
  if (HoldsNothing(kept)) return BroadbandPhonebookEntry();
  if (insert_at == std::string::npos) return Append(std::move(kept), section);
  kept.insert(insert_at, section);
  return kept;
}

std::string MergeOpaque(std::string_view existing, std::string_view section) {
  // Only our own section, appended by an earlier press, is taken off again.
  if (existing.ends_with(section)) {
    std::string_view before = existing.substr(0, existing.size() - section.size());
    if (before.empty() || before.ends_with('\n')) existing = before;
  }
  return Append(std::string(existing), section);
}

}  // namespace

std::string MergePhonebook(std::optional<std::string_view> existing) {
  if (!existing || existing->empty()) return BroadbandPhonebookEntry();
  std::string_view section = BroadbandPhonebookSection();
  if (IsPlainText(*existing)) return MergeText(*existing, section);
  return MergeOpaque(*existing, section);
}

}  // namespace lumeno
