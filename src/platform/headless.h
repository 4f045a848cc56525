// Running the handlers without any window.
//
// The handlers reach their controls only through ReadProperty and
// WriteProperty and report only through ShowMessageBox. While a
// HeadlessSession is active, those operations (the window engine's and the
// recording fake's alike) act on the session instead: properties live in its
// store, and a message box becomes a report that nobody has to answer. The
// handlers themselves cannot tell the difference, so an unattended run takes
// exactly the road a click takes. Portable.
#pragma once

#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "platform/platform.h"

namespace lumeno {

struct MessageReport {
  Text text;
  int style = 0;
  Text title;
};

class HeadlessSession {
 public:
  // Properties never written read as the number 0 (unticked) or an empty text.
  PropertyValue Read(WindowId window, ControlId control, int index) const;
  void Write(WindowId window, ControlId control, int index, const PropertyValue& value);
  // Forgets every property and report: the next handler starts from unticked
  // controls, as in a freshly opened window.
  void Clear();

  void Report(const Text& text, int style, const Text& title);
  const std::vector<MessageReport>& Reports() const { return reports_; }

  // Where extra lines for the run's log go (a backup file written, say).
  std::function<void(const Text& line)> note;
  // Called with the fatal-error text instead of showing the error box;
  // returns the exit code the process then ends with.
  std::function<int(const Text& text)> fatal;

 private:
  std::map<std::tuple<WindowId, ControlId, int>, PropertyValue> properties_;
  std::vector<MessageReport> reports_;
};

// The active session, or nullptr when the program runs with its windows.
HeadlessSession* ActiveHeadlessSession();
void SetActiveHeadlessSession(HeadlessSession* session);

// Adds a line to the log of an unattended run; does nothing otherwise.
void NoteInRunLog(const Text& line);

}  // namespace lumeno
