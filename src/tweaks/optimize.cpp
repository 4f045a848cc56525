// The Optimize command: twenty registry tweaks and six cleaning items, applied
// on a worker thread, then one message box, then the button comes back.
#include "tweaks/optimize.h"

#include <array>
#include <iterator>
#include <vector>

#include "cleaning/junk_cleaning.h"
#include "platform/platform_rules.h"
#include "platform/registry_backup.h"

namespace lumeno {

namespace {

using main_controls::kOptimizeButton;

constexpr int kHkcu = kRootCurrentUser;
constexpr int kHklm = kRootLocalMachine;
constexpr int kHku = kRootUsers;
constexpr TweakData kText = TweakData::kText;
constexpr TweakData kNumber = TweakData::kNumber;

// Each box's writes in step order. Numbers stay texts here: the conversion
// happens at write time, and "4294967197" must survive it as 0xFFFFFF9D.
// Texts that look like numbers ("500", "0") are stored as REG_SZ on purpose.
constexpr TweakWrite kBox1Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout", kText, "500"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\EnablePrefetcher", kNumber, "00000001"},
    {kHkcu, "Control Panel\\Desktop\\AutoEndTasks", kNumber, "1"},
    {kHkcu, "Control Panel\\Desktop\\HungAppTimeout", kText, "100"},
    {kHkcu, "Control Panel\\Desktop\\WaitToKillAppTimeout", kText, "500"},
    {kHku, "Control Panel\\Desktop\\AutoEndTasks", kNumber, "1"},
    {kHku, "Control Panel\\Desktop\\HungAppTimeout", kText, "100"},
    {kHku, "Control Panel\\Desktop\\WaitToKillAppTimeout", kText, "500"},
    {kHklm, "SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction\\Enable", kText, "yes"},
};
constexpr TweakWrite kBox2Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\ConfigFileAllocSize", kNumber, "500"},
};
constexpr TweakWrite kBox3Writes[] = {
    {kHku, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL", kNumber, "1"},
};
constexpr TweakWrite kBox4Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Services\\stisvc\\Start", kNumber, "4"},
    {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoRemoteRecursiveEvents", kNumber, "1"},
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoSaveSettings", kNumber, "0"},
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\NoNetCrawling", kNumber, "1"},
};
constexpr TweakWrite kBox5Writes[] = {
    {kHkcu, "Control Panel\\desktop\\MenuShowDelay", kText, "0"},
};
constexpr TweakWrite kBox6Writes[] = {
    {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\{2227A280-3AEA-1069-A2DE-08002B30309D}\\", kText, "Printers"},
    {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace\\", kText, "Printers"},
};
constexpr TweakWrite kBox7Writes[] = {
    {kHklm, "System\\CurrentControlSet\\Control\\FileSystem\\CDFS\\CacheSize", kNumber, "2476"},
    {kHklm, "System\\CurrentControlSet\\Control\\FileSystem\\CDFS\\Prefetch", kNumber, "0"},
    {kHklm, "System\\CurrentControlSet\\Control\\FileSystem\\CDFS\\PrefetchTail", kNumber, "128"},
};
constexpr TweakWrite kBox8Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\VideoInitTime", kNumber, "1071"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\EnablePrefetcher", kNumber, "1"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\AppLaunchMaxNumPages", kNumber, "4000"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\AppLaunchMaxNumSections", kNumber, "170"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\BootMaxNumPages", kNumber, "128000"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\BootMaxNumSections", kNumber, "4080"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\MaxNumActiveTraces", kNumber, "8"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\MaxNumSavedTraces", kNumber, "8"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\RootDirPath", kText, "Prefetch"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters\\HostingAppList", kText, "DLLHOST.EXE,MMC.EXE,RUNDLL32.EXE"},
};
constexpr TweakWrite kBox9Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\Win31FileSystem", kNumber, "0"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\NtfsDisable8dot3NameCreation", kNumber, "0"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\Win95TruncatedExtensions", kNumber, "1"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\NtfsAllowExtendedCharacterIn8dot3Name", kNumber, "1"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Control\\FileSystem\\ConfigFileAllocSize", kNumber, "500"},
};
constexpr TweakWrite kBox10Writes[] = {
    {kHklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SFCDisable", kNumber, "4294967197"},
};
constexpr TweakWrite kBox11Writes[] = {
    {kHklm, "SYSTEM\\ControlSet002\\Control\\Windows\\NoPopUpsOnBoot", kText, "1"},
    {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\legalnoticecaption", kText, ""},
    {kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\legalnoticetext", kText, ""},
    {kHklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\AutoAdminLogon", kText, "0"},
};
constexpr TweakWrite kBox12Writes[] = {
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CabinetState\\Use Search Asst", kText, "no"},
};
constexpr TweakWrite kBox13Writes[] = {
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\DisableThumbnailCache", kNumber, "1"},
};
constexpr TweakWrite kBox14Writes[] = {
    {kHklm, "SOFTWARE\\Policies\\Microsoft\\Windows\\DriverSearching\\DontSearchWindowsUpdate", kNumber, "1"},
};
constexpr TweakWrite kBox15Writes[] = {
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\CleanupWiz\\NoRun", kNumber, "1"},
};
constexpr TweakWrite kBox16Writes[] = {
    {kHkcu, "Software\\Microsoft\\Office\\11.0\\Common\\DWNeverUpload", kNumber, "1"},
    {kHkcu, "Software\\Microsoft\\Office\\11.0\\Common\\DWNoExternalURL", kNumber, "1"},
    {kHkcu, "Software\\Microsoft\\Office\\11.0\\Common\\DWNoFileCollection", kNumber, "1"},
    {kHkcu, "Software\\Microsoft\\Office\\11.0\\Common\\DWNoSecondLevelCollection", kNumber, "1"},
};
constexpr TweakWrite kBox17Writes[] = {
    {kHklm, "SOFTWARE\\Microsoft\\MediaPlayer\\PlayerUpgrade\\AskMeAgain", kText, "no"},
    {kHklm, "SOFTWARE\\Policies\\Microsoft\\WindowsMediaPlayer\\DisableAutoUpdate", kNumber, "1"},
};
constexpr TweakWrite kBox18Writes[] = {
    {kHklm, "SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters\\AutoShareServer", kNumber, "0"},
    {kHklm, "SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters\\AutoShareWks", kNumber, "0"},
};
constexpr TweakWrite kBox19Writes[] = {
    {kHklm, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting\\AllOrNone", kNumber, "3"},
    {kHklm, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting\\IncludeKernelFaults", kNumber, "0"},
    {kHklm, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting\\IncludeMicrosoftApps", kNumber, "0"},
    {kHklm, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting\\IncludeWindowsApps", kNumber, "0"},
    {kHklm, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting\\DoReport", kNumber, "0"},
};
constexpr TweakWrite kBox20Writes[] = {
    {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoDriveTypeAutoRun", kNumber, "255"},
};

// Bound by control id. From 选择框10 on, a box's writes answer to the caption
// of another box of that range; the rows, not the captions, are what ships.
constexpr TweakItem kTweakCatalogue[] = {
    {"选择框1", 0x160102B6, "XP开关机加速", kBox1Writes},
    {"选择框2", 0x160102B5, "加快程序运行速度", kBox2Writes},
    {"选择框3", 0x160102B4, "不加载多余DLL", kBox3Writes},
    {"选择框4", 0x160102B3, "加速打开我的电脑和Explorer", kBox4Writes},
    {"选择框5", 0x160102B2, "加快菜单显示速度", kBox5Writes},
    {"选择框6", 0x160102B1, "加快局域网访问速度", kBox6Writes},
    {"选择框7", 0x160102B0, "加速光驱速度", kBox7Writes},
    {"选择框8", 0x160102AF, "加快启动速度", kBox8Writes},
    {"选择框9", 0x160102AE, "优化磁盘驱动器和文件系统", kBox9Writes},
    {"选择框10", 0x160102AD, "禁用搜索助手", kBox10Writes},
    {"选择框11", 0x160102AC, "禁用缩略图", kBox11Writes},
    {"选择框12", 0x160102AB, "禁用从WINupdata升级驱动", kBox12Writes},
    {"选择框13", 0x160102AA, "禁用桌面清理向导", kBox13Writes},
    {"选择框14", 0x160102A9, "禁用office发送错误报告", kBox14Writes},
    {"选择框15", 0x160102A8, "禁用mediaplayer自动更新", kBox15Writes},
    {"选择框16", 0x160102A7, "关闭XP文件保护", kBox16Writes},
    {"选择框17", 0x160102A6, "禁用磁盘默认共享", kBox17Writes},
    {"选择框18", 0x160102A5, "禁用错误报告", kBox18Writes},
    {"选择框19", 0x160102A4, "禁用自动播放", kBox19Writes},
    {"选择框20", 0x160102A3, "禁用启动时弹出错误信息", kBox20Writes},
};

// One cleaning call: which operation, with which kind number, what a report
// calls it when it could not do its work, and the key under HKEY_CURRENT_USER
// it deletes, if any (the restore file keeps it).
struct CleaningCall {
  bool (*operation)(int kind, CleaningReport* report);
  int kind;
  const char* what;
  const char* deleted_key = nullptr;
};

constexpr CleaningCall kTemporaryInternetFiles[] = {{CleanSystemJunk, 1, "IE临时文件"}};
constexpr CleaningCall kBrowserHistory[] = {{CleanPrivacyTraces, 9, "浏览器历史记录"}};
constexpr CleaningCall kFormPasswords[] = {{CleanPrivacyTraces, 1, "表单密码自动填写"}};
constexpr CleaningCall kFavoritesAndTypedAddresses[] = {{CleanPrivacyTraces, 3, "收藏夹"},
                                                        {CleanPrivacyTraces, 0, "浏览过的网站", kTypedAddressesKey}};
constexpr CleaningCall kRecycleBin[] = {{CleanSystemJunk, 2, "回收站"}};
constexpr CleaningCall kSystemTemporaryFiles[] = {{CleanSystemJunk, 0, "系统临时文件"}};

struct CleaningItem {
  const char* name;
  ControlId box;
  const char* caption;
  std::span<const CleaningCall> calls;
};

// In the order the worker runs them (not the order of the boxes' ids).
constexpr CleaningItem kCleaningItems[] = {
    {"选择框21", 0x16010296, "IE临时文件", kTemporaryInternetFiles},
    {"选择框22", 0x1601029B, "浏览器历史记录", kBrowserHistory},
    {"选择框23", 0x1601029A, "表单密码自动填写", kFormPasswords},
    {"选择框24", 0x16010299, "收藏夹和浏览过的网站", kFavoritesAndTypedAddresses},
    {"选择框25", 0x16010298, "回收站", kRecycleBin},
    {"选择框26", 0x16010297, "系统临时文件", kSystemTemporaryFiles},
};

constexpr int kItemCount = static_cast<int>(std::size(kTweakCatalogue) + std::size(kCleaningItems));

const char* const kNothingChosenText = "您没有选择优化项目，请选择后再单击优化按钮！";
const char* const kNothingChosenTitle = "提示";
const char* const kDoneText = "恭喜您，你选择的优化项目已完成！";
const char* const kDoneTitle = "完成";

// A cleaning call returns true when it did its work, "nothing to clean"
// included; false leaves the reason in LastError(). A walk that ran counts as
// done even where single entries stayed: each of those is a failure of its
// own, and past the report's list a count stands for the rest.
void RunCleaning(const CleaningItem& item, Outcome& outcome) {
  for (const CleaningCall& call : item.calls) {
    CleaningReport report;
    if (call.operation(call.kind, &report))
      outcome.Succeeded();
    else
      outcome.Failed(call.what, ErrorText(LastError()));
    for (const UndeletableEntry& entry : report.undeletable) outcome.Failed(entry.path, ErrorText(entry.error));
    if (report.more_undeletable > 0)
      outcome.Failed(call.what, ConcatTexts("另有 ", UnsignedText(report.more_undeletable), " 项无法删除"));
  }
}

RegistryValue ValueOf(const TweakWrite& write) {
  if (write.kind == TweakData::kNumber) return ToNumber(write.data);
  return Text(write.data);
}

// Windows refuses keys directly below HKEY_USERS that are no loaded hive;
// Wine makes them and loses them when it stops. Either way nothing is kept.
bool IsWritten(const TweakWrite& write) { return !IsUnloadedUsersHive(write.root, write.item_path); }

// Ticked states of the twenty tweak boxes, then the six cleaning items.
using TickedItems = std::array<bool, kItemCount>;

std::vector<RegistryChange> ChangesOf(const TickedItems& ticked) {
  std::vector<RegistryChange> changes;
  size_t index = 0;
  for (const TweakItem& item : kTweakCatalogue) {
    if (ticked[index++])
      for (const TweakWrite& write : item.writes)
        if (IsWritten(write)) changes.push_back(SetRegistryItem(write.root, write.item_path, ValueOf(write)));
  }
  for (const CleaningItem& item : kCleaningItems) {
    if (ticked[index++])
      for (const CleaningCall& call : item.calls)
        if (call.deleted_key) changes.push_back(DeleteRegistryTree(kRootCurrentUser, call.deleted_key));
  }
  return changes;
}

}  // namespace

std::span<const TweakItem> TweakCatalogue() { return kTweakCatalogue; }

// Rows aimed at a key directly under HKEY_USERS that is no loaded hive can
// never be written on Windows: they are passed over and not counted.
void ApplyTweak(const TweakItem& item, Outcome& outcome) {
  for (const TweakWrite& write : item.writes) {
    if (!IsWritten(write)) continue;
    if (WriteRegistryItem(write.root, write.item_path, ValueOf(write)))
      outcome.Succeeded();
    else
      outcome.Failed(ConcatTexts(RootKeyName(write.root), "\\", write.item_path), ErrorText(LastError()));
  }
}

void RunOptimize() {
  SetDisabled(kMainWindow, kOptimizeButton, true);
  // The worker enables the button again as its last step; a worker that
  // never started could not, so the button comes back here instead.
  if (!StartThread(OptimizeWorker)) SetDisabled(kMainWindow, kOptimizeButton, false);
}

// The boxes are read once, in worker order, before anything changes: the
// restore file must hold every value the run changes, so a box ticked while
// the worker runs must not add writes it does not hold. The button is
// enabled only after the message box has been answered: until then a second
// click cannot start a second worker.
void OptimizeWorker() {
  TickedItems ticked{};
  size_t index = 0;
  for (const TweakItem& item : kTweakCatalogue) ticked[index++] = IsTicked(kMainWindow, item.box);
  for (const CleaningItem& item : kCleaningItems) ticked[index++] = IsTicked(kMainWindow, item.box);
  const BackupResult backup = BackupBeforeChanges("开始优化", ChangesOf(ticked));

  int unticked = 0;
  Outcome outcome("系统优化");
  NoteBackup(backup, outcome);
  index = 0;
  for (const TweakItem& item : kTweakCatalogue) {
    if (ticked[index++])
      ApplyTweak(item, outcome);
    else
      ++unticked;
  }
  for (const CleaningItem& item : kCleaningItems) {
    if (ticked[index++])
      RunCleaning(item, outcome);
    else
      ++unticked;
  }
  if (unticked == kItemCount)
    ShowMessageBox(kNothingChosenText, kStyleInformation, kNothingChosenTitle);
  else
    outcome.Report(kDoneText, kDoneTitle);
  SetDisabled(kMainWindow, kOptimizeButton, false);
}

}  // namespace lumeno
