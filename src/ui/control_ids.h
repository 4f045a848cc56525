// The ids of the controls and menu items that the program (and its tests)
// address one by one: the window tables, the features, preset files and the
// tests all name them from here. The tweak boxes and the tool launchers are
// only ever walked as whole tables, so their rows carry their own ids.
#pragma once

#include <cstdint>

namespace lumeno {

using WindowId = uint32_t;
using ControlId = uint32_t;

inline constexpr WindowId kMainWindow = 0x52010001u;
inline constexpr WindowId kSettingsWindow = 0x520102C9u;

namespace main_controls {

inline constexpr ControlId kGroup = 0x16010294u;             // 分组框1
inline constexpr ControlId kOptimizeButton = 0x160102A2u;    // 按钮1 "开始优化"
inline constexpr ControlId kCloseHungButton = 0x160102A0u;   // 按钮2 "关闭无响应的程序"
inline constexpr ControlId kSweepButton = 0x16010295u;       // 按钮3 "空文件夹清理"
inline constexpr ControlId kSettingsButton = 0x160102C6u;    // 按钮4 "系统设置"
inline constexpr ControlId kInvertBox = 0x160102A1u;         // 选择框27 "反选"
inline constexpr ControlId kGaugeTimer = 0x1601029Du;        // 时钟1
inline constexpr ControlId kGaugeLabel = 0x1601029Fu;        // 标签1
inline constexpr ControlId kGaugeBar = 0x1601029Eu;          // 进度条1
inline constexpr ControlId kSeparator = 0x1601029Cu;         // 标签2

inline constexpr uint32_t kMenu = 0x260102B7u;               // "菜单"
inline constexpr uint32_t kLogOffItem = 0x260102B8u;         // "注销"
inline constexpr uint32_t kRestartItem = 0x260102B9u;        // "重启"
inline constexpr uint32_t kShutDownItem = 0x260102BAu;       // "关机"
inline constexpr uint32_t kAboutItem = 0x260102BDu;          // "介绍"
inline constexpr uint32_t kAuthorItem = 0x260102C2u;         // "作者"

}  // namespace main_controls

namespace settings_controls {

inline constexpr ControlId kTab = 0x16010311u;               // 选择夹1
inline constexpr ControlId kTrimTimer = 0x16010375u;         // 时钟1
inline constexpr ControlId kEjectButton = 0x16010304u;       // 按钮2 "弹出光驱"
inline constexpr ControlId kCloseTrayButton = 0x16010303u;   // 按钮3 "关闭光驱"
inline constexpr ControlId kMemorySwitch = 0x16010376u;      // 选择框18
inline constexpr ControlId kMemoryState = 0x16010374u;       // 透明标签1

// Page 0 "分辨率"
inline constexpr ControlId kApplyPresetButton = 0x16010300u;  // 按钮1 "设置"
inline constexpr ControlId kModeLabel = 0x160102FFu;          // 标签2
inline constexpr ControlId kCrtGroup = 0x16010310u;           // 分组框1 "CRT显示器"
inline constexpr ControlId kLcdGroup = 0x1601030Cu;           // 分组框2 "普通液晶"
inline constexpr ControlId kWidescreenGroup = 0x16010308u;    // 分组框3 "宽屏液晶"
inline constexpr ControlId kCrt15Radio = 0x1601030Eu;         // 单选1 "15寸CRT"
inline constexpr ControlId kCrt17Radio = 0x1601030Fu;         // 单选2 "17寸CRT"
inline constexpr ControlId kCrt19Radio = 0x1601030Du;         // 单选3 "19寸CRT"
inline constexpr ControlId kLcd15Radio = 0x1601030Au;         // 单选4 "15寸LCD"
inline constexpr ControlId kLcd17Radio = 0x1601030Bu;         // 单选5 "17寸LCD"
inline constexpr ControlId kLcd19Radio = 0x16010309u;         // 单选6 "19寸LCD"
inline constexpr ControlId kWide17Radio = 0x16010306u;        // 单选7 "17宽屏LCD"
inline constexpr ControlId kWide19Radio = 0x16010307u;        // 单选8 "19宽屏LCD"
inline constexpr ControlId kWide22Radio = 0x16010305u;        // 单选9 "22宽屏LCD"

// Page 1 "XP优化"
inline constexpr ControlId kApplyProfileButton = 0x160102FDu;   // 按钮6 "执行"
inline constexpr ControlId kStartServicesButton = 0x160102F2u;  // 按钮7 "执行"
inline constexpr ControlId kMinimalRadio = 0x160102F8u;         // 单选框1 "最精简模式"
inline constexpr ControlId kCafeRadio = 0x160102FCu;            // 单选框2 "网吧模式"
inline constexpr ControlId kOfficeRadio = 0x160102FBu;          // 单选框3 "办公模式"
inline constexpr ControlId kNotebookRadio = 0x160102FAu;        // 单选框4 "笔记本模式"
inline constexpr ControlId kXpDefaultRadio = 0x160102F9u;       // 单选框5 "XP默认"
inline constexpr ControlId kSpoolerBox = 0x160102F3u;           // 选择框1 "开启打印服务"
inline constexpr ControlId kHardwarePlaybackBox = 0x160102F6u;  // 选择框2 "硬件播放服务"
inline constexpr ControlId kWirelessBox = 0x160102F5u;          // 选择框3 "无线网卡支持"
inline constexpr ControlId kUpnpBox = 0x160102F4u;              // 选择框4 "UPNP设备支持"

// Page 2 "转资料"
inline constexpr ControlId kDesktopBox = 0x160102E8u;         // 选择框9 "桌面"
inline constexpr ControlId kFavoritesBox = 0x160102EBu;       // 选择框6 "收藏夹"
inline constexpr ControlId kMyDocumentsBox = 0x160102ECu;     // 选择框5 "我的文档"
inline constexpr ControlId kTempBox = 0x160102EAu;            // 选择框7 "Temp文件夹"
inline constexpr ControlId kInternetCacheBox = 0x160102E9u;   // 选择框8 "上网临时文件"
inline constexpr ControlId kOutlookExpressBox = 0x160102E4u;  // 选择框10 "Outlook文件夹"
inline constexpr ControlId kRelocateButton = 0x160102EDu;     // 按钮8 "转移"
inline constexpr ControlId kTargetEdit = 0x160102E7u;         // 编辑框1
inline constexpr ControlId kBrowseLabel = 0x160102E5u;        // 标签9 ">>>"

// Page 3 "清系统"
inline constexpr ControlId kJunkBox = 0x160102E2u;         // 选择框11 "清理系统垃圾"
inline constexpr ControlId kLogsBox = 0x160102E1u;         // 选择框12 "清理日志文件"
inline constexpr ControlId kContextMenuBox = 0x160102E0u;  // 选择框13 "清除多余右键菜单"
inline constexpr ControlId kSharesBox = 0x160102DFu;       // 选择框14 "删除默认共享"
inline constexpr ControlId kCookiesBox = 0x160102DEu;      // 选择框15 "清空 Cookies"
inline constexpr ControlId kAutorunBox = 0x160102DDu;      // 选择框16 "清理、免疫Autorun.inf"
inline constexpr ControlId kSelectAllBox = 0x160102DCu;    // 选择框17 "全选"
inline constexpr ControlId kCleanupButton = 0x160102E3u;   // 按钮9 "清理"

// Page 4 "小工具"
inline constexpr ControlId kBroadbandButton = 0x160102CBu;  // 按钮26 "生成ADSL"

}  // namespace settings_controls

}  // namespace lumeno
