// The fan scene: when it builds, what a render copies, how skin and size changes reset what the
// cache shows, its failure paths, and whole scenes against reference images, on both back ends.
#include "renderer/fans.h"

#include <gtest/gtest.h>

#include "back_end_param.h"

#include "reference_image.h"
#include "renderer/errors.h"
#include "renderer/imaging_lifetime.h"

namespace vf {

// Reaches the scene's private selectors, which the public operations never pass out of range.
struct TFansTestAccess {
  static void SetSkinIndex(TFans& fans, std::int32_t index, std::int32_t value) { fans.SetSkinIndex(index, value); }
  static void ChangeSkins(TFans& fans, std::int32_t kind) { fans.ChangeSkins(kind, 0, 0); }
  static void DrawFrameTo(TFans& fans, std::int32_t position) { fans.DrawFrameTo(fans.FCacheBmp.DC(), position, 0); }
};

namespace {

using test::Pixels;

platform::PixelBuffer CacheArea(const TFans& fans, const TFans::TBitmapFrame& position) {
  const auto& bitmap = *position.Bitmaps.front();
  return platform::ReadPixels(fans.Cache().DC(), position.Pos.X, position.Pos.Y, bitmap.Width(), bitmap.Height());
}

// Whether the cache shows pre-rendered frame `frame` at the position.
::testing::AssertionResult Shows(const TFans& fans, const TFans::TBitmapFrame& position, int frame) {
  return test::ImagesMatch(CacheArea(fans, position), Pixels(*position.Bitmaps.at(static_cast<std::size_t>(frame))),
                           "cache_frame");
}

// Whether the cache shows the plain background at the position.
::testing::AssertionResult ShowsBackground(const TFans& fans, const TFans::TBitmapFrame& position) {
  const auto& bitmap = *position.Bitmaps.front();
  const auto expected = platform::ReadPixels(fans.Background().Bitmap().DC(), position.Pos.X, position.Pos.Y,
                                             bitmap.Width(), bitmap.Height());
  return test::ImagesMatch(CacheArea(fans, position), expected, "cache_background");
}

class FansTest : public ::testing::TestWithParam<bool> {
 protected:
  ImagingUser imaging;
};

TEST_P(FansTest, UnbuiltUntilTheFirstSizeThenShowsTheStoredFrames) {
  TFans fans(0, 0, 0, 0, GetParam());
  EXPECT_EQ(fans.Width(), 0);
  EXPECT_EQ(fans.FramesCount(), 31);
  EXPECT_EQ(fans.SkinFanCount(), 3);
  EXPECT_EQ(fans.SkinBackgroundCount(), 10);
  platform::Surface target;
  target.SetSize(20, 20);
  const auto white = Pixels(target);
  fans.DrawTo(target.DC());
  EXPECT_TRUE(test::ImagesMatch(Pixels(target), white, "unbuilt_draw"));

  fans.UpdateFan(3, 4);
  EXPECT_EQ(fans.Info().Frame1, 3);
  EXPECT_EQ(fans.Info().Frame2, 4);
  fans.SetSize(400, 240);
  const auto& frames = fans.BitmapFrames();
  ASSERT_EQ(frames.Frame1.Bitmaps.size(), 31u);
  ASSERT_EQ(frames.Frame2.Bitmaps.size(), 31u);
  EXPECT_EQ(frames.Frame1.Pos, (TPoint{0, 20}));
  EXPECT_EQ(frames.Frame2.Pos, (TPoint{200, 20}));
  EXPECT_TRUE(Shows(fans, frames.Frame1, 3));
  EXPECT_TRUE(Shows(fans, frames.Frame2, 4));
}

// Marks a pre-rendered bitmap; a rebuild replaces every bitmap, so the mark survives only without.
void Mark(const TFans& fans) {
  platform::PixelBuffer mark(1, 1);
  mark.At(0, 0) = {1, 2, 3, 4};
  platform::WritePixels(fans.BitmapFrames().Frame1.Bitmaps.front()->DC(), 0, 0, mark);
}
bool Marked(const TFans& fans) {
  return platform::ReadPixels(fans.BitmapFrames().Frame1.Bitmaps.front()->DC(), 0, 0, 1, 1).At(0, 0) ==
         platform::Pixel32{1, 2, 3, 4};
}

TEST_P(FansTest, SizeChangesRebuildOnlyWhenTheArgumentsDiffer) {
  TFans fans(0, 3, 320, 240, GetParam());
  Mark(fans);
  fans.SetSize(320, 240);
  EXPECT_TRUE(Marked(fans)) << "the same size must not rebuild";

  // Zero is clamped to 1 but compared as passed, so a second 0 x 0 rebuilds again.
  fans.SetSize(0, 0);
  EXPECT_EQ(fans.Width(), 1);
  EXPECT_EQ(fans.Height(), 1);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.front()->Width(), 1);
  Mark(fans);
  fans.SetSize(0, 0);
  EXPECT_FALSE(Marked(fans));
}

TEST_P(FansTest, RenderCopiesOnlyChangedFramesAndTheWholeCache) {
  TFans fans(1, 4, 300, 200, GetParam());
  const auto& frames = fans.BitmapFrames();
  EXPECT_EQ(frames.Frame2.Pos.X, -1) << "300 x 200 shows one fan";
  EXPECT_TRUE(frames.Frame2.Bitmaps.empty());
  fans.UpdateFan(5, 9);
  EXPECT_TRUE(Shows(fans, frames.Frame1, 5));
  EXPECT_EQ(fans.Info().Frame2, 9);

  platform::Surface target;
  target.SetSize(300, 200);
  fans.DrawTo(target.DC());
  EXPECT_TRUE(test::ImagesMatch(Pixels(target), Pixels(fans.Cache()), "draw_to"));
}

TEST_P(FansTest, SkinWritesLeaveTheBackgroundUntilTheNextUpdate) {
  TFans fans(0, 0, 400, 240, GetParam());
  const auto& frames = fans.BitmapFrames();
  fans.UpdateFan(1, 2);
  fans.SetSkinBackgroundIndex(0);  // the same index still rebuilds
  EXPECT_EQ(fans.Info().Frame1, -1);
  EXPECT_TRUE(ShowsBackground(fans, frames.Frame1));
  EXPECT_TRUE(ShowsBackground(fans, frames.Frame2));
  fans.UpdateFan(1, 2);
  EXPECT_TRUE(Shows(fans, frames.Frame1, 1));
  EXPECT_TRUE(Shows(fans, frames.Frame2, 2));

  fans.SetSkinFanIndex(2);
  EXPECT_EQ(fans.FramesCount(), 30);
  EXPECT_EQ(frames.Frame1.Bitmaps.size(), 30u);
  EXPECT_THROW(fans.UpdateFan(30, 0), EArgumentOutOfRangeException);
  EXPECT_EQ(fans.Info().Frame1, -1) << "a failed update stores nothing";
  fans.UpdateFan(29, 0);
  EXPECT_TRUE(Shows(fans, frames.Frame1, 29));
}

TEST_P(FansTest, SkinWithoutFramesKeepsTheOldPictureAndFailsRebuilds) {
  EXPECT_THROW(TFans(3, 0, 0, 0, GetParam()), Exception);

  TFans fans(0, 0, 320, 240, GetParam());
  fans.UpdateFan(2, 3);
  EXPECT_THROW(fans.SetSkinFanIndex(3), Exception);
  EXPECT_EQ(fans.SkinFanIndex(), 3);
  EXPECT_EQ(fans.Info().Frame1, -1);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.size(), 31u) << "no rebuild took place";
  fans.UpdateFan(4, 5);
  EXPECT_TRUE(Shows(fans, fans.BitmapFrames().Frame1, 4));
  EXPECT_THROW(fans.SetSize(400, 300), EArgumentOutOfRangeException);

