// The composition size and the fan squares for every listed area, padding and fan size, including
// the thresholds between one fan, a row of two and two touching fans, and sizes at the 32-bit edge.
#include "renderer/fan_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>

namespace vf {

std::ostream& operator<<(std::ostream& out, const TGPRect& r) {
  return out << "(" << r.X << ", " << r.Y << ", " << r.Width << ", " << r.Height << ")";
}

namespace {

constexpr TGPRect kAbsent{-1, -1, 1, 1};

struct LayoutCase {
  std::int32_t AW, AH;
  std::int32_t fan;  // square fan image side
  TRect padding;
  TCompositionSize composition;
  TGPRect R1, R2;
};

const LayoutCase kCases[] = {
    // No padding, a 119-pixel fan.
    {200, 100, 119, {}, {238, 119}, {0, 0, 100, 100}, {100, 0, 100, 100}},
    {199, 100, 119, {}, {237, 119}, {49, 0, 100, 100}, kAbsent},
    {300, 200, 119, {}, {178, 119}, {50, 0, 200, 200}, kAbsent},  // 178.5 to even
    {319, 240, 119, {}, {158, 119}, {39, 0, 240, 240}, kAbsent},
    {320, 239, 119, {}, {159, 119}, {41, 0, 239, 239}, kAbsent},
    {320, 240, 119, {}, {159, 119}, {0, 40, 160, 160}, {160, 40, 160, 160}},
    {400, 240, 119, {}, {198, 119}, {0, 20, 200, 200}, {200, 20, 200, 200}},
    {500, 200, 119, {}, {298, 119}, {50, 0, 200, 200}, {250, 0, 200, 200}},
    {640, 480, 119, {}, {159, 119}, {0, 80, 320, 320}, {320, 80, 320, 320}},
    {240, 320, 119, {}, {119, 159}, {0, 40, 240, 240}, kAbsent},
    {400, 400, 119, {}, {119, 119}, {0, 100, 200, 200}, {200, 100, 200, 200}},
    {320, 400, 119, {}, {119, 149}, {0, 120, 160, 160}, {160, 120, 160, 160}},
    {1, 1, 119, {}, {119, 119}, {0, 0, 1, 1}, kAbsent},
    {100, 1, 119, {}, {11900, 119}, {49, 0, 1, 1}, {50, 0, 1, 1}},
    // A 143-pixel fan changes only the composition size.
    {200, 100, 143, {}, {286, 143}, {0, 0, 100, 100}, {100, 0, 100, 100}},
    {300, 200, 143, {}, {214, 143}, {50, 0, 200, 200}, kAbsent},  // 214.5 to even
    // Borders of 10 composition pixels on every side.
    {400, 100, 119, {10, 10, 10, 10}, {476, 119}, {112, 8, 84, 84}, {204, 8, 84, 84}},
    {320, 240, 119, {10, 10, 10, 10}, {159, 119}, {20, 50, 140, 140}, {160, 50, 140, 140}},
    {200, 150, 119, {10, 10, 10, 10}, {159, 119}, {38, 13, 124, 124}, kAbsent},
    // Uneven borders: sL = sR = 17, sT = sB = 4, gap = 10.
    {400, 100, 119, {20, 5, 20, 5}, {476, 119}, {103, 4, 92, 92}, {205, 4, 92, 92}},
};

TEST(FanLayout, EveryListedArea) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.AW << " x " << c.AH << ", fan " << c.fan << ", padding "
                                    << c.padding.Left << "/" << c.padding.Top);
    const auto composition = CalcCompositionSize(c.fan, c.fan, c.AW, c.AH);
    EXPECT_EQ(composition, c.composition);
    const auto rects =
        CalcFanRects(composition.OrigWidth, composition.OrigHeight, c.padding, c.AW, c.AH);
    EXPECT_EQ(rects.R1, c.R1);
    EXPECT_EQ(rects.R2, c.R2);
    EXPECT_EQ(IsAbsent(rects.R2), c.R2 == kAbsent);
  }
}

TEST(FanLayout, BordersWiderThanTheAreaStillGiveSquaresOfAtLeastOnePixel) {
  const auto rects = CalcFanRects(119, 119, {100, 100, 100, 100}, 50, 50);
  EXPECT_EQ(rects.R1.Width, 1);
  EXPECT_EQ(rects.R1.Height, 1);
  EXPECT_NE(rects.R1.X, -1);
}

TEST(FanLayout, HugeAreasSaturateInsteadOfOverflowing) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  const auto wide = CalcCompositionSize(143, 143, kMax, 1);
  EXPECT_EQ(wide.OrigWidth, kMax);
  EXPECT_EQ(wide.OrigHeight, 143);
  const auto tall = CalcCompositionSize(143, 143, 1, kMax);
  EXPECT_EQ(tall.OrigHeight, kMax);

  const auto rects = CalcFanRects(wide.OrigWidth, wide.OrigHeight, {10, 10, 10, 10}, kMax, kMax);
  EXPECT_GE(rects.R1.Width, 1);
  EXPECT_FALSE(IsAbsent(rects.R2));
  EXPECT_GT(rects.R2.X, rects.R1.X);
}

// Areas up to far thinner than any player shows keep their composition; beyond, it is shrunk to
// the budget with its aspect ratio, down to sides of one pixel.
TEST(FanLayout, CompositionOfThinAreasStaysWithinItsBudget) {
  const struct {
    std::int32_t AW, AH;
    bool kept;
  } cases[] = {{640, 480, true},   {1, 1, true},       {1920, 20, true},   {20, 1920, true},
               {100000, 1, false}, {1, 100000, false}, {100000, 9, false}, {std::numeric_limits<std::int32_t>::max(), 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.AW << " x " << c.AH);
    const auto orig = CalcCompositionSize(119, 119, c.AW, c.AH);
    const auto limited = LimitCompositionSize(orig, c.AW, c.AH);
    if (c.kept) {
      EXPECT_EQ(limited, orig);
      continue;
    }
    const std::int64_t budget = std::max(kCompositionBudgetFloor, 4 * std::int64_t{c.AW} * c.AH);
    EXPECT_LE(std::int64_t{limited.OrigWidth} * limited.OrigHeight, budget);
    EXPECT_GE(std::int64_t{limited.OrigWidth} * limited.OrigHeight, budget / 4) << "shrunk too far";
    EXPECT_GE(std::min(limited.OrigWidth, limited.OrigHeight), 1);
    EXPECT_EQ(limited.OrigWidth >= limited.OrigHeight, orig.OrigWidth >= orig.OrigHeight);
  }
}

}  // namespace
}  // namespace vf
