#include "fakes/app_fake.h"

#include "hung_programs/hung_programs.h"
#include "fakes/recorder.h"

namespace lumeno::fake {

std::vector<Text>& HungWindowTitles() {
  static std::vector<Text> titles;
  return titles;
}

}  // namespace lumeno::fake

namespace lumeno {

std::vector<Text> ListHungWindowTitles() {
  fake::Record("ListHungWindowTitles");
  return fake::HungWindowTitles();
}

bool TerminateProcessByName(const Text& name) {
  fake::Record("TerminateProcessByName", {name});
  return !name.empty();
}

}  // namespace lumeno
