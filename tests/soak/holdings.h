#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the process holds, as the system counts it: on Windows its GDI and USER objects, handles,
// private bytes and working set; elsewhere its resident and mapped bytes and open file
// descriptors. Each count has the growth a long run may show without anything leaking (allocator
// caches, the loader).
namespace soak {

struct Count {
  const char* name;
  std::uint64_t value;
  std::uint64_t slack;
  std::uint64_t unit;  // what value is printed in
  const char* unitName;
};
using Holdings = std::vector<Count>;

Holdings Current();
// Whether GDI and USER objects are among the counts: Windows counts them, wine does not, and
// other systems have none.
bool GuiObjectsCounted();
// The counts on one line, each in its unit.
std::string Describe(const Holdings& holdings);

}  // namespace soak
