#include "host/random_generator.h"

#include "platform/clock.h"

namespace vf {

std::uint32_t ClockSeed() {
  std::int64_t counter = 0;
  if (platform::QueryPerformanceCounter(counter)) return static_cast<std::uint32_t>(counter);
  return platform::GetTickCount();
}

namespace {
// Seeded during the module's static initialisation, that is once per load. Reading a clock is
// safe there; starting the imaging library would not be, which is why that waits for first use.
TRandomGenerator gModuleRandom(ClockSeed());
}  // namespace

TRandomGenerator& ModuleRandom() { return gModuleRandom; }

}  // namespace vf