  fans.SetSkinFanIndex(1);  // a skin with frames makes the scene whole again
  fans.SetSize(640, 480);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.size(), 31u);
}

TEST_P(FansTest, ResizeBelowTheTwoFanThreshold) {
  TFans fans(0, 0, 320, 240, GetParam());
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.front()->Width(), 160);
  EXPECT_NE(fans.BitmapFrames().Frame2.Pos.X, -1);
  fans.SetSize(319, 240);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.front()->Width(), 240);
  EXPECT_EQ(fans.BitmapFrames().Frame2.Pos.X, -1);
}

TEST_P(FansTest, ChangesWhileUnbuiltReloadAndWaitForTheFirstSize) {
  TFans fans(0, 0, 0, 0, GetParam());
  fans.SetIsGdiPlus(!GetParam());
  fans.SetSkinFanIndex(1);
  fans.SetSkinBackgroundIndex(5);
  fans.SkinsIndex(2, 6);
  EXPECT_EQ(fans.Width(), 0);
  EXPECT_EQ(fans.FramesCount(), 30);
  fans.SetSize(320, 240);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.size(), 30u);
  EXPECT_EQ(fans.SkinBackgroundIndex(), 6);
}

TEST_P(FansTest, WholeScenesMatchReferences) {
  const struct {
    std::int32_t fan, background, width, height, frame1, frame2;
    const char* name;
  } scenes[] = {{0, 0, 640, 480, 0, 7, "scene_640x480_two_fans"},
                {1, 1, 300, 200, 4, 0, "scene_300x200_one_fan"},
                {2, 2, 240, 320, 10, 0, "scene_240x320_portrait"},
                {0, 5, 320, 240, 3, 16, "scene_320x240_plain"}};
  for (const auto& s : scenes) {
    TFans fans(s.fan, s.background, s.width, s.height, GetParam());
    fans.UpdateFan(s.frame1, s.frame2);
    platform::Surface target;
    target.SetSize(s.width, s.height);
    fans.DrawTo(target.DC());
    EXPECT_TRUE(test::MatchesReference(Pixels(target), std::string(s.name) + "_" + test::BackEndName(GetParam())));
  }
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, FansTest, ::testing::Bool(), test::BackEndParamName);

TEST(FansSelectors, OutOfRangeSelectorsRaiseAndChangeNothing) {
  ImagingUser imaging;
  TFans fans(0, 0, 200, 100, true);
  for (auto call : {+[](TFans& f) { TFansTestAccess::SetSkinIndex(f, 2, 1); },
                    +[](TFans& f) { TFansTestAccess::ChangeSkins(f, 3); },
                    +[](TFans& f) { TFansTestAccess::ChangeSkins(f, -1); },
                    +[](TFans& f) { TFansTestAccess::DrawFrameTo(f, 2); }}) {
    try {
      call(fans);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Error Message");
    }
  }
  EXPECT_EQ(fans.SkinFanIndex(), 0);
  EXPECT_EQ(fans.SkinBackgroundIndex(), 0);
}

}  // namespace
}  // namespace vf
