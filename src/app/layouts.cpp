#include "app/layouts.h"

#include "app/main_window.h"
#include "app/settings_window.h"
#include "cleaning/cleanup_scripts.h"
#include "cleaning/empty_folder_sweep.h"
#include "hung_programs/hung_programs.h"
#include "memory/memory.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "tweaks/optimize.h"
#include "utilities/broadband.h"
#include "utilities/display_presets.h"
#include "utilities/session.h"
#include "utilities/tool_launchers.h"
#include "ui/control_ids.h"

namespace lumeno {

namespace {

using enum ControlType;

constexpr bool kBlue = true;
constexpr bool kChecked = true;

// ---------------------------------------------------------------------------
// MainWindow

constexpr ControlId kMainGroup = main_controls::kGroup;

const MenuRow kMainMenuItems[] = {
    {main_controls::kLogOffItem, "注销", LogOff},
    {main_controls::kRestartItem, "重启", Restart},
    {main_controls::kShutDownItem, "关机", ShutDown},
    {main_controls::kAboutItem, "介绍", ShowAbout},
    {main_controls::kAuthorItem, "作者", OpenAuthorPage},
};

// type, name, id, caption, left, top, width, height, parent, page, tag, font, blue, checked, interval
const ControlRow kMainControls[] = {
    {kGroupBox, "分组框1", main_controls::kGroup, "", 8, 8, 376, 368, kOnWindow, kNoPage, ""},
    {kCheckBox, "选择框1", 0x160102B6, "XP开关机加速", 11, 8, 180, 16, kMainGroup, kNoPage, "1"},
    {kCheckBox, "选择框10", 0x160102AD, "禁用搜索助手", 203, 16, 180, 16, kMainGroup, kNoPage, "10"},
    {kCheckBox, "选择框2", 0x160102B5, "加快程序运行速度", 11, 24, 180, 16, kMainGroup, kNoPage, "2"},
    {kCheckBox, "选择框11", 0x160102AC, "禁用缩略图", 203, 32, 180, 16, kMainGroup, kNoPage, "11"},
    {kCheckBox, "选择框3", 0x160102B4, "不加载多余DLL", 11, 40, 180, 16, kMainGroup, kNoPage, "3"},
    {kCheckBox, "选择框12", 0x160102AB, "禁用从WINupdata升级驱动", 203, 48, 180, 16, kMainGroup, kNoPage, "12"},
    {kCheckBox, "选择框4", 0x160102B3, "加速打开我的电脑和Explorer", 11, 56, 180, 16, kMainGroup, kNoPage, "4"},
    {kCheckBox, "选择框13", 0x160102AA, "禁用桌面清理向导", 203, 64, 180, 16, kMainGroup, kNoPage, "13"},
    {kCheckBox, "选择框5", 0x160102B2, "加快菜单显示速度", 11, 72, 180, 16, kMainGroup, kNoPage, "5"},
    {kCheckBox, "选择框14", 0x160102A9, "禁用office发送错误报告", 203, 80, 180, 16, kMainGroup, kNoPage, "14"},
    {kCheckBox, "选择框6", 0x160102B1, "加快局域网访问速度", 11, 88, 180, 16, kMainGroup, kNoPage, "6"},
    {kCheckBox, "选择框15", 0x160102A8, "禁用mediaplayer自动更新", 203, 96, 180, 16, kMainGroup, kNoPage, "15"},
    {kCheckBox, "选择框7", 0x160102B0, "加速光驱速度", 11, 104, 180, 16, kMainGroup, kNoPage, "7"},
    {kCheckBox, "选择框16", 0x160102A7, "关闭XP文件保护", 203, 112, 180, 16, kMainGroup, kNoPage, "16"},
    {kCheckBox, "选择框8", 0x160102AF, "加快启动速度", 11, 120, 180, 16, kMainGroup, kNoPage, "8"},
    {kCheckBox, "选择框17", 0x160102A6, "禁用磁盘默认共享", 203, 128, 180, 16, kMainGroup, kNoPage, "17"},
    {kCheckBox, "选择框9", 0x160102AE, "优化磁盘驱动器和文件系统", 11, 136, 180, 16, kMainGroup, kNoPage, "9"},
    {kCheckBox, "选择框18", 0x160102A5, "禁用错误报告", 203, 144, 180, 16, kMainGroup, kNoPage, "18"},
    {kCheckBox, "选择框19", 0x160102A4, "禁用自动播放", 11, 152, 180, 16, kMainGroup, kNoPage, "19"},
    {kTimer, "时钟1", main_controls::kGaugeTimer, "", 301, 158, 26, 26, kMainGroup, kNoPage, "", kGuiFont, false, false, 1500},
    {kCheckBox, "选择框20", 0x160102A3, "禁用启动时弹出错误信息", 11, 168, 180, 16, kMainGroup, kNoPage, "20"},
    {kLabel, "标签2", main_controls::kSeparator, "------------------------------------------------------------", 8, 187, 349, 24, kMainGroup, kNoPage, ""},
    {kCheckBox, "选择框25", 0x16010298, "回收站", 287, 210, 61, 24, kMainGroup, kNoPage, "23"},
    {kCheckBox, "选择框22", 0x1601029B, "浏览器历史记录", 11, 211, 114, 24, kMainGroup, kNoPage, "21"},
    {kCheckBox, "选择框24", 0x16010299, "收藏夹和浏览过的网站", 133, 211, 144, 24, kMainGroup, kNoPage, "22"},
    {kCheckBox, "选择框23", 0x1601029A, "表单密码自动填写", 11, 234, 122, 24, kMainGroup, kNoPage, "24"},
    {kCheckBox, "选择框26", 0x16010297, "系统临时文件", 133, 234, 96, 24, kMainGroup, kNoPage, "25"},
    {kCheckBox, "选择框21", 0x16010296, "IE临时文件", 269, 234, 88, 24, kMainGroup, kNoPage, "26"},
    {kButton, "按钮2", main_controls::kCloseHungButton, "关闭无响应的程序", 93, 266, 128, 24, kMainGroup, kNoPage, ""},
    {kButton, "按钮3", main_controls::kSweepButton, "空文件夹清理", 229, 266, 128, 24, kMainGroup, kNoPage, ""},
    {kCheckBox, "选择框27", main_controls::kInvertBox, "反选", 11, 271, 56, 24, kMainGroup, kNoPage, ""},
    {kButton, "按钮4", main_controls::kSettingsButton, "系统设置", 176, 296, 96, 24, kMainGroup, kNoPage, ""},
    {kButton, "按钮1", main_controls::kOptimizeButton, "开始优化", 291, 298, 74, 22, kMainGroup, kNoPage, ""},
    {kLabel, "标签1", main_controls::kGaugeLabel, "RAM内存使用情况（0%）：", 11, 304, 146, 24, kMainGroup, kNoPage, ""},
    {kProcessBar, "进度条1", main_controls::kGaugeBar, "", 10, 332, 347, 22, kMainGroup, kNoPage, ""},
};

// ---------------------------------------------------------------------------
// SettingsWindow

constexpr ControlId kSettingsTab = settings_controls::kTab;

const char* const kSettingsPages[] = {"分辨率", "XP优化", "转资料", "清系统", "小工具"};

// type, name, id, caption, left, top, width, height, parent, page, tag, font, blue, checked, interval
const ControlRow kSettingsControls[] = {
    {kTab, "选择夹1", settings_controls::kTab, "", 6, 8, 295, 144, kOnWindow, kNoPage, ""},
    {kTimer, "时钟1", settings_controls::kTrimTimer, "", 368, 88, 40, 40, kOnWindow, kNoPage, "", kGuiFont, false, false, 0},
    {kButton, "按钮2", settings_controls::kEjectButton, "弹出光驱", 9, 157, 58, 22, kOnWindow, kNoPage, ""},
    {kButton, "按钮3", settings_controls::kCloseTrayButton, "关闭光驱", 84, 157, 58, 22, kOnWindow, kNoPage, ""},
    {kCheckBox, "选择框18", settings_controls::kMemorySwitch, "选择框", 160, 160, 16, 16, kOnWindow, kNoPage, "", kGuiFont, false, kChecked},
    {kTransLabel, "透明标签1", settings_controls::kMemoryState, "", 184, 160, 96, 16, kOnWindow, kNoPage, ""},

    // Page 0 "分辨率"
    {kGroupBox, "分组框1", settings_controls::kCrtGroup, "CRT显示器", 9, 30, 85, 80, kSettingsTab, 0, ""},
    {kGroupBox, "分组框2", settings_controls::kLcdGroup, "普通液晶", 104, 30, 85, 80, kSettingsTab, 0, ""},
    {kGroupBox, "分组框3", settings_controls::kWidescreenGroup, "宽屏液晶", 200, 30, 85, 80, kSettingsTab, 0, ""},
    {kRadioBox, "单选1", settings_controls::kCrt15Radio, "15寸CRT", 15, 49, 75, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选4", settings_controls::kLcd15Radio, "15寸LCD", 111, 49, 70, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选7", settings_controls::kWide17Radio, "17宽屏LCD", 205, 49, 75, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选2", settings_controls::kCrt17Radio, "17寸CRT", 15, 68, 75, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选5", settings_controls::kLcd17Radio, "17寸LCD", 111, 68, 70, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选8", settings_controls::kWide19Radio, "19宽屏LCD", 205, 68, 75, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选3", settings_controls::kCrt19Radio, "19寸CRT", 15, 87, 75, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选6", settings_controls::kLcd19Radio, "19寸LCD", 111, 87, 70, 15, kSettingsTab, 0, ""},
    {kRadioBox, "单选9", settings_controls::kWide22Radio, "22宽屏LCD", 205, 87, 75, 15, kSettingsTab, 0, ""},
    {kButton, "按钮1", settings_controls::kApplyPresetButton, "设置", 236, 113, 43, 25, kSettingsTab, 0, "", -14},
    {kLabel, "标签1", 0x160102FE, "分辨率：", 15, 115, 49, 20, kSettingsTab, 0, "", -12, kBlue},
    {kLabel, "标签2", settings_controls::kModeLabel, "", 64, 115, 144, 20, kSettingsTab, 0, "", -12, kBlue},

    // Page 1 "XP优化"
    {kGroupBox, "分组框4", 0x16010312, "服务快速优化", 8, 26, 131, 112, kSettingsTab, 1, ""},
    {kGroupBox, "分组框5", 0x160102F7, "可选服务", 145, 26, 142, 112, kSettingsTab, 1, ""},
    {kRadioBox, "单选框1", settings_controls::kMinimalRadio, "最精简模式", 15, 45, 80, 12, kSettingsTab, 1, ""},
    {kCheckBox, "选择框4", settings_controls::kUpnpBox, "UPNP设备支持", 151, 50, 103, 12, kSettingsTab, 1, ""},
    {kRadioBox, "单选框2", settings_controls::kCafeRadio, "网吧模式", 15, 62, 80, 12, kSettingsTab, 1, ""},
    {kCheckBox, "选择框2", settings_controls::kHardwarePlaybackBox, "硬件播放服务", 151, 71, 102, 12, kSettingsTab, 1, ""},
    {kRadioBox, "单选框3", settings_controls::kOfficeRadio, "办公模式", 15, 79, 80, 12, kSettingsTab, 1, ""},
    {kCheckBox, "选择框3", settings_controls::kWirelessBox, "无线网卡支持", 151, 92, 103, 12, kSettingsTab, 1, ""},
    {kRadioBox, "单选框4", settings_controls::kNotebookRadio, "笔记本模式", 15, 96, 80, 12, kSettingsTab, 1, ""},
    {kRadioBox, "单选框5", settings_controls::kXpDefaultRadio, "XP默认", 15, 113, 68, 12, kSettingsTab, 1, ""},
    {kCheckBox, "选择框1", settings_controls::kSpoolerBox, "开启打印服务", 151, 113, 93, 12, kSettingsTab, 1, ""},
    {kButton, "按钮6", settings_controls::kApplyProfileButton, "执行", 99, 114, 36, 20, kSettingsTab, 1, ""},
    {kButton, "按钮7", settings_controls::kStartServicesButton, "执行", 247, 114, 36, 20, kSettingsTab, 1, ""},

    // Page 2 "转资料"
    {kCheckBox, "选择框5", settings_controls::kMyDocumentsBox, "我的文档", 16, 34, 100, 12, kSettingsTab, 2, ""},
    {kCheckBox, "选择框7", settings_controls::kTempBox, "Temp文件夹", 136, 34, 100, 12, kSettingsTab, 2, ""},
    {kCheckBox, "选择框6", settings_controls::kFavoritesBox, "收藏夹", 16, 58, 100, 12, kSettingsTab, 2, ""},
    {kCheckBox, "选择框8", settings_controls::kInternetCacheBox, "上网临时文件", 136, 58, 100, 12, kSettingsTab, 2, ""},
    {kCheckBox, "选择框9", settings_controls::kDesktopBox, "桌面", 16, 82, 100, 12, kSettingsTab, 2, ""},
    {kCheckBox, "选择框10", settings_controls::kOutlookExpressBox, "Outlook文件夹", 136, 82, 100, 12, kSettingsTab, 2, ""},
    {kButton, "按钮8", settings_controls::kRelocateButton, "转移", 226, 110, 56, 24, kSettingsTab, 2, ""},
    {kEditBox, "编辑框1", settings_controls::kTargetEdit, "D:\\Personal", 66, 111, 126, 19, kSettingsTab, 2, ""},
    {kLabel, "标签8", 0x160102E6, "转移到：", 16, 112, 48, 16, kSettingsTab, 2, ""},
    {kLabel, "标签9", settings_controls::kBrowseLabel, ">>>", 195, 113, 19, 17, kSettingsTab, 2, "", kGuiFont, kBlue},

    // Page 3 "清系统"
    {kCheckBox, "选择框11", settings_controls::kJunkBox, "清理系统垃圾", 12, 32, 104, 15, kSettingsTab, 3, ""},
    {kCheckBox, "选择框14", settings_controls::kSharesBox, "删除默认共享", 138, 32, 104, 15, kSettingsTab, 3, ""},
    {kCheckBox, "选择框12", settings_controls::kLogsBox, "清理日志文件", 12, 60, 104, 15, kSettingsTab, 3, ""},
    {kCheckBox, "选择框15", settings_controls::kCookiesBox, "清空 Cookies", 138, 60, 104, 15, kSettingsTab, 3, ""},
    {kCheckBox, "选择框13", settings_controls::kContextMenuBox, "清除多余右键菜单", 12, 88, 150, 15, kSettingsTab, 3, ""},
    {kCheckBox, "选择框17", settings_controls::kSelectAllBox, "全选", 138, 88, 103, 16, kSettingsTab, 3, "", kGuiFont, kBlue},
    {kButton, "按钮9", settings_controls::kCleanupButton, "清理", 245, 110, 40, 24, kSettingsTab, 3, ""},
    {kCheckBox, "选择框16", settings_controls::kAutorunBox, "清理、免疫Autorun.inf", 12, 116, 150, 15, kSettingsTab, 3, ""},

    // Page 4 "小工具"
    {kButton, "按钮26", settings_controls::kBroadbandButton, "生成ADSL", 7, 26, 56, 24, kSettingsTab, 4, "", -12},
    {kButton, "按钮23", 0x160102CE, "计划任务", 82, 26, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮24", 0x160102CD, "事件查看", 157, 26, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮25", 0x160102CC, "证书管理", 232, 26, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮11", 0x160102DA, "注册表", 7, 55, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮12", 0x160102D9, "组策略", 82, 55, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮13", 0x160102D8, "DX诊断", 157, 55, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮22", 0x160102CF, "XP更新", 232, 55, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮15", 0x160102D6, "设备管理", 7, 84, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮16", 0x160102D5, "远程桌面", 82, 84, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮17", 0x160102D4, "服务配置", 157, 84, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮14", 0x160102D7, "系统配置", 232, 84, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮18", 0x160102D3, "磁盘检测", 7, 114, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮19", 0x160102D2, "共享管理", 82, 114, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮20", 0x160102D1, "程序卸载", 157, 114, 56, 24, kSettingsTab, 4, ""},
    {kButton, "按钮21", 0x160102D0, "控制面板", 232, 114, 56, 24, kSettingsTab, 4, ""},
};

const WindowLayout kWindowLayouts[] = {
    {kMainWindow, "Lumeno1.1", 393, 428, kProgramIcon, "菜单", main_controls::kMenu, kMainMenuItems, kMainControls, {}},
    {kSettingsWindow, "系统设置", 310, 218, kSettingsIcon, nullptr, 0, {}, kSettingsControls, kSettingsPages},
};

// ---------------------------------------------------------------------------
// Event bindings (the menu items carry their handlers in the menu rows)

using enum Event;

const EventBinding kEventBindings[] = {
    {kMainWindow, 0, kCreated, TrimOwnWorkingSet, nullptr},
    {kMainWindow, main_controls::kOptimizeButton, kClicked, RunOptimize, nullptr},          // 按钮1 "开始优化"
    {kMainWindow, main_controls::kCloseHungButton, kClicked, CloseHungPrograms, nullptr},    // 按钮2 "关闭无响应的程序"
    {kMainWindow, main_controls::kSweepButton, kClicked, RunEmptyFolderSweep, nullptr},  // 按钮3 "空文件夹清理"
    {kMainWindow, main_controls::kSettingsButton, kClicked, OpenSettingsWindow, nullptr},   // 按钮4 "系统设置"
    {kMainWindow, main_controls::kInvertBox, kClicked, InvertItemSelection, nullptr},  // 选择框27 "反选"
    {kMainWindow, main_controls::kGaugeTimer, kTick, UpdateMemoryGauge, nullptr},       // 时钟1

    {kSettingsWindow, 0, kCreated, InitSettingsWindow, nullptr},
    {kSettingsWindow, settings_controls::kTrimTimer, kTick, StartTrimPass, nullptr},                // 时钟1
    {kSettingsWindow, settings_controls::kMemorySwitch, kClicked, ToggleMemoryOptimisation, nullptr},  // 选择框18
    {kSettingsWindow, settings_controls::kEjectButton, kClicked, EjectCdTray, nullptr},               // 按钮2 "弹出光驱"
    {kSettingsWindow, settings_controls::kCloseTrayButton, kClicked, CloseCdTray, nullptr},               // 按钮3 "关闭光驱"
    {kSettingsWindow, settings_controls::kApplyPresetButton, kClicked, ApplyResolutionPreset, nullptr},     // 按钮1 "设置"
    {kSettingsWindow, settings_controls::kApplyProfileButton, kClicked, ApplyServiceProfile, nullptr},       // 按钮6 "执行"
    {kSettingsWindow, settings_controls::kStartServicesButton, kClicked, StartSelectedServices, nullptr},     // 按钮7 "执行"
    {kSettingsWindow, settings_controls::kRelocateButton, kClicked, RelocateUserFolders, nullptr},       // 按钮8 "转移"
    {kSettingsWindow, settings_controls::kBrowseLabel, kMouseDown, BrowseRelocationTarget, nullptr},  // 标签9 ">>>"
    {kSettingsWindow, settings_controls::kCleanupButton, kClicked, RunSystemCleanup, nullptr},          // 按钮9 "清理"
    {kSettingsWindow, settings_controls::kSelectAllBox, kClicked, SelectAllCleanupItems, nullptr},     // 选择框17 "全选"
    {kSettingsWindow, 0x160102DA, kClicked, nullptr, LaunchTool},                // 按钮11 "注册表"
    {kSettingsWindow, 0x160102D9, kClicked, nullptr, LaunchTool},                // 按钮12 "组策略"
    {kSettingsWindow, 0x160102D8, kClicked, nullptr, LaunchTool},                // 按钮13 "DX诊断"
    {kSettingsWindow, 0x160102D7, kClicked, nullptr, LaunchTool},                // 按钮14 "系统配置"
    {kSettingsWindow, 0x160102D6, kClicked, nullptr, LaunchTool},                // 按钮15 "设备管理"
    {kSettingsWindow, 0x160102D5, kClicked, nullptr, LaunchTool},                // 按钮16 "远程桌面"
    {kSettingsWindow, 0x160102D4, kClicked, nullptr, LaunchTool},                // 按钮17 "服务配置"
    {kSettingsWindow, 0x160102D3, kClicked, nullptr, LaunchTool},                // 按钮18 "磁盘检测"
    {kSettingsWindow, 0x160102D2, kClicked, nullptr, LaunchTool},                // 按钮19 "共享管理"
    {kSettingsWindow, 0x160102D1, kClicked, nullptr, LaunchTool},                // 按钮20 "程序卸载"
    {kSettingsWindow, 0x160102D0, kClicked, nullptr, LaunchTool},                // 按钮21 "控制面板"
    {kSettingsWindow, 0x160102CF, kClicked, nullptr, LaunchTool},                // 按钮22 "XP更新"
    {kSettingsWindow, 0x160102CE, kClicked, nullptr, LaunchTool},                // 按钮23 "计划任务"
    {kSettingsWindow, 0x160102CD, kClicked, nullptr, LaunchTool},                // 按钮24 "事件查看"
    {kSettingsWindow, 0x160102CC, kClicked, nullptr, LaunchTool},                // 按钮25 "证书管理"
    {kSettingsWindow, settings_controls::kBroadbandButton, kClicked, CreateBroadbandEntry, nullptr},      // 按钮26 "生成ADSL"
};

}  // namespace

std::span<const WindowLayout> ProgramWindowLayouts() { return kWindowLayouts; }
std::span<const EventBinding> ProgramEventBindings() { return kEventBindings; }

std::span<const TooltipSource> ProgramTooltips() {
  static const TooltipSource kTooltips[] = {{kMainWindow, TweakBoxes(), TweakTooltipText}};
  return kTooltips;
}

}  // namespace lumeno
