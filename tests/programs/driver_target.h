// Ids and texts of driver_target.exe, the window the driver's own test drives.
#pragma once

#include <cstdint>

namespace driver_target {

inline constexpr char kTitle[] = "驱动测试窗口";
inline constexpr uint32_t kCounterButton = 0x160102A2;   // "增加": counter + 1
inline constexpr uint32_t kCounterLabel = 0x1601029F;    // the counter, "0" at start
inline constexpr uint32_t kGroupBox = 0x16010300;        // holds kCheckBox as its child
inline constexpr uint32_t kCheckBox = 0x160102A1;        // "反选", auto check box
inline constexpr uint32_t kEdit = 0x16010301;            // edit box; message box results land here
inline constexpr uint32_t kProgressBar = 0x1601029E;     // 0..100, at 42
inline constexpr uint32_t kDisabledButton = 0x16010302;  // disabled from the start
inline constexpr uint32_t kTabControl = 0x16010303;      // pages "第一页", "第二页"
inline constexpr uint32_t kPageLabel = 0x16010304;       // child of the tab control: "page <n>" after TCN_SELCHANGE
inline constexpr uint32_t kInfoBoxButton = 0x16010305;   // information box "操作已完成。" titled "完成"
inline constexpr uint32_t kPlainBoxButton = 0x16010306;  // plain box "关于" titled "信息："
inline constexpr int kExitCodeOnEscape = 7;              // Esc on the main window closes it with this code

}  // namespace driver_target
