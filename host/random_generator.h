#pragma once

#include <cstdint>

// The module's pseudo-random generator: a 32-bit linear congruential sequence, seeded once per
// load from a clock and never reseeded, so every draw while the module stays loaded comes from one
// sequence and two runs of the host draw independent ones.
namespace vf {

class TRandomGenerator {
 public:
  explicit TRandomGenerator(std::uint32_t seed) : FSeed(seed) {}

  // An integer in 0 .. n - 1 (0 for n <= 0): the seed steps to seed * 134775813 + 1, and the draw
  // is the upper half of the 64-bit product seed * n.
  std::int32_t Random(std::int32_t n) {
    FSeed = FSeed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<std::int32_t>((std::uint64_t{FSeed} * static_cast<std::uint32_t>(n)) >> 32);
  }

  std::uint32_t Seed() const { return FSeed; }

 private:
  std::uint32_t FSeed;
};

// The low 32 bits of the high-resolution counter, or the millisecond tick count without one.
std::uint32_t ClockSeed();

// Seeded when the module is loaded.
TRandomGenerator& ModuleRandom();

}  // namespace vf
