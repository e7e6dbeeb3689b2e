#include "renderer/fans.h"

#include <algorithm>
#include <new>

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

TGPRect SquareOf(const TFans::TBitmapFrame& position) {
  return MakeGPRect(position.Pos.X, position.Pos.Y, position.Width, position.Height);
}

bool Present(const TFans::TBitmapFrame& position) { return position.Pos.X != -1; }

bool Intersect(const TGPRect& a, const TGPRect& b) {
  return std::int64_t{a.X} < std::int64_t{b.X} + b.Width && std::int64_t{b.X} < std::int64_t{a.X} + a.Width &&
         std::int64_t{a.Y} < std::int64_t{b.Y} + b.Height && std::int64_t{b.Y} < std::int64_t{a.Y} + a.Height;
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
  if (!FRetrySize && AWidth == FInfo.Width && AHeight == FInfo.Height) return;
  FInfo.Width = std::max(1, AWidth);
  FInfo.Height = std::max(1, AHeight);
  const std::int32_t shown1 = FInfo.Frame1, shown2 = FInfo.Frame2;
  FInfo.Frame1 = -1;
  FInfo.Frame2 = -1;
  try {
    RebuildCache();
  } catch (...) {
    // The unbuilt scene keeps the indices, so the rebuild that succeeds shows them.
    FInfo.Frame1 = shown1;
    FInfo.Frame2 = shown2;
    throw;
  }
  // The frames shown before reappear with the next render: drawn by DrawTo unless the UpdateFan
  // before it shows others, so a resize followed by a render draws each position once. An index
  // the frames do not have fails here, as drawing it would.
  auto defer = [this](std::int32_t shown, const TBitmapFrame& position) {
    if (!Present(position) || shown == -1) return true;
    return shown >= 0 && static_cast<std::size_t>(shown) < position.Bitmaps.size();
  };
  if (defer(shown1, FBitmapFrames.Frame1) && defer(shown2, FBitmapFrames.Frame2)) {
    FPending1 = Present(FBitmapFrames.Frame1) ? shown1 : -1;
    FPending2 = Present(FBitmapFrames.Frame2) ? shown2 : -1;
    // Absent positions show nothing, so their indices are stored at once, as UpdateFan would.
    if (!Present(FBitmapFrames.Frame1)) FInfo.Frame1 = shown1;
    if (!Present(FBitmapFrames.Frame2)) FInfo.Frame2 = shown2;
    return;
  }
  UpdateFan(shown1, shown2);
}

void TFans::UpdateFan(std::int32_t AFrame1, std::int32_t AFrame2) {
  FPending1 = FPending2 = -1;
  if (AFrame1 != FInfo.Frame1 && Present(FBitmapFrames.Frame1)) DrawFrameTo(FCacheBmp.DC(), 0, AFrame1);
  if (AFrame2 != FInfo.Frame2 && Present(FBitmapFrames.Frame2)) DrawFrameTo(FCacheBmp.DC(), 1, AFrame2);
  FInfo.Frame1 = AFrame1;
  FInfo.Frame2 = AFrame2;
}

void TFans::DrawTo(platform::DeviceContext ADC) {
  if (FPending1 != -1 || FPending2 != -1) {
    const std::int32_t frame1 = FPending1 != -1 ? FPending1 : FInfo.Frame1;
    const std::int32_t frame2 = FPending2 != -1 ? FPending2 : FInfo.Frame2;
    UpdateFan(frame1, frame2);
  }
  if (FCacheBmp.Width() < 1 || FCacheBmp.Height() < 1) return;
  platform::BitBlt(ADC, 0, 0, FCacheBmp.Width(), FCacheBmp.Height(), FCacheBmp.DC(), 0, 0);
}

