// The Optimize command against the recording fake: every registry write and
// cleaning call of every box, compared with tests/data/catalogue.tsv and
// cleaning_items.tsv; the reading order; the restore file; how the run ends.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "tweaks/optimize.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using expected::Row;
using fake::Call;
using fake::Calls;
using fake::CallsOf;

const std::string kButtonId = "0x160102A2";  // 按钮1 "开始优化"

// catalogue.tsv: box, id, step, root, item path, type, data.
Call ExpectedWrite(const Row& row) {
  static const std::map<std::string, std::string> kRootNumbers = {
      {"HKEY_CURRENT_USER", "3"}, {"HKEY_LOCAL_MACHINE", "4"}, {"HKEY_USERS", "5"}};
  std::string data = row.at(5) == "REG_DWORD" ? fake::Hex32(static_cast<uint32_t>(expected::Number(row.at(6))))
                                              : row.at(6);
  return {"WriteRegistryItem", {kRootNumbers.at(row.at(3)), row.at(4), row.at(5), data}};
}

std::string Id(const std::string& field) { return fake::Hex32(static_cast<uint32_t>(expected::Number(field))); }

// A row whose value an earlier row of the run has already set to the same
// type and data is not written again (names compare without ASCII case).
std::vector<Call> ExpectedWrites(const expected::Table& rows) {
  std::vector<Call> writes;
  std::map<std::string, std::vector<std::string>> written;
  for (const Row& row : rows) {
    if (!expected::WritableCatalogueRow(row)) continue;
    Call write = ExpectedWrite(row);
    std::string place = write.args[0] + ":" + write.args[1];
    for (char& c : place) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::vector<std::string> stored = {write.args[2], write.args[3]};
    if (written.count(place) && written[place] == stored) continue;
    written[place] = stored;
    writes.push_back(write);
  }
  return writes;
}

// cleaning_items.tsv: box, operation, kind. The typed addresses (privacy
// kind 0) are one registry key, deleted as such.
Call ExpectedCleaning(const Row& row) {
  if (row.at(1) == "CleanPrivacyTraces" && row.at(2) == "0")
    return {"DeleteRegistryKeyTree", {"3", "Software\\Microsoft\\Internet Explorer\\TypedURLs"}};
  return {row.at(1), {row.at(2)}};
}

class OptimizeWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  static void Tick(const std::string& box) { fake::Tick(kMainWindow, static_cast<ControlId>(expected::Number(box))); }
  static std::vector<Call> Writes() { return CallsOf({"WriteRegistryItem"}); }
  static std::vector<Call> Cleaning() { return CallsOf({"CleanSystemJunk", "CleanPrivacyTraces", "DeleteRegistryKeyTree"}); }

  const expected::Table catalogue_ = expected::ReadTable("catalogue.tsv");
  const expected::Table cleaning_ = expected::ReadTable("cleaning_items.tsv");
};

// Rows no Windows can write are catalogue rows all the same: the test shows
// that they are skipped (four of the 59 are).
TEST_F(OptimizeWorkerTest, EachTweakBoxAloneMakesExactlyItsWritableCatalogueWrites) {
  const std::vector<std::string> boxes = expected::Distinct(catalogue_, 1);
  ASSERT_EQ(boxes.size(), 20u);
  size_t skipped = 0;
  for (const Row& row : catalogue_) skipped += !expected::WritableCatalogueRow(row);
  EXPECT_EQ(skipped, 4u);
  for (const std::string& box : boxes) {
    fake::Reset();
    Tick(box);
    OptimizeWorker();
    EXPECT_EQ(Writes(), ExpectedWrites(expected::RowsWhere(catalogue_, 1, box))) << box;
    EXPECT_TRUE(Cleaning().empty()) << box;
  }
}

TEST_F(OptimizeWorkerTest, EachCleaningBoxAloneMakesExactlyItsCalls) {
  for (const std::string& box : expected::Distinct(cleaning_, 0)) {
    fake::Reset();
    Tick(box);
    OptimizeWorker();
    std::vector<Call> expected;
    for (const Row& row : expected::RowsWhere(cleaning_, 0, box)) expected.push_back(ExpectedCleaning(row));
    EXPECT_EQ(Cleaning(), expected) << box;
    EXPECT_TRUE(Writes().empty()) << box;
  }
}

