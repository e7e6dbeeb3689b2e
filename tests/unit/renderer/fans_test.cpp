// The fan scene: when it builds, what a render draws and what it copies, how skin and size changes
// make frames stale and reset what the cache shows, the frame cache's cap, its failure paths, and
// whole scenes against reference images, on both back ends.
#include "renderer/fans.h"

#include <gtest/gtest.h>

#include <new>
#include <utility>
#include <vector>

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

// The frames of a scene of the same skins, size and back end, every one pre-rendered at once.
struct FullPreRender {
  FullPreRender(std::int32_t fan, std::int32_t background, std::int32_t width, std::int32_t height, bool isGdiPlus)
      : fans(fan, background, 0, 0, isGdiPlus) {
    fans.SetPreRenderAll(true);
    fans.SetSize(width, height);
  }
  const platform::Surface& Frame(int position, int frame) const {
    const auto& frames = position == 0 ? fans.BitmapFrames().Frame1 : fans.BitmapFrames().Frame2;
    return *frames.Bitmaps.at(static_cast<std::size_t>(frame));
  }
  TFans fans;
};

platform::PixelBuffer CacheArea(const TFans& fans, const TFans::TBitmapFrame& position) {
  return platform::ReadPixels(fans.Cache().DC(), position.Pos.X, position.Pos.Y, position.Width, position.Height);
}

// Whether the cache shows, at the position, what the full pre-render made of that frame.
::testing::AssertionResult Shows(const TFans& fans, int position, const FullPreRender& reference, int frame) {
  const auto& frames = position == 0 ? fans.BitmapFrames().Frame1 : fans.BitmapFrames().Frame2;
  return test::ImagesMatch(CacheArea(fans, frames), Pixels(reference.Frame(position, frame)), "cache_frame",
                           {0, false});
}

// Whether the cache shows the plain background at the position.
::testing::AssertionResult ShowsBackground(const TFans& fans, const TFans::TBitmapFrame& position) {
  const auto expected = platform::ReadPixels(fans.Background().Bitmap().DC(), position.Pos.X, position.Pos.Y,
                                             position.Width, position.Height);
  return test::ImagesMatch(CacheArea(fans, position), expected, "cache_background");
}

// A render call's copy to the host, which also shows the frames a resize left to show again.
void Render(TFans& fans) {
  platform::Surface host;
  host.SetSize(fans.Width(), fans.Height());
  fans.DrawTo(host.DC());
}

// The frames a position keeps, by index.
std::vector<int> Kept(const TFans::TBitmapFrame& position) {
  std::vector<int> kept;
  for (std::size_t i = 0; i < position.Bitmaps.size(); ++i)
    if (position.Bitmaps[i]) kept.push_back(static_cast<int>(i));
  return kept;
}

class FansTest : public ::testing::TestWithParam<bool> {
 protected:
  ImagingUser imaging;
};

TEST_P(FansTest, UnbuiltUntilTheFirstSizeThenShowsTheStoredFramesDrawingNoOther) {
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
  EXPECT_EQ(frames.Frame1.Width, 200);
  EXPECT_EQ(fans.FrameCacheBytes(), 0) << "a resize draws no frame before a render shows it";
  Render(fans);
  const FullPreRender reference(0, 0, 400, 240, GetParam());
  EXPECT_TRUE(Shows(fans, 0, reference, 3));
  EXPECT_TRUE(Shows(fans, 1, reference, 4));
  EXPECT_EQ(Kept(frames.Frame1), std::vector<int>{3}) << "a resize draws only the frames it shows";
  EXPECT_EQ(Kept(frames.Frame2), std::vector<int>{4});
  EXPECT_EQ(fans.FrameCacheBytes(), 2 * 200 * 200 * 4);
}

// Marks a kept frame; a rebuild makes every frame stale, so the mark survives only without one,
// and a frame shown again shows the mark only when it was copied rather than drawn anew.
void Mark(const TFans& fans, int frame) {
  platform::PixelBuffer mark(1, 1);
  mark.At(0, 0) = {1, 2, 3, 4};
  platform::WritePixels(fans.BitmapFrames().Frame1.Bitmaps.at(static_cast<std::size_t>(frame))->DC(), 0, 0, mark);
}
bool Marked(const TFans& fans, int frame) {
  const auto& bitmap = fans.BitmapFrames().Frame1.Bitmaps.at(static_cast<std::size_t>(frame));
  return bitmap && platform::ReadPixels(bitmap->DC(), 0, 0, 1, 1).At(0, 0) == platform::Pixel32{1, 2, 3, 4};
}
bool CacheMarked(const TFans& fans) {
  const TPoint pos = fans.BitmapFrames().Frame1.Pos;
  return platform::ReadPixels(fans.Cache().DC(), pos.X, pos.Y, 1, 1).At(0, 0) == platform::Pixel32{1, 2, 3, 4};
}

