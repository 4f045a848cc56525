// A preset file as the tests read it: its sections with their key=value
// lines, blanks trimmed, ";" comments and lines without "=" left out.
// Independent of the program's own reader, which the tests check.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace support {

struct PresetSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
};

inline std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r");
  return begin == std::string::npos ? "" : text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

inline std::vector<PresetSection> ReadPresetSections(const std::string& bytes) {
  std::vector<PresetSection> sections;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    const std::string line = Trimmed(bytes.substr(start, end - start));
    start = end + 1;
    const size_t equals = line.find('=');
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[')
      sections.push_back({line.substr(1, line.size() - 2), {}});
    else if (!sections.empty() && equals != std::string::npos)
      sections.back().entries.emplace_back(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
  return sections;
}

}  // namespace support
