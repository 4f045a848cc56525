#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/empty_folder_sweep.h"
#include "fakes/recorder.h"
#include "script_bytes.h"

namespace lumeno {
namespace {

// "\这里填你要写入的文件.bat" in GBK.
const char kScriptName[] = "\\\xD5\xE2\xC0\xEF\xCC\xEE\xC4\xE3\xD2\xAA\xD0\xB4\xC8\xEB\xB5\xC4\xCE\xC4\xBC\xFE.bat";

class SweepTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(SweepTest, WritesTheScriptIntoTheProgramDirectoryAndRunsItVisibly) {
  fake::GetState().program_directory = "C:\\Tools";
  RunEmptyFolderSweep();
  std::string path = std::string("C:\\Tools") + kScriptName;
  ASSERT_EQ(fake::Calls().size(), 2u);
  EXPECT_EQ(fake::Calls()[0].op, "WriteBytesToFile");
  EXPECT_EQ(fake::Calls()[0].args[0], path);
  EXPECT_EQ(fake::Calls()[1], (fake::Call{"RunCommandLine", {path, "1", "2"}}));
  // No message box and no attribute change afterwards.
}

TEST_F(SweepTest, InADriveRootTheScriptSitsInThatRoot) {
  fake::GetState().program_directory = "C:";
  RunEmptyFolderSweep();
  std::string path = std::string("C:") + kScriptName;
  EXPECT_EQ(fake::CallsOf({"WriteBytesToFile"}).at(0).args[0], path);
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}), (std::vector<fake::Call>{{"RunCommandLine", {path, "1", "2"}}}));
  EXPECT_TRUE(fake::CallsOf({"SetFileAttributesMasked", "ShowMessageBox"}).empty());
}

TEST_F(SweepTest, ScriptIs688BytesWithItsLineLengths) {
  RunEmptyFolderSweep();
  std::string script = fake::CallsOf({"WriteBytesToFile"}).at(0).args[1];
  ExpectCleanScriptBytes(script, 688, 26);
  EXPECT_EQ(ScriptLineLengths(script),
            (std::vector<size_t>{37, 6, 13, 38, 36, 22, 13, 6, 38, 36, 22, 13, 6, 38, 36, 22, 13, 6, 38, 36, 22, 13, 6,
                                 38, 36, 22, 24}));
  std::vector<std::string> lines = SplitScriptLines(script);
  ASSERT_EQ(lines.size(), 27u);
  // "@echo 清理C盘" and the closing "@echo 清理完毕，谢谢使用".
  EXPECT_EQ(lines[2], "@echo \xC7\xE5\xC0\xED" "C\xC5\xCC");
  EXPECT_EQ(lines[26], "@echo \xC7\xE5\xC0\xED\xCD\xEA\xB1\xCF\xA3\xAC\xD0\xBB\xD0\xBB\xCA\xB9\xD3\xC3");
  const char drives[] = "cdefg";
  for (int d = 0; d < 5; ++d) {
    std::string x(1, drives[d]);
    EXPECT_EQ(lines[2 + 5 * d - (d > 0)], "@echo \xC7\xE5\xC0\xED" + std::string(1, drives[d] - 32) + "\xC5\xCC");
    EXPECT_EQ(lines[3 + 5 * d], "dir " + x + ": /ad /b /s |sort /r >>" + x + ":kill.txt");
    EXPECT_EQ(lines[4 + 5 * d], "For /f %%i in (" + x + ":kill.txt) DO rd %%i");
    EXPECT_EQ(lines[5 + 5 * d], "echo y |del " + x + ":kill.txt");
  }
  // A pause before the listing of every drive but the first.
  std::vector<size_t> pauses;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == "@pause") pauses.push_back(i);
  EXPECT_EQ(pauses, (std::vector<size_t>{1, 7, 12, 17, 22}));
}

TEST_F(SweepTest, ASecondPressWritesTheSameBytesAgain) {
  RunEmptyFolderSweep();
  RunEmptyFolderSweep();
  std::vector<fake::Call> writes = fake::CallsOf({"WriteBytesToFile"});
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0], writes[1]);
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}).size(), 2u);
}

TEST_F(SweepTest, AScriptThatCouldNotBeWrittenIsNotRunAndSaysSo) {
  fake::GetState().write_result = false;
  RunEmptyFolderSweep();
  EXPECT_EQ(fake::CallsOf({"WriteBytesToFile"}).size(), 1u);
  EXPECT_TRUE(fake::CallsOf({"RunCommandLine"}).empty());
  ASSERT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"})[0].args[1], "16");
}

}  // namespace
}  // namespace lumeno
