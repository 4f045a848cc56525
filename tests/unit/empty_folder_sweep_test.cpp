#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/empty_folder_sweep.h"
#include "fakes/recorder.h"
#include "support/expected_data.h"

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

TEST_F(SweepTest, ScriptIsExactlyTheExpectedBytes) {
  RunEmptyFolderSweep();
  EXPECT_EQ(fake::CallsOf({"WriteBytesToFile"}).at(0).args[1], expected::ReadBytes("scripts/empty_folder_sweep.bat"));
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
