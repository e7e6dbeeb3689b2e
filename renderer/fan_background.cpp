#include "renderer/fan_background.h"

#include "platform/imaging.h"

namespace vf {

namespace {

namespace gp = platform::gdiplus;

// The first present name of a part decides its placement; the later ones are not tried.
TTypePos LoadFirstOf(TFanGraphic& part, std::span<const TPartName> names, std::int32_t index) {
  for (const auto& name : names)
    if (TryLoadPart(part, FormatName(name.Format, {index}))) return name.Pos;
  return TTypePos::tpNone;
}

}  // namespace

TFanBackground::TFanBackground(std::int32_t ABackIndex, std::int32_t AWidth, std::int32_t AHeight,
                               bool AIsGdiPlus)
    : FIsGdiPlus(AIsGdiPlus) {
  FInfo.BackCount = CountBackgrounds();
  FInfo.BackIndex = ABackIndex;
  FInfo.GPRect = MakeGPRect(0, 0, AWidth, AHeight);
  SetBackIndex(ABackIndex);
}

std::int32_t TFanBackground::CountBackgrounds() { return vf::CountBackgrounds(); }

void TFanBackground::SetSize(std::int32_t AOrigWidth, std::int32_t AOrigHeight, std::int32_t AWidth,
                             std::int32_t AHeight) {
  FInfo.OrigWidth = AOrigWidth;
  FInfo.OrigHeight = AOrigHeight;
  FInfo.GPRect.Width = AWidth;
  FInfo.GPRect.Height = AHeight;
  ComposeBack();
}

void TFanBackground::SetBackIndex(std::int32_t Value) {
  FInfo.BackIndex = Value;
  CreateParts();
  LoadParts();
  FInfo.OrigPadding = PaddingOf(PartLayouts());
}

void TFanBackground::SetIsGdiPlus(bool Value) {
  FIsGdiPlus = Value;
  SetBackIndex(FInfo.BackIndex);
  ComposeBack();
}

void TFanBackground::CreateParts() {
  auto make = [this] { return TFanGraphic::Create(FIsGdiPlus); };
  FFanParts = TFanParts{make(), TTypePos::tpNone, make(), make(), make(), make(),
                        make(), TTypePos::tpNone, make(), TTypePos::tpNone, make(),
                        TTypePos::tpNone, make(), TTypePos::tpNone};
}

void TFanBackground::LoadParts() {
  const std::int32_t n = FInfo.BackIndex;
  auto& p = FFanParts;
  p.PosCentr = LoadFirstOf(*p.Centr, kCentrNames, n);
  TryLoadPart(*p.TopLeft, FormatName(kTopLeftName, {n}));
  TryLoadPart(*p.TopRight, FormatName(kTopRightName, {n}));
  TryLoadPart(*p.BottomLeft, FormatName(kBottomLeftName, {n}));
  TryLoadPart(*p.BottomRight, FormatName(kBottomRightName, {n}));
  p.PosTopLeftRight = LoadFirstOf(*p.TopLeftRight, kTopLeftRightNames, n);
  p.PosBottomLeftRight = LoadFirstOf(*p.BottomLeftRight, kBottomLeftRightNames, n);
  p.PosLeftTopBottom = LoadFirstOf(*p.LeftTopBottom, kLeftTopBottomNames, n);
  p.PosRightTopBottom = LoadFirstOf(*p.RightTopBottom, kRightTopBottomNames, n);
}

TFanGraphic& TFanBackground::PartAt(TPartSlot slot) const {
  const auto& p = FFanParts;
  switch (slot) {
    case TPartSlot::Centr: return *p.Centr;
    case TPartSlot::TopLeftRight: return *p.TopLeftRight;
    case TPartSlot::BottomLeftRight: return *p.BottomLeftRight;
    case TPartSlot::LeftTopBottom: return *p.LeftTopBottom;
    case TPartSlot::RightTopBottom: return *p.RightTopBottom;
    case TPartSlot::TopLeft: return *p.TopLeft;
    case TPartSlot::TopRight: return *p.TopRight;
    case TPartSlot::BottomLeft: return *p.BottomLeft;
    case TPartSlot::BottomRight: return *p.BottomRight;
  }
  return *p.Centr;
}

TPartLayouts TFanBackground::PartLayouts() const {
  const auto& p = FFanParts;
  TPartLayouts layouts;
  const TTypePos kinds[kPartSlotCount] = {p.PosCentr,          p.PosTopLeftRight, p.PosBottomLeftRight,
                                          p.PosLeftTopBottom,  p.PosRightTopBottom, TTypePos::tpNone,
                                          TTypePos::tpNone,    TTypePos::tpNone,  TTypePos::tpNone};
  for (std::size_t i = 0; i < kPartSlotCount; ++i) {
    const TFanGraphic& part = PartAt(static_cast<TPartSlot>(i));
    layouts[i] = TPartLayout{part.Width(), part.Height(), kinds[i]};
  }
  return layouts;
}

void TFanBackground::ComposeBack() {
  // The work bitmap starts white; transparent parts let the white show through.
  platform::Surface work;
  work.SetSize(FInfo.OrigWidth, FInfo.OrigHeight);
  for (const TPartDraw& draw : PlanComposition(PartLayouts(), FInfo.OrigWidth, FInfo.OrigHeight))
    PartAt(draw.Slot).DrawTo(work.DC(), draw.Rect, draw.IsSiding);

  FBack.SetSize(FInfo.GPRect.Width, FInfo.GPRect.Height);
  // A composition without pixels has nothing to scale: the target stays white.
  if (work.Width() < 1 || work.Height() < 1) return;
  StretchDrawBitmap(work, FBack, MakeGPRect(0, 0, work.Width(), work.Height()),
                    MakeGPRect(0, 0, FBack.Width(), FBack.Height()), FIsGdiPlus, true);
}

void StretchDrawBitmap(const platform::Surface& ASource, platform::Surface& ADest,
                       const TGPRect& ASourceRect, const TGPRect& ADestRect, bool AIsGdiPlus,
                       bool APreScale) {
  if (ADest.Width() < 1 || ADest.Height() < 1) return;
  if (!AIsGdiPlus) {
    platform::StretchBlt(ADest.DC(), ADestRect.X, ADestRect.Y, ADestRect.Width, ADestRect.Height,
                         ASource.DC(), ASourceRect.X, ASourceRect.Y, ASourceRect.Width,
                         ASourceRect.Height);
    return;
  }
  gp::Image image = gp::CreateBitmapFromSurface(ASource);
  const gp::Unit unit = gp::GetImageBounds(image);
  const gp::Graphics graphics = gp::CreateFromHDC(ADest.DC());
  gp::SetInterpolationMode(graphics, gp::InterpolationMode::HighQualityBicubic);
  TGPRect source = ASourceRect;
  if (APreScale) {
    image = gp::GetImageThumbnail(image, static_cast<std::uint32_t>(ADest.Width()),
                                  static_cast<std::uint32_t>(ADest.Height()));
    source.Width = ADestRect.Width;
    source.Height = ADestRect.Height;
  }
  gp::DrawImageRectRectI(graphics, image, ADestRect.X, ADestRect.Y, ADestRect.Width, ADestRect.Height,
                         source.X, source.Y, source.Width, source.Height, unit);
}

}  // namespace vf