TEST_P(FansTest, SizeChangesRebuildOnlyWhenTheArgumentsDiffer) {
  TFans fans(0, 3, 320, 240, GetParam());
  fans.UpdateFan(0, 0);
  Mark(fans, 0);
  fans.SetSize(320, 240);
  EXPECT_TRUE(Marked(fans, 0)) << "the same size must not rebuild";

  // Zero is clamped to 1 but compared as passed, so a second 0 x 0 rebuilds again.
  fans.SetSize(0, 0);
  EXPECT_EQ(fans.Width(), 1);
  EXPECT_EQ(fans.Height(), 1);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Width, 1);
  Render(fans);
  Mark(fans, 0);
  fans.SetSize(0, 0);
  EXPECT_FALSE(Marked(fans, 0));
}

TEST_P(FansTest, RenderCopiesOnlyChangedFramesAndKeptFramesAreCopiedNotRedrawn) {
  TFans fans(1, 4, 300, 200, GetParam());
  const auto& frames = fans.BitmapFrames();
  EXPECT_EQ(frames.Frame2.Pos.X, -1) << "300 x 200 shows one fan";
  EXPECT_TRUE(frames.Frame2.Bitmaps.empty());
  fans.UpdateFan(5, 9);
  const FullPreRender reference(1, 4, 300, 200, GetParam());
  EXPECT_TRUE(Shows(fans, 0, reference, 5));
  EXPECT_EQ(fans.Info().Frame2, 9);

  Mark(fans, 5);
  fans.UpdateFan(5, 9);
  EXPECT_FALSE(CacheMarked(fans)) << "unchanged indices copy nothing";
  fans.UpdateFan(6, 9);
  fans.UpdateFan(5, 9);
  EXPECT_TRUE(CacheMarked(fans)) << "a frame shown before is copied from where it was kept";

  platform::Surface target;
  target.SetSize(300, 200);
  fans.DrawTo(target.DC());
  EXPECT_TRUE(test::ImagesMatch(Pixels(target), Pixels(fans.Cache()), "draw_to"));
}

TEST_P(FansTest, SkinWritesLeaveTheBackgroundUntilTheNextUpdate) {
  TFans fans(0, 0, 400, 240, GetParam());
  const auto& frames = fans.BitmapFrames();
  fans.UpdateFan(1, 2);
  Mark(fans, 1);
  // Indices the scene already has leave its frames as they are, but not what the cache shows.
  for (auto write : {+[](TFans& f) { f.SetSkinBackgroundIndex(0); }, +[](TFans& f) { f.SetSkinFanIndex(0); },
                     +[](TFans& f) { f.SkinsIndex(0, 0); }}) {
    write(fans);
    EXPECT_EQ(fans.Info().Frame1, -1);
    EXPECT_TRUE(ShowsBackground(fans, frames.Frame1));
    EXPECT_TRUE(ShowsBackground(fans, frames.Frame2));
    EXPECT_TRUE(Marked(fans, 1)) << "an index the scene has needs no image work";
    fans.UpdateFan(1, 2);
    EXPECT_TRUE(CacheMarked(fans));
  }

  fans.SetSkinBackgroundIndex(1);
  EXPECT_TRUE(Kept(frames.Frame1).empty()) << "another background makes every frame stale";
  EXPECT_TRUE(ShowsBackground(fans, frames.Frame1));
  fans.UpdateFan(1, 2);
  const FullPreRender background1(0, 1, 400, 240, GetParam());
  EXPECT_TRUE(Shows(fans, 0, background1, 1));
  EXPECT_TRUE(Shows(fans, 1, background1, 2));

  fans.SetSkinFanIndex(2);
  EXPECT_EQ(fans.FramesCount(), 30);
  EXPECT_EQ(frames.Frame1.Bitmaps.size(), 30u);
  EXPECT_THROW(fans.UpdateFan(30, 0), EArgumentOutOfRangeException);
  EXPECT_EQ(fans.Info().Frame1, -1) << "a failed update stores nothing";
  fans.UpdateFan(29, 0);
  const FullPreRender skin2(2, 1, 400, 240, GetParam());
  EXPECT_TRUE(Shows(fans, 0, skin2, 29));
}

