// The text of a REGEDIT4 file, the format regedit imports by double-click or
// with "regedit /s": GBK, CR LF line ends. Portable.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "platform/exact_io.h"
#include "platform/text.h"

namespace lumeno {

struct RegFileValue {
  Text name;                         // empty: the key's default value ("@")
  std::optional<RegistryData> data;  // nullopt: the value is removed ("name"=-)
};

// One section of the file. remove: "[-ROOT\path]", which deletes the key with
// everything below it (values are then ignored); otherwise "[ROOT\path]",
// which creates the key if needed and sets or removes the values listed.
struct RegFileKey {
  int root = 0;  // a WriteRegistryItem root number
  Text path;
  bool remove = false;
  std::vector<RegFileValue> values;
};

// "REGEDIT4", then each section after an empty line, then an empty line.
// Strings are written as "text" when they are one NUL-terminated line;
// anything else keeps its exact bytes as hex(N), wrapped with "\" so that no
// line is longer than 80 characters.
Text RegFileText(std::span<const RegFileKey> keys);

}  // namespace lumeno
