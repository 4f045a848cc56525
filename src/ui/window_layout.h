// The vocabulary of window layouts: frames, controls, the menu and which
// handler each event runs, as constant rows. Portable. The program hands its
// tables to the window engine at start-up (UseWindowLayouts); the engine
// builds real windows from them and finds handlers through the look-ups here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/platform.h"
#include "ui/control_ids.h"

namespace lumeno {

enum class ControlType : uint8_t {
  kButton,
  kCheckBox,
  kRadioBox,
  kLabel,
  kTransLabel,
  kEditBox,
  kGroupBox,
  kProcessBar,
  kTab,
  kTimer,
};

inline constexpr ControlId kOnWindow = 0;  // parent of a control placed on the window itself
inline constexpr int kNoPage = -1;         // a control that is not on a tab page
inline constexpr int kGuiFont = 0;         // font height 0: the stock DEFAULT_GUI_FONT

// A control's name in the layout ("选择框1") and its tag ("1", a decimal
// text). Only the tests look controls up by name. The program's own trees
// build with LUMENO_COMPACT_LAYOUTS: a name takes neither room nor an
// address in the tables there, and a tag is its number, read when the
// program is compiled; a tag that is not plain decimal digits does not
// compile, so the number is always what ToInteger would read.
#if defined(LUMENO_COMPACT_LAYOUTS)
void TagIsNotUpToFourDecimalDigits();  // never defined: calling it stops compilation
struct LayoutName {
  consteval LayoutName(const char*) {}
};
struct LayoutTag {
  int16_t value = 0;
  consteval LayoutTag(const char* text) {
    for (int i = 0; text[i]; ++i) {
      if (text[i] < '0' || text[i] > '9' || i >= 4) TagIsNotUpToFourDecimalDigits();
      value = static_cast<int16_t>(value * 10 + (text[i] - '0'));
    }
  }
};
inline int TagNumber(LayoutTag tag) { return tag.value; }
#else
using LayoutName = const char*;
using LayoutTag = const char*;
inline int TagNumber(LayoutTag tag) { return ToInteger(tag); }
#endif

// The field types are as narrow as the layouts need, since the tables of both
// windows ship in the program.
struct ControlRow {
  ControlType type;
  [[no_unique_address]] LayoutName name;
  ControlId id;
  const char* caption;  // EditBox: its initial content
  int16_t left, top, width, height;
  ControlId parent;  // kOnWindow, a GroupBox or the Tab
  int16_t page;      // tab page, or kNoPage
  LayoutTag tag;     // decimal text, "" for none
  int16_t font_height = kGuiFont;  // or the height of a "宋体" font (-12, -14)
  bool blue_text = false;
  bool checked = false;  // initial check state
  int interval = 0;      // Timer: milliseconds, 0 = not running
};

struct MenuRow {
  uint32_t id;
  const char* caption;
  void (*handler)();
};

struct WindowLayout {
  WindowId id;
  const char* title;
  int outer_width, outer_height;  // frame, title bar and menu bar included
  int icon_resource;
  const char* menu_caption;  // the one drop-down of the menu bar, nullptr for none
  uint32_t menu_id;
  std::span<const MenuRow> menu_items;
  std::span<const ControlRow> controls;  // in creation order
  std::span<const char* const> tab_pages;
};

enum class Event {
  kCreated,     // the window has been built, before it is first shown
  kClicked,     // Button, CheckBox, RadioBox (BN_CLICKED)
  kTick,        // Timer
  kMouseDown,   // left mouse button pressed (WM_LBUTTONDOWN)
};

// One row per bound event. Exactly one of handler / handler_of_control is
// set; the latter receives the control id (the tool launcher buttons share
// one handler that tells them apart by id).
struct EventBinding {
  WindowId window;
  ControlId control;  // 0 for kCreated
  Event event;
  void (*handler)();
  void (*handler_of_control)(uint32_t);
};

// The tables the look-ups below search; they must outlive every window.
void UseWindowLayouts(std::span<const WindowLayout> layouts, std::span<const EventBinding> bindings);

// Controls that explain themselves in a tooltip. The text is asked for when
// the tooltip is first shown, not when the window is built.
struct TooltipSource {
  WindowId window;
  std::span<const ControlId> controls;
  Text (*text_of)(ControlId control);
};
void UseTooltips(std::span<const TooltipSource> sources);
std::span<const TooltipSource> AllTooltips();
std::span<const WindowLayout> AllWindowLayouts();
std::span<const EventBinding> AllEventBindings();

const WindowLayout* FindWindowLayout(WindowId window);
// The same look-up in tables not (yet) handed to the engine.
const WindowLayout* FindWindowLayout(std::span<const WindowLayout> layouts, WindowId window);

// The handler row for (window, control, event), or nullptr.
const EventBinding* FindEventBinding(WindowId window, ControlId control, Event event);

// Runs the bound handler, if any. True when there was one.
bool RunEventHandler(WindowId window, ControlId control, Event event);

// The first control, in creation order, whose tag text converts like
// ToInteger to tag; an empty tag counts as 0.
std::optional<ControlId> FindTaggedControl(const WindowLayout& layout, int tag);

// The row of a control, or nullptr.
const ControlRow* FindControlRow(const WindowLayout& layout, ControlId control);

}  // namespace lumeno