void TFans::SetIsGdiPlus(bool Value) {
  if (Value == FIsGdiPlus) return;
  FIsGdiPlus = Value;
  FFramesLoaded = false;
  FFrames->SetIsGdiPlus(Value);
  FFramesLoaded = true;
  FBackLoaded = false;
  FBackground->SetIsGdiPlus(Value);
  FBackLoaded = true;
  FInfo.Frame1 = -1;
  FInfo.Frame2 = -1;
  FPending1 = FPending2 = -1;
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
  FPending1 = FPending2 = -1;
  // A skin the scene already has needs no image work: its frames and background stay valid.
  const bool fan = (AKind == 0 || AKind == 2) &&
                   (FPreRenderAll || !FFramesLoaded || ASkinFan != FInfo.FanIndex);
  const bool background = (AKind == 1 || AKind == 2) &&
                          (FPreRenderAll || !FBackLoaded || ASkinBackground != FInfo.BackIndex);
  if (fan) {
    FInfo.FanIndex = ASkinFan;
    FFramesLoaded = false;
    FFrames->SetSkinFanIndex(ASkinFan);
    FFramesLoaded = true;
    FInfo.FramesCount = FFrames->FramesCount();
  }
  if (background) {
    FInfo.BackIndex = ASkinBackground;
    FBackLoaded = false;
    FBackground->SetBackIndex(ASkinBackground);
    FBackLoaded = true;
  }
  // An unbuilt scene has no area to build for; the first SetSize builds with the new images.
  if (!Built()) return;
  if (fan || background)
    RebuildCache();
  else
    DrawBackTo(FCacheBmp.DC());
}

void TFans::CreateBitmapFrames() {
  FBitmapFrames.Frame1 = TBitmapFrame{};
  FBitmapFrames.Frame2 = TBitmapFrame{};
  FFrameCacheBytes = 0;
  FFrameCacheOutOfMemory = false;
}

// What a failed rebuild leaves: the unbuilt scene, which holds nothing and shows nothing, and
// which the next SetSize builds again even at the size that failed.
void TFans::ForgetSize() {
  CreateBitmapFrames();
  FPending1 = FPending2 = -1;
  FCacheBmp.SetSize(0, 0);
  FInfo.Width = 0;
  FInfo.Height = 0;
  FRetrySize = true;
}

void TFans::RebuildCache() {
  try {
    CreateBitmapFrames();
    const TFanGraphic& first = FFrames->GetFrame(0);
    const TCompositionSize orig = LimitCompositionSize(
        CalcCompositionSize(first.Width(), first.Height(), FInfo.Width, FInfo.Height), FInfo.Width, FInfo.Height);
    FBackground->SetSize(orig.OrigWidth, orig.OrigHeight, FInfo.Width, FInfo.Height);
    FCacheBmp.SetSize(FInfo.Width, FInfo.Height);
    const TFanRects rects =
        CalcFanRects(orig.OrigWidth, orig.OrigHeight, FBackground->Padding(), FInfo.Width, FInfo.Height);
    // Every frame starts stale; the first UpdateFan that shows one draws it.
    auto place = [this](const TGPRect& r, TBitmapFrame& position) {
      position.Pos = TPoint{r.X, r.Y};
      position.Width = r.Width;
      position.Height = r.Height;
      position.Bitmaps.resize(static_cast<std::size_t>(FInfo.FramesCount));
    };
    place(rects.R1, FBitmapFrames.Frame1);
    if (!IsAbsent(rects.R2)) place(rects.R2, FBitmapFrames.Frame2);
    DrawBackTo(FCacheBmp.DC());
  } catch (...) {
    ForgetSize();
    throw;
  }
  FRetrySize = false;
  if (FPreRenderAll) RenderAllFrames();
}

// The frames drawn all at once, one after the other on a work bitmap of the area, each cut out of
// it at both positions.
void TFans::RenderAllFrames() {
  if (!Built()) return;
  TBitmapFrame& position1 = FBitmapFrames.Frame1;
  TBitmapFrame& position2 = FBitmapFrames.Frame2;
  const bool second = Present(position2);
  const TGPRect r1 = SquareOf(position1), r2 = second ? SquareOf(position2) : TGPRect{};

  platform::Surface work;
  work.SetSize(FInfo.Width, FInfo.Height);
  const platform::DeviceContext back = FBackground->Bitmap().DC();
  platform::BitBlt(work.DC(), 0, 0, FInfo.Width, FInfo.Height, back, 0, 0);
  // Fans are drawn only inside their squares (clipped to the area), so restoring those squares
  // from the background erases the previous frame as well as a full copy would.
  const TGPRect restore1 = Clip(r1, FInfo.Width, FInfo.Height);
  const TGPRect restore2 = second ? Clip(r2, FInfo.Width, FInfo.Height) : TGPRect{};
  for (std::int32_t i = 0; i < FInfo.FramesCount; ++i) {
    const auto item = static_cast<std::size_t>(i);
    if (position1.Bitmaps[item] && (!second || position2.Bitmaps[item])) continue;
    platform::BitBlt(work.DC(), restore1.X, restore1.Y, restore1.Width, restore1.Height, back, restore1.X,
                     restore1.Y);
    if (second)
      platform::BitBlt(work.DC(), restore2.X, restore2.Y, restore2.Width, restore2.Height, back, restore2.X,
                       restore2.Y);
    TFanGraphic& frame = FFrames->GetFrame(i);
    frame.DrawTo(work.DC(), r1, false);
    if (second) frame.DrawTo(work.DC(), r2, false);
    if (!position1.Bitmaps[item]) KeepFrame(position1, i, work.DC());
    if (second && !position2.Bitmaps[item]) KeepFrame(position2, i, work.DC());
  }
}

