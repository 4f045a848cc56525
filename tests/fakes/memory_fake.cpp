#include "fakes/memory_fake.h"

#include <string>

#include "fakes/recorder.h"
#include "memory/memory.h"

namespace lumeno::fake {

std::map<int, int>& MemoryFigures() {
  static std::map<int, int> figures;
  return figures;
}

}  // namespace lumeno::fake

namespace lumeno {

int QueryMemoryMB(int kind) {
  fake::Record("QueryMemoryMB", {std::to_string(kind)});
  auto& figures = fake::MemoryFigures();
  auto it = figures.find(kind);
  return it == figures.end() ? 0 : it->second;
}

}  // namespace lumeno
