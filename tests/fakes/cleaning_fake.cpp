// Recording fakes of the junk and privacy cleaning operations.
#include <string>

#include "cleaning/junk_cleaning.h"
#include "fakes/recorder.h"

namespace lumeno {

namespace {

// True unless State::cleaning_errors names the call; then false with its code.
bool Answer(const char* op, int kind) {
  fake::Record(op, {std::to_string(kind)});
  auto& errors = fake::GetState().cleaning_errors;
  auto it = errors.find({op, kind});
  if (it == errors.end()) return true;
  fake::GetState().last_error = it->second;
  return false;
}

}  // namespace

bool CleanSystemJunk(int kind) { return Answer("CleanSystemJunk", kind); }

bool CleanPrivacyTraces(int kind) { return Answer("CleanPrivacyTraces", kind); }

}  // namespace lumeno
