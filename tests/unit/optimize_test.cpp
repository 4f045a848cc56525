// The Optimize worker against the recording fake: which registry writes and
// cleaning calls each box causes, in which order, and how the run ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "tweaks/optimize.h"

namespace lumeno {
namespace {

using fake::Call;
using fake::Calls;
using fake::CallsOf;

// Box ids in worker order: 选择框1 … 选择框20, then the cleaning items.
constexpr ControlId kTweakBoxes[20] = {0x160102B6, 0x160102B5, 0x160102B4, 0x160102B3, 0x160102B2,
                                       0x160102B1, 0x160102B0, 0x160102AF, 0x160102AE, 0x160102AD,
                                       0x160102AC, 0x160102AB, 0x160102AA, 0x160102A9, 0x160102A8,
                                       0x160102A7, 0x160102A6, 0x160102A5, 0x160102A4, 0x160102A3};
constexpr ControlId kBox21 = 0x16010296, kBox22 = 0x1601029B, kBox23 = 0x1601029A, kBox24 = 0x16010299,
                    kBox25 = 0x16010298, kBox26 = 0x16010297;
constexpr ControlId kCleaningBoxesInWorkerOrder[6] = {kBox21, kBox22, kBox23, kBox24, kBox25, kBox26};

constexpr const char* kPrefetch =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\";

Call Write(const char* root, std::string path, const char* type, std::string data) {
  return {"WriteRegistryItem", {root, std::move(path), type, std::move(data)}};
}

class OptimizeWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  static void TickBox(int number) { fake::Tick(kMainWindow, kTweakBoxes[number - 1]); }
  static std::vector<Call> Writes() { return CallsOf({"WriteRegistryItem"}); }
  static std::vector<Call> Cleaning() { return CallsOf({"CleanSystemJunk", "CleanPrivacyTraces"}); }
};

// Its three rows aimed directly under HKEY_USERS name no loaded hive: Windows
// refuses them, so they are passed over.
TEST_F(OptimizeWorkerTest, Box1WritesItsSixWritableValuesInStepOrder) {
  TickBox(1);
  OptimizeWorker();
  std::vector<Call> expected = {
      Write("4", "SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout", "REG_SZ", "500"),
      Write("4", std::string(kPrefetch) + "EnablePrefetcher", "REG_DWORD", "0x00000001"),
      Write("3", "Control Panel\\Desktop\\AutoEndTasks", "REG_DWORD", "0x00000001"),
      Write("3", "Control Panel\\Desktop\\HungAppTimeout", "REG_SZ", "100"),
      Write("3", "Control Panel\\Desktop\\WaitToKillAppTimeout", "REG_SZ", "500"),
      Write("4", "SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction\\Enable", "REG_SZ", "yes"),
  };
  EXPECT_EQ(Writes(), expected);
  EXPECT_TRUE(Cleaning().empty());
}

TEST_F(OptimizeWorkerTest, Box10AloneWritesOneDwordThatNeedsMoreThan31Bits) {
  TickBox(10);
  OptimizeWorker();
  std::vector<Call> expected = {
      Write("4", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SFCDisable", "REG_DWORD", "0xFFFFFF9D")};
  EXPECT_EQ(Writes(), expected);
}

TEST_F(OptimizeWorkerTest, Box6WritesTwoDefaultValues) {
  TickBox(6);
  OptimizeWorker();
  const std::string name_space = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\";
  std::vector<Call> expected = {
      Write("4", name_space + "{2227A280-3AEA-1069-A2DE-08002B30309D}\\", "REG_SZ", "Printers"),
      Write("4", name_space, "REG_SZ", "Printers"),
  };
  EXPECT_EQ(Writes(), expected);
}

TEST_F(OptimizeWorkerTest, Box11WritesTwoEmptyTexts) {
  TickBox(11);
  OptimizeWorker();
  const std::string policies = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\";
  std::vector<Call> expected = {
      Write("4", "SYSTEM\\ControlSet002\\Control\\Windows\\NoPopUpsOnBoot", "REG_SZ", "1"),
      Write("4", policies + "legalnoticecaption", "REG_SZ", ""),
      Write("4", policies + "legalnoticetext", "REG_SZ", ""),
      Write("4", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\AutoAdminLogon", "REG_SZ", "0"),
  };
  EXPECT_EQ(Writes(), expected);
}

TEST_F(OptimizeWorkerTest, Boxes1And8WriteEnablePrefetcherTwiceAsDwordOne) {
  TickBox(1);
  TickBox(8);
  OptimizeWorker();
  std::vector<Call> prefetcher;
  for (const Call& c : Writes())
    if (c.args[1] == std::string(kPrefetch) + "EnablePrefetcher") prefetcher.push_back(c);
  ASSERT_EQ(prefetcher.size(), 2u);
  for (const Call& c : prefetcher) {
    EXPECT_EQ(c.args[0], "4");
    EXPECT_EQ(c.args[2], "REG_DWORD");
    EXPECT_EQ(c.args[3], "0x00000001");
  }
  EXPECT_EQ(Writes().size(), 6u + 10u);
}

TEST_F(OptimizeWorkerTest, EachBoxAloneWritesItsOwnNumberOfValues) {
  const size_t expected_counts[20] = {6, 1, 0, 4, 1, 2, 3, 10, 5, 1, 4, 1, 1, 1, 1, 4, 2, 2, 5, 1};
  for (int box = 1; box <= 20; ++box) {
    fake::Reset();
    TickBox(box);
    OptimizeWorker();
    EXPECT_EQ(Writes().size(), expected_counts[box - 1]) << "选择框" << box;
  }
}

TEST_F(OptimizeWorkerTest, NumbersAndTextsKeepTheirKinds) {
  // Box 2 converts "500" to a DWORD; box 5 keeps "0" as a text; box 20 255.
  TickBox(2);
  TickBox(5);
  TickBox(20);
  OptimizeWorker();
  std::vector<Call> expected = {
      Write("4", "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\ConfigFileAllocSize", "REG_DWORD", "0x000001F4"),
      Write("3", "Control Panel\\desktop\\MenuShowDelay", "REG_SZ", "0"),
      Write("3", "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDriveTypeAutoRun", "REG_DWORD",
            "0x000000FF"),
  };
  EXPECT_EQ(Writes(), expected);
}

TEST_F(OptimizeWorkerTest, Box24CleansFavoritesThenTypedAddresses) {
  fake::Tick(kMainWindow, kBox24);
  OptimizeWorker();
  std::vector<Call> expected = {{"CleanPrivacyTraces", {"3"}}, {"CleanPrivacyTraces", {"0"}}};
  EXPECT_EQ(Cleaning(), expected);
  EXPECT_TRUE(Writes().empty());
}

TEST_F(OptimizeWorkerTest, AllSixCleaningItemsRunInTheirOwnOrder) {
  for (ControlId box : kCleaningBoxesInWorkerOrder) fake::Tick(kMainWindow, box);
  OptimizeWorker();
  std::vector<Call> expected = {
      {"CleanSystemJunk", {"1"}},    {"CleanPrivacyTraces", {"9"}}, {"CleanPrivacyTraces", {"1"}},
      {"CleanPrivacyTraces", {"3"}}, {"CleanPrivacyTraces", {"0"}}, {"CleanSystemJunk", {"2"}},
      {"CleanSystemJunk", {"0"}},
  };
  EXPECT_EQ(Cleaning(), expected);
}

TEST_F(OptimizeWorkerTest, NothingTickedWritesNothingAndSaysSo) {
  OptimizeWorker();
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(Cleaning().empty());
  std::vector<Call> tail = CallsOf({"ShowMessageBox", "WriteProperty"});
  std::vector<Call> expected = {
      {"ShowMessageBox",
       {"\xC4\xFA\xC3\xBB\xD3\xD0\xD1\xA1\xD4\xF1\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xA3\xAC\xC7\xEB\xD1\xA1\xD4\xF1"
        "\xBA\xF3\xD4\xD9\xB5\xA5\xBB\xF7\xD3\xC5\xBB\xAF\xB0\xB4\xC5\xA5\xA3\xA1",
        "64", "\xCC\xE1\xCA\xBE"}},
      {"WriteProperty", {"0x52010001", "0x160102A2", "6", "0"}},
  };
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(CallsOf({"ReadProperty"}).size(), 26u);
  EXPECT_TRUE(CallsOf({"WriteNewFile"}).empty());
}

TEST_F(OptimizeWorkerTest, OneTickedItemGivesTheCompletionMessage) {
  fake::Tick(kMainWindow, kBox25);
  OptimizeWorker();
  std::vector<Call> boxes = CallsOf({"ShowMessageBox"});
  std::vector<Call> expected = {
      {"ShowMessageBox",
       {"\xB9\xA7\xCF\xB2\xC4\xFA\xA3\xAC\xC4\xE3\xD1\xA1\xD4\xF1\xB5\xC4\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xD2\xD1"
        "\xCD\xEA\xB3\xC9\xA3\xA1",
        "64", "\xCD\xEA\xB3\xC9"}}};
  EXPECT_EQ(boxes, expected);
}

TEST_F(OptimizeWorkerTest, ButtonIsEnabledOnlyAfterTheMessageBoxCloses) {
  TickBox(3);
  bool button_written_while_box_up = true;
  fake::GetState().on_message_box = [&] { button_written_while_box_up = !CallsOf({"WriteProperty"}).empty(); };
  OptimizeWorker();
  EXPECT_FALSE(button_written_while_box_up);
  ASSERT_FALSE(Calls().empty());
  EXPECT_EQ(Calls().back(), (Call{"WriteProperty", {"0x52010001", "0x160102A2", "6", "0"}}));
  EXPECT_EQ(Calls()[Calls().size() - 2].op, "ShowMessageBox");
}

// All 26 boxes are read first, in worker order, so that the restore file is
// made for exactly the writes that follow; then each box's actions in turn.
TEST_F(OptimizeWorkerTest, EachBoxIsReadOnceBeforeAnyChangeAndNeverWritten) {
  for (ControlId box : kTweakBoxes) fake::Tick(kMainWindow, box);
  for (ControlId box : kCleaningBoxesInWorkerOrder) fake::Tick(kMainWindow, box);
  OptimizeWorker();
  std::vector<ControlId> order(std::begin(kTweakBoxes), std::end(kTweakBoxes));
  order.insert(order.end(), std::begin(kCleaningBoxesInWorkerOrder), std::end(kCleaningBoxesInWorkerOrder));
  std::vector<std::string> reads, effects;
  for (const Call& c : Calls()) {
    if (c.op == "ReadProperty") {
      EXPECT_TRUE(effects.empty()) << "a box read after " << effects.back();
      reads.push_back(c.args[1]);
      EXPECT_EQ(c.args[0], "0x52010001");
      EXPECT_EQ(c.args[2], "18");
    } else if (c.op == "WriteRegistryItem" || c.op == "CleanSystemJunk" || c.op == "CleanPrivacyTraces") {
      effects.push_back(c.op + " " + c.args[0]);
    }
  }
  std::vector<std::string> expected_reads;
  for (ControlId box : order) expected_reads.push_back(fake::Hex32(box));
  EXPECT_EQ(reads, expected_reads);
  EXPECT_EQ(effects.size(), 55u + 7u);  // the 59 writes but the four below HKEY_USERS; seven cleaning calls
  // The worker leaves the boxes alone: its only property write is the button.
  EXPECT_EQ(CallsOf({"WriteProperty"}).size(), 1u);
}

// ---------------------------------------------------------------------------
// The restore file

// GBK: "C:\Lumeno\备份\20261208-143005 开始优化.reg" (the fake's time).
const std::string kRestoreFile =
    "C:\\Lumeno\\\xB1\xB8\xB7\xDD\\20261208-143005 \xBF\xAA\xCA\xBC\xD3\xC5\xBB\xAF.reg";

TEST_F(OptimizeWorkerTest, TheRestoreFileHoldsTheTickedWritesAndTheTypedAddressesBeforeAnyChange) {
  const RegistryData zero{4, std::string(4, '\0')};
  fake::SetRegistryValue(4, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "SFCDisable", zero);
  fake::SetRegistryValue(3, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1",
                         {1, std::string("http://example.invalid/\0", 24)});
  TickBox(10);
  fake::Tick(kMainWindow, kBox24);
  OptimizeWorker();
  ASSERT_EQ(fake::GetState().files.count(kRestoreFile), 1u);
  EXPECT_EQ(fake::GetState().files[kRestoreFile],
            "REGEDIT4\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon]\r\n"
            "\"SFCDisable\"=dword:00000000\r\n"
            "\r\n[-HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n"
            "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n"
            "\"url1\"=\"http://example.invalid/\"\r\n"
            "\r\n");
  const std::vector<Call> order = CallsOf({"WriteNewFile", "WriteRegistryItem", "CleanPrivacyTraces"});
  ASSERT_FALSE(order.empty());
  EXPECT_EQ(order.front().op, "WriteNewFile");
  EXPECT_EQ(CallsOf({"WriteNewFile"}).size(), 1u);
}

TEST_F(OptimizeWorkerTest, OnlyCleaningWithoutRegistryChangesWritesNoRestoreFile) {
  for (ControlId box : {kBox21, kBox22, kBox23, kBox25, kBox26}) fake::Tick(kMainWindow, box);
  OptimizeWorker();
  EXPECT_TRUE(CallsOf({"WriteNewFile", "CreateFolder", "ReadRegistryValue", "ReadRegistryTree"}).empty());
}

TEST_F(OptimizeWorkerTest, CatalogueNamesTwentyBoxesByIdInOrder) {
  ASSERT_EQ(TweakCatalogue().size(), 20u);
  for (size_t i = 0; i < 20; ++i) EXPECT_EQ(TweakCatalogue()[i].box, kTweakBoxes[i]) << i;
}

}  // namespace
}  // namespace lumeno
