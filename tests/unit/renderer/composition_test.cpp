// How a background is composed: the plan of part draws for every placement kind, and the composer
// object over the fixture images (which centre wins, padding from edges only, when it composes).
#include <gtest/gtest.h>

#include "back_end_param.h"

#include <algorithm>

#include "renderer/composition_plan.h"
#include "renderer/fan_background.h"
#include "renderer/imaging_lifetime.h"
#include "support/image_compare.h"

namespace vf {
namespace {

using S = TPartSlot;
using P = TTypePos;

TPartLayouts Layout(std::initializer_list<std::pair<TPartSlot, TPartLayout>> parts) {
  TPartLayouts layouts;
  for (const auto& [slot, layout] : parts) layouts[static_cast<std::size_t>(slot)] = layout;
  return layouts;
}

std::vector<TGPRect> RectsOf(const std::vector<TPartDraw>& draws, TPartSlot slot) {
  std::vector<TGPRect> rects;
  for (const auto& d : draws)
    if (d.Slot == slot) rects.push_back(d.Rect);
  return rects;
}

std::vector<std::int32_t> Xs(const std::vector<TGPRect>& rects) {
  std::vector<std::int32_t> xs;
  for (const auto& r : rects) xs.push_back(r.X);
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  return xs;
}

TEST(CompositionPlan, TiledCentreRunsReachThePastTheFarSide) {
  const struct {
    std::int32_t innerW;
    std::vector<std::int32_t> columns;
  } cases[] = {{100, {0, 30, 60, 90}}, {90, {0, 30, 60, 90}}, {29, {0}}, {30, {0, 30}}};
  for (const auto& c : cases) {
    const auto draws = PlanComposition(Layout({{S::Centr, {30, 20, P::tpPart}}}), c.innerW, 40);
    const auto rects = RectsOf(draws, S::Centr);
    EXPECT_EQ(Xs(rects), c.columns) << c.innerW;
    EXPECT_EQ(rects.size(), c.columns.size() * 3) << "rows 0, 20, 40 in each column";
    for (const auto& d : draws) EXPECT_FALSE(d.IsSiding) << "tiles are drawn at their own size";
  }
}

TEST(CompositionPlan, NegativeInnerSizesAndTheTruncatingRun) {
  // Left and right edges of 70 or 60 in a 100-wide composition leave -40 or -20 inside.
  for (const auto& [edge, copies] : {std::pair{70, 0u}, {60, 1u}}) {
    const auto parts = Layout({{S::Centr, {30, 30, P::tpHorz}},
                               {S::LeftTopBottom, {edge, 10, P::tpStretch}},
                               {S::RightTopBottom, {edge, 10, P::tpStretch}}});
    const auto centre = RectsOf(PlanComposition(parts, 100, 50), S::Centr);
    ASSERT_EQ(centre.size(), copies) << edge;
    if (copies == 1) {
      EXPECT_EQ(centre[0], MakeGPRect(60, 0, 30, 50));
    }
  }
  // A stretched centre then has a width below 1, which the draw itself ignores.
  const auto stretched = RectsOf(
      PlanComposition(Layout({{S::Centr, {30, 30, P::tpStretch}}, {S::LeftTopBottom, {70, 10, P::tpStretch}},
                              {S::RightTopBottom, {70, 10, P::tpStretch}}}),
                      100, 50),
      S::Centr);
  ASSERT_EQ(stretched.size(), 1u);
  EXPECT_EQ(stretched[0].Width, -40);
}

TEST(CompositionPlan, EdgesAndCornersInPaintingOrder) {
  const auto parts = Layout({{S::Centr, {10, 10, P::tpStretch}},
                             {S::TopLeftRight, {40, 5, P::tpPart}},
                             {S::BottomLeftRight, {7, 6, P::tpStretch}},
                             {S::LeftTopBottom, {8, 30, P::tpPart}},
                             {S::RightTopBottom, {9, 3, P::tpStretch}},
                             {S::TopLeft, {4, 4, P::tpNone}},
                             {S::TopRight, {5, 5, P::tpNone}},
                             {S::BottomLeft, {6, 6, P::tpNone}},
                             {S::BottomRight, {7, 7, P::tpNone}}});
  const auto draws = PlanComposition(parts, 117, 71);  // inner 100 x 60
  EXPECT_EQ(PaddingOf(parts), (TRect{8, 5, 9, 6}));
  EXPECT_EQ(RectsOf(draws, S::Centr), (std::vector<TGPRect>{{8, 5, 100, 60}}));
  // A tiled edge starts after the neighbouring edge and counts its own tiles.
  EXPECT_EQ(RectsOf(draws, S::TopLeftRight),
            (std::vector<TGPRect>{{8, 0, 40, 5}, {48, 0, 40, 5}, {88, 0, 40, 5}}));
  EXPECT_EQ(RectsOf(draws, S::LeftTopBottom),
            (std::vector<TGPRect>{{0, 5, 8, 30}, {0, 35, 8, 30}, {0, 65, 8, 30}}));
  // Stretched edges span the whole side.
  EXPECT_EQ(RectsOf(draws, S::BottomLeftRight), (std::vector<TGPRect>{{0, 65, 117, 6}}));
  EXPECT_EQ(RectsOf(draws, S::RightTopBottom), (std::vector<TGPRect>{{108, 0, 9, 71}}));
  // The corners come last and cover the ends.
  ASSERT_GE(draws.size(), 4u);
  const std::vector<TPartDraw> corners(draws.end() - 4, draws.end());
  EXPECT_EQ(corners, (std::vector<TPartDraw>{{S::TopLeft, {0, 0, 4, 4}, true},
                                             {S::TopRight, {112, 0, 5, 5}, true},
                                             {S::BottomLeft, {0, 65, 6, 6}, true},
                                             {S::BottomRight, {110, 64, 7, 7}, true}}));
  for (const auto& d : draws) EXPECT_TRUE(d.IsSiding);
}

TEST(CompositionPlan, VerticalCentreRowsAndCornerOnlyBackgrounds) {
  const auto rows = RectsOf(PlanComposition(Layout({{S::Centr, {10, 25, P::tpVert}}}), 80, 60), S::Centr);
  EXPECT_EQ(rows, (std::vector<TGPRect>{{0, 0, 80, 25}, {0, 25, 80, 25}, {0, 50, 80, 25}}));

  const auto corners = Layout({{S::TopLeft, {20, 20, P::tpNone}}, {S::BottomRight, {20, 20, P::tpNone}}});
  EXPECT_EQ(PaddingOf(corners), TRect{});
  EXPECT_EQ(PlanComposition(corners, 50, 50).size(), 2u);
  EXPECT_TRUE(PlanComposition(TPartLayouts{}, 50, 50).empty());
}

class BackgroundTest : public ::testing::TestWithParam<bool> {
 protected:
  ImagingUser imaging;
};

TEST_P(BackgroundTest, FixtureBackgrounds) {
  TFanBackground background(1, 0, 0, GetParam());
  EXPECT_EQ(background.SkinCount(), 2);
  EXPECT_EQ(background.Parts().PosCentr, TTypePos::tpPart) << "the tiled centre is tried first";
  EXPECT_EQ(background.Bitmap().Width(), 0) << "nothing is composed before SetSize";
  EXPECT_EQ(background.Width(), 0);

  background.SetBackIndex(2);  // corners and edges, no centre
  EXPECT_EQ(background.Parts().PosCentr, TTypePos::tpNone);
  EXPECT_EQ(background.Parts().PosLeftTopBottom, TTypePos::tpPart);
  EXPECT_EQ(background.Parts().PosTopLeftRight, TTypePos::tpStretch);
  EXPECT_EQ(background.Padding(), (TRect{3, 2, 0, 0})) << "edges only, not the corners";

  background.SetBackIndex(42);  // nothing at all: no error, no padding, a white composition
  EXPECT_EQ(background.Padding(), TRect{});
  background.SetSize(20, 10, 40, 20);
  const auto pixels = platform::ReadPixels(background.Bitmap().DC(), 0, 0, 40, 20);
  EXPECT_EQ(pixels.At(20, 10).r, 255);
}

TEST_P(BackgroundTest, IndexWriteKeepsTheCompositionUntilSetSize) {
  TFanBackground background(0, 0, 0, GetParam());
  background.SetSize(30, 20, 60, 40);
  const auto composed = platform::ReadPixels(background.Bitmap().DC(), 0, 0, 60, 40);
  background.SetBackIndex(2);
  EXPECT_EQ(background.Padding(), (TRect{3, 2, 0, 0}));
  EXPECT_TRUE(test::ImagesMatch(platform::ReadPixels(background.Bitmap().DC(), 0, 0, 60, 40), composed,
                                "kept_composition"));
  background.SetSize(30, 20, 60, 40);  // the same sizes still compose, now the new parts
  EXPECT_TRUE(test::ImagesDiffer(platform::ReadPixels(background.Bitmap().DC(), 0, 0, 60, 40), composed,
                                 "new_composition"));
}

TEST_P(BackgroundTest, BackEndWriteBeforeAnySizeComposesNothing) {
  TFanBackground background(0, 0, 0, GetParam());
  EXPECT_NO_THROW(background.SetIsGdiPlus(!GetParam()));
  EXPECT_EQ(background.IsGdiPlus(), !GetParam());
  EXPECT_EQ(background.Bitmap().Width(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, BackgroundTest, ::testing::Bool(), test::BackEndParamName);

}  // namespace
}  // namespace vf
