#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/surface.h"
#include "renderer/fan_background.h"
#include "renderer/fan_frames.h"
#include "renderer/fan_layout.h"
#include "renderer/geometry.h"

// The picture the host shows: one or two spinning fans over a composed background. Whenever the
// size, the skins or the back end change, the background is composed again and every frame of
// each fan position becomes stale; a frame is drawn over the background the first time a render
// shows it and kept, so a render copies at most two small bitmaps into the cache and the cache
// into the host's surface once every frame has been shown. A frame that the frame cache has no
// room for is drawn straight into the cache whenever it is shown.
namespace vf {

class TFans {
 public:
  struct TFanInfo {
    std::int32_t FanIndex = 0;
    std::int32_t BackIndex = 0;
    std::int32_t FanCount = 0;
    std::int32_t BackCount = 0;
    std::int32_t Width = 0;   // 0 until the first rebuild, then at least 1
    std::int32_t Height = 0;
    std::int32_t Frame1 = -1;  // frame shown in the cache at the first position; -1 none
    std::int32_t Frame2 = -1;
    std::int32_t FramesCount = 0;
  };

  // The frames of one fan position. Item i of Bitmaps shows frame i over the background, or is
  // null while frame i is stale: not drawn since the last rebuild, or not kept for want of room.
  // Pos is the square's top-left corner, X of -1 marking an absent position.
  struct TBitmapFrame {
    std::vector<std::unique_ptr<platform::Surface>> Bitmaps;
    TPoint Pos{-1, -1};
    std::int32_t Width = 0;  // the square's size
    std::int32_t Height = 0;
  };

  struct TBitmapFrames {
    TBitmapFrame Frame1;
    TBitmapFrame Frame2;
  };

  TFans(std::int32_t ASkinFan, std::int32_t ASkinBackground, std::int32_t AWidth,
        std::int32_t AHeight, bool AIsGdiPlus);

  // Rebuilds for a new size (a side below 1 counts as 1); the frames shown before reappear with
  // the next render. The current size, compared as passed, changes nothing. A rebuild that fails
  // leaves the scene unbuilt, and the next SetSize tries again whatever its size.
  void SetSize(std::int32_t AWidth, std::int32_t AHeight);
  // Shows the frames that changed in the cache: a copy of a kept frame, or a stale one drawn now.
  void UpdateFan(std::int32_t AFrame1, std::int32_t AFrame2);
  // Copies the whole cache to (0, 0) of the host's surface, after drawing the frames a resize
  // left to show when no UpdateFan came between.
  void DrawTo(platform::DeviceContext ADC);

  // Writing an index reloads the images and rebuilds, unless the scene already has that skin:
  // then only the cache goes back to the background, so the next UpdateFan draws both fans.
  std::int32_t SkinFanIndex() const { return FInfo.FanIndex; }
  void SetSkinFanIndex(std::int32_t Value) { SetSkinIndex(0, Value); }
  std::int32_t SkinBackgroundIndex() const { return FInfo.BackIndex; }
  void SetSkinBackgroundIndex(std::int32_t Value) { SetSkinIndex(1, Value); }
  void SkinsIndex(std::int32_t ASkinFan, std::int32_t ASkinBackground) {
    ChangeSkins(2, ASkinFan, ASkinBackground);
  }

  bool IsGdiPlus() const { return FIsGdiPlus; }
  void SetIsGdiPlus(bool Value);

  std::int32_t SkinFanCount() const { return FInfo.FanCount; }
  std::int32_t SkinBackgroundCount() const { return FInfo.BackCount; }
  std::int32_t Width() const { return FInfo.Width; }
  std::int32_t Height() const { return FInfo.Height; }
  std::int32_t FramesCount() const { return FInfo.FramesCount; }

  // Draws every stale frame of both positions now, as far as the frame cache has room. With
  // SetPreRenderAll(true) every rebuild does this and every index write reloads, even of the skin
  // the scene already has: the scene as it was before frames were drawn on demand, kept so that
  // measurements and tests can set the two side by side in one process.
  void RenderAllFrames();
  void SetPreRenderAll(bool Value) { FPreRenderAll = Value; }

  // The most bytes the kept frames may hold together; a frame beyond it is drawn whenever shown.
  // Lowering it affects frames drawn afterwards.
  void SetFrameCacheCap(std::int64_t ABytes) { FFrameCacheCap = ABytes; }
  std::int64_t FrameCacheCap() const { return FFrameCacheCap; }
  std::int64_t FrameCacheBytes() const { return FFrameCacheBytes; }
  // Room for every frame of both positions at 1920 x 1080 and somewhat beyond in a 32-bit
  // process; in a 64-bit one, the frames of a 3840 x 2160 area twice over.
  static constexpr std::int64_t kDefaultFrameCacheCap =
      sizeof(void*) == 4 ? std::int64_t{512} << 20 : std::int64_t{2} << 30;

  // Read access for tests and measurements.
  const TFanInfo& Info() const { return FInfo; }
  const TBitmapFrames& BitmapFrames() const { return FBitmapFrames; }
  const platform::Surface& Cache() const { return FCacheBmp; }
  const TFanBackground& Background() const { return *FBackground; }

 private:
  friend struct TFansTestAccess;

  void SetSkinIndex(std::int32_t AIndex, std::int32_t Value);
  void ChangeSkins(std::int32_t AKind, std::int32_t ASkinFan, std::int32_t ASkinBackground);
  void RebuildCache();
  void CreateBitmapFrames();
  void ForgetSize();
  void DrawFrameTo(platform::DeviceContext ADC, std::int32_t APosition, std::int32_t AFrame);
  void DrawStaleFrame(platform::DeviceContext ADC, TBitmapFrame& APosition, std::int32_t AFrame);
  void KeepFrame(TBitmapFrame& APosition, std::int32_t AFrame, platform::DeviceContext ASource);
  void DrawBackTo(platform::DeviceContext ADC) const;
  bool Built() const { return FInfo.Width > 0; }

  bool FIsGdiPlus;
  TFanInfo FInfo;
  std::unique_ptr<TFanFrames> FFrames;
  std::unique_ptr<TFanBackground> FBackground;
  platform::Surface FCacheBmp;
  TBitmapFrames FBitmapFrames;
  std::int64_t FFrameCacheCap = kDefaultFrameCacheCap;
  std::int64_t FFrameCacheBytes = 0;
  // Memory for a kept frame could not be had: no frame is kept until the next rebuild, so the
  // render calls that show stale frames do not try again every time.
  bool FFrameCacheOutOfMemory = false;
  bool FPreRenderAll = false;
  // Frames a resize left to show again (-1 none); the cache shows the background there meanwhile.
  std::int32_t FPending1 = -1;
  std::int32_t FPending2 = -1;
  bool FRetrySize = false;    // the last rebuild failed: the next SetSize builds whatever its size
  bool FFramesLoaded = true;  // the frame set holds the frames of FanIndex
  bool FBackLoaded = true;    // the background holds the parts of BackIndex
};

}  // namespace vf
