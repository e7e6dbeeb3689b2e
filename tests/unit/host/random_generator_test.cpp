// The generator's sequence is fixed by its seed: from seed 0, five draws for n = 5.
#include "host/random_generator.h"

#include <gtest/gtest.h>

namespace vf {
namespace {

TEST(RandomGenerator, SequenceFromSeedZero) {
  TRandomGenerator generator(0);
  const std::uint32_t seeds[] = {1, 134775814, 3698175007u, 870078620, 1172187917};
  const std::int32_t draws[] = {0, 0, 4, 1, 1};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(generator.Random(5), draws[i]) << "draw " << i;
    EXPECT_EQ(generator.Seed(), seeds[i]) << "draw " << i;
  }
}

TEST(RandomGenerator, DrawsStayInRange) {
  TRandomGenerator generator(ClockSeed());
  for (int i = 0; i < 1000; ++i) {
    const auto draw = generator.Random(5);
    EXPECT_GE(draw, 0);
    EXPECT_LT(draw, 5);
  }
  EXPECT_EQ(generator.Random(0), 0);
}

}  // namespace
}  // namespace vf
