// Recording fakes of the junk and privacy cleaning operations.
#include <string>

#include "cleaning/junk_cleaning.h"
#include "fakes/recorder.h"

namespace lumeno {

namespace {

// True unless State::cleaning_errors names the call; then false with its
// code. The report, when asked for, gets State::cleaning_reports' entry.
bool Answer(const char* op, int kind, CleaningReport* report) {
  fake::Record(op, {std::to_string(kind)});
  auto& state = fake::GetState();
  if (auto named = state.cleaning_reports.find({op, kind}); report && named != state.cleaning_reports.end())
    *report = named->second;
  auto it = state.cleaning_errors.find({op, kind});
  if (it == state.cleaning_errors.end()) return true;
  state.last_error = it->second;
  return false;
}

}  // namespace

bool CleanSystemJunk(int kind, CleaningReport* report) { return Answer("CleanSystemJunk", kind, report); }

bool CleanPrivacyTraces(int kind, CleaningReport* report) { return Answer("CleanPrivacyTraces", kind, report); }

// Counting changes nothing: answered from State::cleaning_tallies, unrecorded.
CleaningTally CountSystemJunk(int kind) { return fake::GetState().cleaning_tallies["CleanSystemJunk " + std::to_string(kind)]; }
CleaningTally CountPrivacyTraces(int kind) {
  return fake::GetState().cleaning_tallies["CleanPrivacyTraces " + std::to_string(kind)];
}
CleaningTally CountFolder(const Text& folder) { return fake::GetState().cleaning_tallies[folder]; }

}  // namespace lumeno
