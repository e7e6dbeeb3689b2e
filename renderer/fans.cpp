#include "renderer/fans.h"

#include <algorithm>

#include "renderer/errors.h"

namespace vf {

namespace {

// The part of a rectangle that lies inside a surface of width x height.
TGPRect Clip(const TGPRect& r, std::int32_t width, std::int32_t height) {
  const std::int32_t left = std::max(0, r.X), top = std::max(0, r.Y);
  const std::int32_t right = static_cast<std::int32_t>(std::min<std::int64_t>(width, std::int64_t{r.X} + r.Width));
  const std::int32_t bottom = static_cast<std::int32_t>(std::min<std::int64_t>(height, std::int64_t{r.Y} + r.Height));
  return MakeGPRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

}  // namespace

TFans::TFans(std::int32_t ASkinFan, std::int32_t ASkinBackground, std::int32_t AWidth,
             std::int32_t AHeight, bool AIsGdiPlus)
    : FIsGdiPlus(AIsGdiPlus) {
  FInfo.FanIndex = ASkinFan;
  FInfo.BackIndex = ASkinBackground;
  FFrames = std::make_unique<TFanFrames>(ASkinFan, AIsGdiPlus);
  FInfo.FanCount = FFrames->SkinCount();
  FInfo.FramesCount = FFrames->FramesCount();
  FBackground = std::make_unique<TFanBackground>(ASkinBackground, AWidth, AHeight, AIsGdiPlus);
  FInfo.BackCount = FBackground->SkinCount();
  SetSize(AWidth, AHeight);
}

void TFans::SetSize(std::int32_t AWidth, std::int32_t AHeight) {
  if (AWidth == FInfo.Width && AHeight == FInfo.Height) return;
  FInfo.Width = std::max(1, AWidth);
  FInfo.Height = std::max(1, AHeight);
  const std::int32_t shown1 = FInfo.Frame1, shown2 = FInfo.Frame2;
  FInfo.Frame1 = -1;
  FInfo.Frame2 = -1;
  RebuildCache();
  UpdateFan(shown1, shown2);
}

void TFans::UpdateFan(std::int32_t AFrame1, std::int32_t AFrame2) {
  if (AFrame1 != FInfo.Frame1 && FBitmapFrames.Frame1.Pos.X != -1)
    DrawFrameTo(FCacheBmp.DC(), 0, AFrame1);
  if (AFrame2 != FInfo.Frame2 && FBitmapFrames.Frame2.Pos.X != -1)
    DrawFrameTo(FCacheBmp.DC(), 1, AFrame2);
  FInfo.Frame1 = AFrame1;
  FInfo.Frame2 = AFrame2;
}

void TFans::DrawTo(platform::DeviceContext ADC) const {
  if (FCacheBmp.Width() < 1 || FCacheBmp.Height() < 1) return;
  platform::BitBlt(ADC, 0, 0, FCacheBmp.Width(), FCacheBmp.Height(), FCacheBmp.DC(), 0, 0);
}

void TFans::SetIsGdiPlus(bool Value) {
  if (Value == FIsGdiPlus) return;
  FIsGdiPlus = Value;
  FFrames->SetIsGdiPlus(Value);
  FBackground->SetIsGdiPlus(Value);
  FInfo.Frame1 = -1;
  FInfo.Frame2 = -1;
  // An unbuilt scene has no area to build for; the first SetSize builds with the new images.
  if (Built()) RebuildCache();
}

void TFans::SetSkinIndex(std::int32_t AIndex, std::int32_t Value) {
  if (AIndex == 0)
    ChangeSkins(0, Value, FInfo.BackIndex);
  else if (AIndex == 1)
    ChangeSkins(1, FInfo.FanIndex, Value);
  else
    throw Exception(kErrorMessage);
}

void TFans::ChangeSkins(std::int32_t AKind, std::int32_t ASkinFan, std::int32_t ASkinBackground) {
  if (AKind < 0 || AKind > 2) throw Exception(kErrorMessage);
  // After any change the cache shows the background alone, so the next update draws both fans.
  FInfo.Frame1 = -1;
  FInfo.Frame2 = -1;
  if (AKind == 0 || AKind == 2) {
    FInfo.FanIndex = ASkinFan;
    FFrames->SetSkinFanIndex(ASkinFan);
    FInfo.FramesCount = FFrames->FramesCount();
  }
  if (AKind == 1 || AKind == 2) {
    FInfo.BackIndex = ASkinBackground;
    FBackground->SetBackIndex(ASkinBackground);
  }
  // An unbuilt scene has no area to build for; the first SetSize builds with the new images.
  if (Built()) RebuildCache();
}

void TFans::CreateBitmapFrames() {
  FBitmapFrames.Frame1 = TBitmapFrame{};
  FBitmapFrames.Frame2 = TBitmapFrame{};
}

void TFans::RebuildCache() {
  CreateBitmapFrames();
  const TFanGraphic& first = FFrames->GetFrame(0);
  const TCompositionSize orig =
      CalcCompositionSize(first.Width(), first.Height(), FInfo.Width, FInfo.Height);
  FBackground->SetSize(orig.OrigWidth, orig.OrigHeight, FInfo.Width, FInfo.Height);

  platform::Surface work;
  work.SetSize(FInfo.Width, FInfo.Height);
  FCacheBmp.SetSize(FInfo.Width, FInfo.Height);
  const TFanRects rects =
      CalcFanRects(orig.OrigWidth, orig.OrigHeight, FBackground->Padding(), FInfo.Width, FInfo.Height);
  const bool second = !IsAbsent(rects.R2);

  // Fans are drawn only inside their squares (clipped to the area), so restoring those squares
  // from the background erases the previous frame as well as a full copy would.
  const TGPRect restore1 = Clip(rects.R1, FInfo.Width, FInfo.Height);
  const TGPRect restore2 = second ? Clip(rects.R2, FInfo.Width, FInfo.Height) : TGPRect{};
  const platform::DeviceContext back = FBackground->Bitmap().DC();
  platform::BitBlt(work.DC(), 0, 0, FInfo.Width, FInfo.Height, back, 0, 0);

  auto cut = [&](const TGPRect& r, TBitmapFrame& position) {
    auto bitmap = std::make_unique<platform::Surface>();
    bitmap->SetSize(r.Width, r.Height);
    platform::BitBlt(bitmap->DC(), 0, 0, r.Width, r.Height, work.DC(), r.X, r.Y);
    position.Bitmaps.push_back(std::move(bitmap));
  };
  for (std::int32_t i = 0; i < FInfo.FramesCount; ++i) {
    if (i > 0) {
      platform::BitBlt(work.DC(), restore1.X, restore1.Y, restore1.Width, restore1.Height, back,
                       restore1.X, restore1.Y);
      if (second)
        platform::BitBlt(work.DC(), restore2.X, restore2.Y, restore2.Width, restore2.Height, back,
                         restore2.X, restore2.Y);
    }
    TFanGraphic& frame = FFrames->GetFrame(i);
    frame.DrawTo(work.DC(), rects.R1, false);
    if (second) frame.DrawTo(work.DC(), rects.R2, false);
    cut(rects.R1, FBitmapFrames.Frame1);
    if (second) cut(rects.R2, FBitmapFrames.Frame2);
  }
  FBitmapFrames.Frame1.Pos = TPoint{rects.R1.X, rects.R1.Y};
  FBitmapFrames.Frame2.Pos = TPoint{rects.R2.X, rects.R2.Y};
  DrawBackTo(FCacheBmp.DC());
}

void TFans::DrawFrameTo(platform::DeviceContext ADC, std::int32_t APosition, std::int32_t AFrame) const {
  if (APosition != 0 && APosition != 1) throw Exception(kErrorMessage);
  const TBitmapFrame& position = APosition == 0 ? FBitmapFrames.Frame1 : FBitmapFrames.Frame2;
  if (AFrame < 0 || static_cast<std::size_t>(AFrame) >= position.Bitmaps.size())
    throw EArgumentOutOfRangeException();
  const platform::Surface& bitmap = *position.Bitmaps[static_cast<std::size_t>(AFrame)];
  platform::BitBlt(ADC, position.Pos.X, position.Pos.Y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0);
}

void TFans::DrawBackTo(platform::DeviceContext ADC) const {
  const TFanBackground& background = *FBackground;
  platform::BitBlt(ADC, 0, 0, background.Width(), background.Height(), background.Bitmap().DC(), 0, 0);
}

}  // namespace vf
