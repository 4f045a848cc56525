#include "ui/window_layout.h"
#include "ui/control_ids.h"

namespace lumeno {

namespace {
std::span<const WindowLayout> g_layouts;
std::span<const EventBinding> g_bindings;
std::span<const TooltipSource> g_tooltips;
}  // namespace

void UseWindowLayouts(std::span<const WindowLayout> layouts, std::span<const EventBinding> bindings) {
  g_layouts = layouts;
  g_bindings = bindings;
}

void UseTooltips(std::span<const TooltipSource> sources) { g_tooltips = sources; }
std::span<const TooltipSource> AllTooltips() { return g_tooltips; }

std::span<const WindowLayout> AllWindowLayouts() { return g_layouts; }
std::span<const EventBinding> AllEventBindings() { return g_bindings; }

const WindowLayout* FindWindowLayout(WindowId window) { return FindWindowLayout(g_layouts, window); }

const WindowLayout* FindWindowLayout(std::span<const WindowLayout> layouts, WindowId window) {
  for (const WindowLayout& layout : layouts)
    if (layout.id == window) return &layout;
  return nullptr;
}

const EventBinding* FindEventBinding(WindowId window, ControlId control, Event event) {
  for (const EventBinding& binding : g_bindings)
    if (binding.window == window && binding.control == control && binding.event == event) return &binding;
  return nullptr;
}

bool RunEventHandler(WindowId window, ControlId control, Event event) {
  const EventBinding* binding = FindEventBinding(window, control, event);
  if (!binding) return false;
  if (binding->handler) binding->handler();
  if (binding->handler_of_control) binding->handler_of_control(control);
  return true;
}

std::optional<ControlId> FindTaggedControl(const WindowLayout& layout, int tag) {
  for (const ControlRow& row : layout.controls)
    if (TagNumber(row.tag) == tag) return row.id;
  return std::nullopt;
}

const ControlRow* FindControlRow(const WindowLayout& layout, ControlId control) {
  for (const ControlRow& row : layout.controls)
    if (row.id == control) return &row;
  return nullptr;
}

}  // namespace lumeno
