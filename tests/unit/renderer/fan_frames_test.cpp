// The frame set over the shipped skins: counts, frame sizes, the error for a skin without frames
// and what stays behind after it, on both back ends.
#include "renderer/fan_frames.h"

#include <gtest/gtest.h>

#include "back_end_param.h"

#include "renderer/errors.h"
#include "renderer/imaging_lifetime.h"

namespace vf {
namespace {

class FanFramesTest : public ::testing::TestWithParam<bool> {
 protected:
  ImagingUser imaging;
};

std::string MissingSkinMessage(TFanFrames& frames, std::int32_t skin) {
  try {
    frames.SetSkinFanIndex(skin);
  } catch (const Exception& e) {
    return e.what();
  }
  return "no exception";
}

TEST_P(FanFramesTest, ShippedSkins) {
  TFanFrames frames(0, GetParam());
  EXPECT_EQ(frames.SkinCount(), 3);
  EXPECT_EQ(frames.FramesCount(), 31);
  EXPECT_EQ(frames.GetFrame(30).GPRect(), MakeGPRect(0, 0, 119, 119));
  EXPECT_THROW(frames.GetFrame(31), EArgumentOutOfRangeException);
  EXPECT_THROW(frames.GetFrame(-1), EArgumentOutOfRangeException);

  frames.SetSkinFanIndex(2);
  EXPECT_EQ(frames.FramesCount(), 30);
  EXPECT_EQ(frames.GetFrame(0).Width(), 143);
  frames.SetSkinFanIndex(1);
  EXPECT_EQ(frames.FramesCount(), 31);
  EXPECT_EQ(frames.GetFrame(0).Width(), 127);
}

TEST_P(FanFramesTest, SkinWithoutFramesRaisesAndKeepsTheCount) {
  TFanFrames frames(2, GetParam());
  EXPECT_EQ(MissingSkinMessage(frames, 3), "Bitmap \"FAN_3_0\" not found");
  EXPECT_EQ(frames.SkinFanIndex(), 3);
  EXPECT_EQ(frames.FramesCount(), 30);
  EXPECT_THROW(frames.GetFrame(0), EArgumentOutOfRangeException);
  EXPECT_EQ(MissingSkinMessage(frames, -1), "Bitmap \"FAN_-1_0\" not found");

  EXPECT_THROW(TFanFrames(7, GetParam()), Exception);
}

TEST_P(FanFramesTest, ReloadsAfterAFailedSkinAndOnABackEndWrite) {
  TFanFrames frames(0, GetParam());
  EXPECT_THROW(frames.SetSkinFanIndex(5), Exception);
  frames.SetSkinFanIndex(1);
  EXPECT_EQ(frames.FramesCount(), 31);
  EXPECT_EQ(frames.GetFrame(0).Width(), 127);
  frames.SetIsGdiPlus(!GetParam());
  EXPECT_EQ(frames.IsGdiPlus(), !GetParam());
  EXPECT_EQ(frames.FramesCount(), 31);
  EXPECT_EQ(frames.GetFrame(30).Width(), 127);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, FanFramesTest, ::testing::Bool(), test::BackEndParamName);

}  // namespace
}  // namespace vf