TEST_P(FansTest, SkinWithoutFramesKeepsTheFramesShownAndFailsTheRest) {
  EXPECT_THROW(TFans(3, 0, 0, 0, GetParam()), Exception);

  TFans fans(0, 0, 320, 240, GetParam());
  fans.UpdateFan(2, 3);
  EXPECT_THROW(fans.SetSkinFanIndex(3), Exception);
  EXPECT_EQ(fans.SkinFanIndex(), 3);
  EXPECT_EQ(fans.Info().Frame1, -1);
  EXPECT_THROW(fans.SetSkinFanIndex(3), Exception) << "the same index tries again after a failure";
  // Frames drawn before stay in use; one never drawn has no graphic left to be drawn from.
  fans.UpdateFan(2, 3);
  const FullPreRender reference(0, 0, 320, 240, GetParam());
  EXPECT_TRUE(Shows(fans, 0, reference, 2));
  EXPECT_TRUE(Shows(fans, 1, reference, 3));
  EXPECT_THROW(fans.UpdateFan(4, 3), EArgumentOutOfRangeException);
  EXPECT_THROW(fans.SetSize(400, 300), EArgumentOutOfRangeException);
  EXPECT_EQ(fans.Width(), 0) << "a failed rebuild leaves the scene unbuilt";
  EXPECT_THROW(fans.SetSize(0, 0), EArgumentOutOfRangeException) << "after a failure even 0 x 0 tries again";

  fans.SetSkinFanIndex(1);  // a skin with frames makes the scene whole again
  fans.SetSize(640, 480);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Bitmaps.size(), 31u);
}

TEST_P(FansTest, ResizeBelowTheTwoFanThreshold) {
  TFans fans(0, 0, 320, 240, GetParam());
  EXPECT_EQ(fans.BitmapFrames().Frame1.Width, 160);
  EXPECT_NE(fans.BitmapFrames().Frame2.Pos.X, -1);
  fans.SetSize(319, 240);
  EXPECT_EQ(fans.BitmapFrames().Frame1.Width, 240);
  EXPECT_EQ(fans.BitmapFrames().Frame2.Pos.X, -1);
}

// Frames drawn when first shown, and frames drawn at every showing because the frame cache has no
// room, give the same pictures as the full pre-render, through resizes and skin changes.
TEST_P(FansTest, StaleAndUncachedFramesMatchTheFullPreRender) {
  const struct {
    std::int32_t fan, background, width, height;
  } scenes[] = {{0, 0, 640, 480}, {1, 1, 300, 200}, {2, 9, 240, 320}, {0, 5, 1, 1}};
  const std::pair<std::int32_t, std::int32_t> shows[] = {{0, 7}, {1, 7}, {0, 8}, {29, 29}, {1, 7}, {0, 0}};
  for (const auto& s : scenes) {
    SCOPED_TRACE(testing::Message() << s.width << " x " << s.height);
    FullPreRender full(s.fan, s.background, s.width, s.height, GetParam());
    TFans onDemand(s.fan, s.background, 0, 0, GetParam());
    TFans uncached(s.fan, s.background, 0, 0, GetParam());
    uncached.SetFrameCacheCap(0);
    for (TFans* fans : {&onDemand, &uncached}) fans->SetSize(s.width, s.height);
    for (const auto& [frame1, frame2] : shows) {
      SCOPED_TRACE(testing::Message() << "frames " << frame1 << ", " << frame2);
      for (TFans* fans : {&full.fans, &onDemand, &uncached}) fans->UpdateFan(frame1, frame2);
      EXPECT_TRUE(test::ImagesMatch(Pixels(onDemand.Cache()), Pixels(full.fans.Cache()), "on_demand", {0, false}));
      EXPECT_TRUE(test::ImagesMatch(Pixels(uncached.Cache()), Pixels(full.fans.Cache()), "uncached", {0, false}));
    }
    EXPECT_EQ(uncached.FrameCacheBytes(), 0);
    EXPECT_TRUE(Kept(uncached.BitmapFrames().Frame1).empty());
    EXPECT_EQ(Kept(onDemand.BitmapFrames().Frame1), (std::vector<int>{0, 1, 29}));
  }

  // After a resize and a change of background every frame is stale again and drawn anew.
  FullPreRender full(0, 0, 500, 200, GetParam());
  TFans onDemand(0, 0, 640, 480, GetParam());
  onDemand.UpdateFan(3, 4);
  onDemand.SetSize(500, 200);
  Render(onDemand);
  full.fans.UpdateFan(3, 4);
  EXPECT_TRUE(test::ImagesMatch(Pixels(onDemand.Cache()), Pixels(full.fans.Cache()), "after_resize", {0, false}));
  onDemand.SetSkinBackgroundIndex(2);
  full.fans.SetSkinBackgroundIndex(2);
  for (TFans* fans : {&full.fans, &onDemand}) fans->UpdateFan(3, 5);
  EXPECT_TRUE(test::ImagesMatch(Pixels(onDemand.Cache()), Pixels(full.fans.Cache()), "after_background", {0, false}));
}

