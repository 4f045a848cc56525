// A stand-in for "sort /r", which Wine lacks: reads standard input, writes its
// lines sorted in descending order (byte-wise, ignoring ASCII case), each
// ended by CR LF. Arguments are ignored. Copied as sort.exe into the directory
// a script runs in, it lets the empty-folder script list deeper folders first.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

int main() {
  std::string input;
  char buffer[4096];
  for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) input.append(buffer, got);

  std::vector<std::string> lines;
  size_t start = 0;
  while (start < input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    std::string line = input.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
  std::sort(lines.begin(), lines.end(), [&](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                        [&](char x, char y) { return lower(x) < lower(y); });
  });
  for (const std::string& line : lines) std::fwrite((line + "\r\n").data(), 1, line.size() + 2, stdout);
  return 0;
}