// All 26 ticked: every box is read first, in worker order, so that the
// restore file is made for exactly the writes that follow; then the whole
// catalogue in its order, then the cleaning items in theirs.
TEST_F(OptimizeWorkerTest, AllBoxesAreReadFirstThenTheWholeCatalogueAndTheCleaningRunInOrder) {
  std::vector<std::string> reads, effects;
  for (const std::string& box : expected::Distinct(catalogue_, 1)) {
    Tick(box);
    reads.push_back(Id(box));
  }
  for (const Call& write : ExpectedWrites(catalogue_)) effects.push_back(write.args[1]);
  for (const std::string& box : expected::Distinct(cleaning_, 0)) {
    Tick(box);
    reads.push_back(Id(box));
  }
  for (const Row& row : cleaning_) {
    const Call call = ExpectedCleaning(row);
    effects.push_back(call.op + " " + call.args.back());
  }
  Calls().clear();
  OptimizeWorker();
  std::vector<std::string> seen;
  for (const Call& c : Calls()) {
    if (c.op == "ReadProperty") {
      EXPECT_EQ(c.args[0], "0x52010001");
      EXPECT_EQ(c.args[2], "18");
      seen.push_back(c.args[1]);
    }
    if (c.op == "WriteRegistryItem") seen.push_back(c.args[1]);
    if (c.op == "CleanSystemJunk" || c.op == "CleanPrivacyTraces" || c.op == "DeleteRegistryKeyTree")
      seen.push_back(c.op + " " + c.args.back());
  }
  reads.insert(reads.end(), effects.begin(), effects.end());
  EXPECT_EQ(seen, reads);
  EXPECT_EQ(Writes(), ExpectedWrites(catalogue_));
  // The worker leaves the boxes alone: its only property write is the button.
  EXPECT_EQ(CallsOf({"WriteProperty"}), (std::vector<Call>{{"WriteProperty", {"0x52010001", kButtonId, "6", "0"}}}));
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
      {"WriteProperty", {"0x52010001", kButtonId, "6", "0"}},
  };
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(CallsOf({"ReadProperty"}).size(), 26u);
  EXPECT_TRUE(CallsOf({"WriteNewFile"}).empty());
}

TEST_F(OptimizeWorkerTest, OneTickedItemGivesTheCompletionMessage) {
  Tick(cleaning_.back().at(0));
  OptimizeWorker();
  std::vector<Call> expected = {
      {"ShowMessageBox",
       {"\xB9\xA7\xCF\xB2\xC4\xFA\xA3\xAC\xC4\xE3\xD1\xA1\xD4\xF1\xB5\xC4\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xD2\xD1"
        "\xCD\xEA\xB3\xC9\xA3\xA1",
        "64", "\xCD\xEA\xB3\xC9"}}};
  EXPECT_EQ(CallsOf({"ShowMessageBox"}), expected);
}

TEST_F(OptimizeWorkerTest, ButtonIsEnabledOnlyAfterTheMessageBoxCloses) {
  Tick(catalogue_.front().at(1));
  bool button_written_while_box_up = true;
  fake::GetState().on_message_box = [&] { button_written_while_box_up = !CallsOf({"WriteProperty"}).empty(); };
  OptimizeWorker();
  EXPECT_FALSE(button_written_while_box_up);
  ASSERT_GE(Calls().size(), 2u);
  EXPECT_EQ(Calls().back(), (Call{"WriteProperty", {"0x52010001", kButtonId, "6", "0"}}));
  EXPECT_EQ(Calls()[Calls().size() - 2].op, "ShowMessageBox");
}

// ---------------------------------------------------------------------------
// The restore file

// GBK: "C:\Lumeno\备份\20261208-143005 PC-07 开始优化.reg" (the fake's time and computer name).
const std::string kRestoreFile =
    std::string("C:\\Lumeno\\") + texts::kBackupFolder + "\\20261208-143005 PC-07 \xBF\xAA\xCA\xBC\xD3\xC5\xBB\xAF.reg";