void TFans::DrawFrameTo(platform::DeviceContext ADC, std::int32_t APosition, std::int32_t AFrame) {
  if (APosition != 0 && APosition != 1) throw Exception(kErrorMessage);
  TBitmapFrame& position = APosition == 0 ? FBitmapFrames.Frame1 : FBitmapFrames.Frame2;
  if (AFrame < 0 || static_cast<std::size_t>(AFrame) >= position.Bitmaps.size())
    throw EArgumentOutOfRangeException();
  const auto& bitmap = position.Bitmaps[static_cast<std::size_t>(AFrame)];
  if (!bitmap) {
    DrawStaleFrame(ADC, position, AFrame);
    return;
  }
  platform::BitBlt(ADC, position.Pos.X, position.Pos.Y, bitmap->Width(), bitmap->Height(), bitmap->DC(), 0, 0);
}

// Draws a frame in place on a surface that shows the background at the area's coordinates, the
// cache: its square goes back to the background and the frame is drawn over it, then the square is
// kept as the frame's bitmap when there is room. Squares overlap only as the two 1 x 1 squares of
// an area without inner room, which then coincide; the frame goes into both, as in a full
// pre-render, so the kept square shows what it would have shown there.
void TFans::DrawStaleFrame(platform::DeviceContext ADC, TBitmapFrame& APosition, std::int32_t AFrame) {
  TFanGraphic& frame = FFrames->GetFrame(AFrame);
  const TGPRect square = SquareOf(APosition);
  const TGPRect shown = Clip(square, FInfo.Width, FInfo.Height);
  platform::BitBlt(ADC, shown.X, shown.Y, shown.Width, shown.Height, FBackground->Bitmap().DC(), shown.X, shown.Y);
  for (const TBitmapFrame* position : {&FBitmapFrames.Frame1, &FBitmapFrames.Frame2}) {
    if (position == &APosition || (Present(*position) && Intersect(SquareOf(*position), square)))
      frame.DrawTo(ADC, SquareOf(*position), false);
  }
  KeepFrame(APosition, AFrame, ADC);
}

// Cuts a frame's square out of a surface into a bitmap of its own, unless that would take the
// kept frames past the cap or the memory is not there; the frame then stays stale.
void TFans::KeepFrame(TBitmapFrame& APosition, std::int32_t AFrame, platform::DeviceContext ASource) {
  const std::int64_t bytes = std::int64_t{APosition.Width} * APosition.Height * 4;
  if (FFrameCacheOutOfMemory || bytes > FFrameCacheCap - FFrameCacheBytes) return;
  try {
    auto bitmap = std::make_unique<platform::Surface>();
    bitmap->SetSize(APosition.Width, APosition.Height);
    platform::BitBlt(bitmap->DC(), 0, 0, APosition.Width, APosition.Height, ASource, APosition.Pos.X,
                     APosition.Pos.Y);
    APosition.Bitmaps[static_cast<std::size_t>(AFrame)] = std::move(bitmap);
    FFrameCacheBytes += bytes;
  } catch (const std::bad_alloc&) {
    // The frame is drawn again whenever it is shown.
    FFrameCacheOutOfMemory = true;
  }
}

void TFans::DrawBackTo(platform::DeviceContext ADC) const {
  const TFanBackground& background = *FBackground;
  platform::BitBlt(ADC, 0, 0, background.Width(), background.Height(), background.Bitmap().DC(), 0, 0);
}

}  // namespace vf
