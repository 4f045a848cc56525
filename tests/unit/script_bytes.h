// Checks of generated batch-file bytes, shared by the native and Wine tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumeno {

inline std::vector<std::string> SplitScriptLines(const std::string& script) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = script.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(script.substr(start, end - start));
  lines.push_back(script.substr(start));
  return lines;
}

inline std::vector<size_t> ScriptLineLengths(const std::string& script) {
  std::vector<size_t> lengths;
  for (const std::string& line : SplitScriptLines(script)) lengths.push_back(line.size());
  return lengths;
}

// Size and CR LF count as given; no CR or LF outside a CR LF pair, no line end
// after the last line, no NUL, no byte-order mark.
inline void ExpectCleanScriptBytes(const std::string& script, size_t size, size_t line_ends) {
  EXPECT_EQ(script.size(), size);
  size_t pairs = 0;
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '\r') {
      EXPECT_TRUE(i + 1 < script.size() && script[i + 1] == '\n') << "lone CR at " << i;
      ++pairs;
    } else if (script[i] == '\n') {
      EXPECT_TRUE(i > 0 && script[i - 1] == '\r') << "lone LF at " << i;
    }
  }
  EXPECT_EQ(pairs, line_ends);
  EXPECT_EQ(script.find('\0'), std::string::npos);
  EXPECT_NE(script.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_FALSE(script.size() >= 2 && script.compare(script.size() - 2, 2, "\r\n") == 0);
}

}  // namespace lumeno
