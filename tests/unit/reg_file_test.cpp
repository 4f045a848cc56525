// The REGEDIT4 writer against hand-written expected files (tests/data/reg).
// The same files are imported with regedit under Wine (tests/win32), which
// shows that each one carries exactly the values it is written from.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "data/reg_cases.h"
#include "undo/reg_file.h"
#include "support/expected_data.h"

namespace lumeno {
namespace {

std::string ExpectedFile(const std::string& name) { return expected::ReadBytes("reg/" + name); }

// Lines, so that a difference shows where it is.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  return lines;
}

TEST(RegFileText, EachCaseGivesItsHandWrittenFile) {
  for (const reg_cases::RegFileCase& c : reg_cases::RegFileCases()) {
    const std::string expected = ExpectedFile(c.file);
    ASSERT_FALSE(expected.empty()) << c.file;
    const std::string written = RegFileText(c.keys);
    EXPECT_EQ(Lines(written), Lines(expected)) << c.file;
    EXPECT_EQ(written, expected) << c.file;
  }
}

TEST(RegFileText, NoSectionsGiveTheHeaderAlone) {
  EXPECT_EQ(RegFileText({}), "REGEDIT4\r\n\r\n");
}

TEST(RegFileText, EveryRootHasItsName) {
  const std::pair<int, const char*> roots[] = {
      {1, "HKEY_CLASSES_ROOT"}, {2, "HKEY_CURRENT_CONFIG"}, {3, "HKEY_CURRENT_USER"},
      {4, "HKEY_LOCAL_MACHINE"}, {5, "HKEY_USERS"},          {9, "HKEY_CURRENT_USER"},
  };
  for (const auto& [root, name] : roots) {
    const RegFileKey key{root, "A\\B", true, {}};
    EXPECT_EQ(RegFileText({&key, 1}), "REGEDIT4\r\n\r\n[-" + std::string(name) + "\\A\\B]\r\n\r\n") << root;
  }
}

}  // namespace
}  // namespace lumeno
