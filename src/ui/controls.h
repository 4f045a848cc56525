// The control operations the window engine provides (window_engine_win32.cpp)
// and the recording fake stands in for: the handlers reach their windows only
// through these. Portable.
#pragma once

#include <cstdint>

#include "platform/text.h"
#include "ui/control_ids.h"

namespace lumeno {

// Property indices of ReadProperty / WriteProperty.
inline constexpr int kPropertyDisabled = 6;   // Button: boolean
inline constexpr int kPropertyText = 8;       // Label, EditBox, TransLabel: text
inline constexpr int kPropertyInterval = 8;   // Timer: integer milliseconds
inline constexpr int kPropertyPosition = 13;  // ProcessBar: integer
inline constexpr int kPropertyChecked = 18;   // CheckBox, RadioBox: boolean

// A property value: a number (booleans are 1 / 0) or a text.
struct PropertyValue {
  bool is_text = false;
  int32_t number = 0;
  Text text;

  static PropertyValue Number(int32_t n) { return PropertyValue{false, n, {}}; }
  static PropertyValue Boolean(bool b) { return PropertyValue{false, b ? 1 : 0, {}}; }
  static PropertyValue OfText(Text t) { return PropertyValue{true, 0, std::move(t)}; }
};

PropertyValue ReadProperty(WindowId window, ControlId control, int index);
void WriteProperty(WindowId window, ControlId control, int index, const PropertyValue& value);

// Convenience forms over ReadProperty / WriteProperty (no calls of their own).
inline bool IsTicked(WindowId w, ControlId c) { return ReadProperty(w, c, kPropertyChecked).number != 0; }
inline void SetTicked(WindowId w, ControlId c, bool on) { WriteProperty(w, c, kPropertyChecked, PropertyValue::Boolean(on)); }
inline void SetDisabled(WindowId w, ControlId c, bool off) { WriteProperty(w, c, kPropertyDisabled, PropertyValue::Boolean(off)); }
inline Text ReadText(WindowId w, ControlId c) { return ReadProperty(w, c, kPropertyText).text; }
inline void SetText(WindowId w, ControlId c, const Text& t) { WriteProperty(w, c, kPropertyText, PropertyValue::OfText(t)); }

// The control of the window whose tag text converts (like ToInteger) to tag.
// No such control is a fatal error ("未找到指定标记的组件").
ControlId FindControlByTag(WindowId window, int tag);

// Builds the window from its layout, runs its created handler and shows it.
// modal: every other parentless top-level window of the program is disabled
// while this one is open and gets its previous state back afterwards.
bool LoadWindow(WindowId window, WindowId parent = 0, bool modal = false);

}  // namespace lumeno
