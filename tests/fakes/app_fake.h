// Recording fake of the hung-program operations of src/app.
//   ListHungWindowTitles    {}
//   TerminateProcessByName  {name}
#pragma once

#include <vector>

#include "platform/text.h"

namespace lumeno::fake {

// The titles the next ListHungWindowTitles calls answer with. Tests set it;
// fake::Reset() does not touch it.
std::vector<Text>& HungWindowTitles();

}  // namespace lumeno::fake
