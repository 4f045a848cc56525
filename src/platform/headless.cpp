#include "platform/headless.h"

namespace lumeno {

namespace {

// Set once on the main thread before any handler runs and cleared after the
// last one; no handler starts a thread while it is set.
HeadlessSession* g_session = nullptr;

}  // namespace

PropertyValue HeadlessSession::Read(WindowId window, ControlId control, int index) const {
  auto it = properties_.find({window, control, index});
  return it == properties_.end() ? PropertyValue{} : it->second;
}

void HeadlessSession::Write(WindowId window, ControlId control, int index, const PropertyValue& value) {
  properties_[{window, control, index}] = value;
}

void HeadlessSession::Clear() {
  properties_.clear();
  reports_.clear();
}

void HeadlessSession::Report(const Text& text, int style, const Text& title) {
  reports_.push_back({text, style, title});
}

HeadlessSession* ActiveHeadlessSession() { return g_session; }
void SetActiveHeadlessSession(HeadlessSession* session) { g_session = session; }

void NoteInRunLog(const Text& line) {
  if (g_session && g_session->note) g_session->note(line);
}

}  // namespace lumeno