// The kept frames never pass the cap; the frames beyond it are drawn at every showing, and a
// resize to a size whose frames fit keeps them all again.
TEST_P(FansTest, FrameCacheStaysWithinItsCapAndRecoversAtASizeThatFits) {
  constexpr std::int64_t kSquare320x240 = 160 * 160 * 4;
  TFans fans(0, 0, 0, 0, GetParam());
  fans.SetFrameCacheCap(62 * kSquare320x240);
  fans.SetSize(640, 480);
  for (std::int32_t i = 0; i < fans.FramesCount(); ++i) fans.UpdateFan(i, (i + 1) % fans.FramesCount());
  const std::int64_t square640x480 = 320 * 320 * 4;
  EXPECT_EQ(fans.FrameCacheBytes(), (62 * kSquare320x240 / square640x480) * square640x480);
  EXPECT_LE(fans.FrameCacheBytes(), fans.FrameCacheCap());
  fans.UpdateFan(30, 0);  // frames not kept are still shown
  const FullPreRender reference(0, 0, 640, 480, GetParam());
  EXPECT_TRUE(Shows(fans, 0, reference, 30));
  EXPECT_TRUE(Shows(fans, 1, reference, 0));

  fans.SetSize(320, 240);
  for (std::int32_t i = 0; i < fans.FramesCount(); ++i) fans.UpdateFan(i, (i + 1) % fans.FramesCount());
  EXPECT_EQ(fans.FrameCacheBytes(), 62 * kSquare320x240);
  EXPECT_EQ(Kept(fans.BitmapFrames().Frame2).size(), 31u);
}

// An area the process has no memory for fails its rebuild; the scene is then unbuilt, shows
// nothing, tries again on the next SetSize of that size, and builds at a size that fits.
TEST_P(FansTest, AFailedRebuildLeavesTheSceneUnbuiltAndTheSameSizeTriesAgain) {
  constexpr std::int32_t kHuge = 1'000'000;
  TFans fans(0, 0, 320, 240, GetParam());
  fans.UpdateFan(1, 2);
  EXPECT_THROW(fans.SetSize(kHuge, kHuge), std::bad_alloc);
  EXPECT_EQ(fans.Width(), 0);
  EXPECT_EQ(fans.Cache().Width(), 0);
  EXPECT_EQ(fans.FrameCacheBytes(), 0);
  fans.UpdateFan(3, 4);  // only stores, as in any unbuilt scene
  EXPECT_THROW(fans.SetSize(kHuge, kHuge), std::bad_alloc);
  fans.SetSize(320, 240);
  Render(fans);
  const FullPreRender reference(0, 0, 320, 240, GetParam());
  EXPECT_TRUE(Shows(fans, 0, reference, 3));
  EXPECT_TRUE(Shows(fans, 1, reference, 4));
}

// Areas far thinner than a fan build and show their 1 x 1 fans without composing a background
// thousands of times the area's size.
TEST_P(FansTest, ThinAreasBuild) {
  for (const auto& [width, height] : {std::pair{100000, 1}, std::pair{1, 100000}}) {
    TFans fans(0, 0, width, height, GetParam());
    fans.UpdateFan(1, 2);
    EXPECT_EQ(fans.BitmapFrames().Frame1.Width, 1);
    EXPECT_EQ(fans.Cache().Width(), width);
    EXPECT_EQ(fans.FrameCacheBytes(), (fans.BitmapFrames().Frame2.Pos.X != -1 ? 2 : 1) * 4);
  }
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
