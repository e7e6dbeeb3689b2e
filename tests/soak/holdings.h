#pragma once

#include <cstdint>
#include <vector>

// What the process holds, as the system counts it: on Windows its GDI and USER objects, handles and
// private bytes; elsewhere its resident and mapped bytes and open file descriptors. Each count has
// the growth a long run may show without anything leaking (allocator caches, the loader).
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
// False where the system counts none of it (wine), so the table shows only that every phase ran.
bool CountsAnything();

}  // namespace soak
