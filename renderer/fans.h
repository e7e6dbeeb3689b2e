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
// size, the skins or the back end change, every frame is pre-rendered over the background at each
// fan position; a render then copies at most two small bitmaps into the cache and the cache into
// the host's surface. Nothing is scaled, blended, decoded or allocated per render.
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

  // Pre-rendered bitmaps of one fan position; item i shows frame i. Pos.X of -1 marks an absent
  // position.
  struct TBitmapFrame {
    std::vector<std::unique_ptr<platform::Surface>> Bitmaps;
    TPoint Pos{-1, -1};
  };

  struct TBitmapFrames {
    TBitmapFrame Frame1;
    TBitmapFrame Frame2;
  };

  TFans(std::int32_t ASkinFan, std::int32_t ASkinBackground, std::int32_t AWidth,
        std::int32_t AHeight, bool AIsGdiPlus);

  // Rebuilds for a new size (a side below 1 counts as 1) and redraws the frames shown before; the
  // current size, compared as passed, changes nothing.
  void SetSize(std::int32_t AWidth, std::int32_t AHeight);
  // Copies the pre-rendered bitmaps of the frames that changed into the cache.
  void UpdateFan(std::int32_t AFrame1, std::int32_t AFrame2);
  // Copies the whole cache to (0, 0) of the host's surface.
  void DrawTo(platform::DeviceContext ADC) const;

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
  void DrawFrameTo(platform::DeviceContext ADC, std::int32_t APosition, std::int32_t AFrame) const;
  void DrawBackTo(platform::DeviceContext ADC) const;
  bool Built() const { return FInfo.Width > 0; }

  bool FIsGdiPlus;
  TFanInfo FInfo;
  std::unique_ptr<TFanFrames> FFrames;
  std::unique_ptr<TFanBackground> FBackground;
  platform::Surface FCacheBmp;
  TBitmapFrames FBitmapFrames;
};

}  // namespace vf