// The box of the catalogue row that writes this value, and the cleaning box
// that runs this kind of privacy cleaning.
std::string BoxWriting(const expected::Table& catalogue, const std::string& path) {
  return expected::RowsWhere(catalogue, 4, path).at(0).at(1);
}
std::string BoxCleaning(const expected::Table& cleaning, const std::string& kind) {
  return expected::RowsWhere(expected::RowsWhere(cleaning, 1, "CleanPrivacyTraces"), 2, kind).at(0).at(0);
}

// Kind 0 of the privacy cleaning deletes the typed addresses: the restore
// file holds that key as well as the ticked catalogue values.
TEST_F(OptimizeWorkerTest, TheRestoreFileHoldsTheTickedWritesAndTheTypedAddressesBeforeAnyChange) {
  const RegistryData zero{4, std::string(4, '\0')};
  fake::SetRegistryValue(4, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "SFCDisable", zero);
  fake::SetRegistryValue(3, "Software\\Microsoft\\Internet Explorer\\TypedURLs", "url1",
                         {1, std::string("http://example.invalid/\0", 24)});
  Tick(BoxWriting(catalogue_, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SFCDisable"));
  Tick(BoxCleaning(cleaning_, "0"));
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

TEST_F(OptimizeWorkerTest, CleaningThatTouchesNoRegistryWritesNoRestoreFile) {
  const std::string typed_addresses = BoxCleaning(cleaning_, "0");
  for (const std::string& box : expected::Distinct(cleaning_, 0))
    if (box != typed_addresses) Tick(box);
  OptimizeWorker();
  EXPECT_FALSE(Cleaning().empty());
  EXPECT_TRUE(CallsOf({"WriteNewFile", "CreateFolder", "ReadRegistryValue", "ReadRegistryTree"}).empty());
}

// ---------------------------------------------------------------------------
// The click handler

TEST_F(OptimizeWorkerTest, RunOptimizeDisablesTheButtonThenStartsTheWorker) {
  RunOptimize();
  EXPECT_EQ(Calls(), (std::vector<Call>{{"WriteProperty", {"0x52010001", kButtonId, "6", "1"}}, {"StartThread", {}}}));
  ASSERT_EQ(fake::GetState().started_threads.size(), 1u);
  EXPECT_EQ(fake::GetState().started_threads[0], &OptimizeWorker);
}

TEST_F(OptimizeWorkerTest, RunOptimizeGivesTheButtonBackWhenNoWorkerCouldStart) {
  fake::GetState().start_thread_result = false;
  RunOptimize();
  std::vector<Call> expected = {
      {"WriteProperty", {"0x52010001", kButtonId, "6", "1"}},
      {"StartThread", {}},
      {"WriteProperty", {"0x52010001", kButtonId, "6", "0"}},
  };
  EXPECT_EQ(Calls(), expected);
}

}  // namespace
}  // namespace lumeno

namespace lumeno {
namespace {

// A box's tooltip lists what the box writes, a value a line, from the
// catalogue rows (tests/data/catalogue.tsv); rows no Windows can write are
// not listed.
TEST(TweakTooltip, ListsEveryWritableRowOfItsBox) {
  const expected::Table catalogue = expected::ReadTable("catalogue.tsv");
  for (const std::string& box : expected::Distinct(catalogue, 1)) {
    std::string expected_text;
    for (const expected::Row& row : expected::RowsWhere(catalogue, 1, box)) {
      if (!expected::WritableCatalogueRow(row)) continue;
      std::string data = "\"" + row.at(6) + "\"";
      if (row.at(5) == "REG_DWORD") data = fake::Hex32(static_cast<uint32_t>(expected::Number(row.at(6))));
      expected_text += (expected_text.empty() ? "" : "\r\n") + row.at(3) + "\\" + row.at(4) + " = " + row.at(5) + " " + data;
    }
    fake::Reset();
    EXPECT_EQ(TweakTooltipText(static_cast<ControlId>(expected::Number(box))), expected_text) << box;
    EXPECT_TRUE(fake::Calls().empty()) << "a tooltip reads nothing";
  }
}

}  // namespace
}  // namespace lumeno
