// Recording fakes of the junk and privacy cleaning operations.
#include <string>

#include "cleaning/junk_cleaning.h"
#include "fakes/recorder.h"

namespace lumeno {

bool CleanSystemJunk(int kind) {
  fake::Record("CleanSystemJunk", {std::to_string(kind)});
  return true;
}

bool CleanPrivacyTraces(int kind) {
  fake::Record("CleanPrivacyTraces", {std::to_string(kind)});
  return true;
}

}  // namespace lumeno
