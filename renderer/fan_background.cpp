#include "fan_background.h"

#include "platform/imaging.h"

namespace vf {

namespace {

namespace gp = platform::gdiplus;

bool HasSize(const TFanGraphic& part) { return part.Width() != 0 && part.Height() != 0; }

// The first present name of a part decides its placement; the later ones are not tried.
TTypePos LoadFirstOf(TFanGraphic& part, std::span<const TPartName> names, std::int32_t index) {
  for (const auto& name : names)
    if (TryLoadPart(part, FormatName(name.Format, {index}))) return name.Pos;
  return TTypePos::tpNone;
}

// A run draws copies k = 0 .. inner div tile, so it always reaches the far side; it draws nothing
// only when that quotient is negative.
template <typename Draw>
void Run(std::int32_t inner, std::int32_t tile, Draw&& draw) {
  for (std::int32_t k = 0; k <= inner / tile; ++k) draw(k);
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
  FInfo.OrigPadding = TRect{FFanParts.LeftTopBottom->Width(), FFanParts.TopLeftRight->Height(),
                            FFanParts.RightTopBottom->Width(), FFanParts.BottomLeftRight->Height()};
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

void TFanBackground::ComposeBack() {
  const std::int32_t W0 = FInfo.OrigWidth;
  const std::int32_t H0 = FInfo.OrigHeight;
  const auto& p = FFanParts;
  const std::int32_t padL = p.LeftTopBottom->Width();
  const std::int32_t padR = p.RightTopBottom->Width();
  const std::int32_t padT = p.TopLeftRight->Height();
  const std::int32_t padB = p.BottomLeftRight->Height();
  const std::int32_t innerW = W0 - padL - padR;
  const std::int32_t innerH = H0 - padT - padB;

  // The work bitmap starts white; transparent parts let the white show through.
  platform::Surface work;
  work.SetSize(W0, H0);
  const platform::DeviceContext dc = work.DC();

  if (HasSize(*p.Centr)) {
    TFanGraphic& c = *p.Centr;
    const std::int32_t w = c.Width(), h = c.Height();
    switch (p.PosCentr) {
      case TTypePos::tpPart:
        Run(innerW, w, [&](std::int32_t k) {
          Run(innerH, h, [&](std::int32_t j) {
            c.DrawTo(dc, MakeGPRect(padL + w * k, padT + h * j, w, h), false);
          });
        });
        break;
      case TTypePos::tpStretch:
        c.DrawTo(dc, MakeGPRect(padL, padT, innerW, innerH), true);
        break;
      case TTypePos::tpHorz:
        Run(innerW, w, [&](std::int32_t k) { c.DrawTo(dc, MakeGPRect(padL + w * k, padT, w, innerH), true); });
        break;
      case TTypePos::tpVert:
        Run(innerH, h, [&](std::int32_t j) { c.DrawTo(dc, MakeGPRect(padL, padT + h * j, innerW, h), true); });
        break;
      case TTypePos::tpNone:
        break;
    }
  }

  // Tiled edges start after the neighbouring edge and count their own tiles; stretched edges span
  // the whole side, and the corners drawn last cover their ends.
  auto horizontalEdge = [&](TFanGraphic& e, TTypePos pos, auto y) {
    if (!HasSize(e)) return;
    const std::int32_t w = e.Width(), h = e.Height();
    if (pos == TTypePos::tpPart)
      Run(innerW, w, [&](std::int32_t k) { e.DrawTo(dc, MakeGPRect(padL + w * k, y(h), w, h), true); });
    else if (pos == TTypePos::tpStretch)
      e.DrawTo(dc, MakeGPRect(0, y(h), W0, h), true);
  };
  auto verticalEdge = [&](TFanGraphic& e, TTypePos pos, auto x) {
    if (!HasSize(e)) return;
    const std::int32_t w = e.Width(), h = e.Height();
    if (pos == TTypePos::tpPart)
      Run(innerH, h, [&](std::int32_t j) { e.DrawTo(dc, MakeGPRect(x(w), padT + h * j, w, h), true); });
    else if (pos == TTypePos::tpStretch)
      e.DrawTo(dc, MakeGPRect(x(w), 0, w, H0), true);
  };
  horizontalEdge(*p.TopLeftRight, p.PosTopLeftRight, [](std::int32_t) { return 0; });
  horizontalEdge(*p.BottomLeftRight, p.PosBottomLeftRight, [&](std::int32_t h) { return H0 - h; });
  verticalEdge(*p.LeftTopBottom, p.PosLeftTopBottom, [](std::int32_t) { return 0; });
  verticalEdge(*p.RightTopBottom, p.PosRightTopBottom, [&](std::int32_t w) { return W0 - w; });

  auto corner = [&](TFanGraphic& c, bool right, bool bottom) {
    if (!HasSize(c)) return;
    const std::int32_t w = c.Width(), h = c.Height();
    c.DrawTo(dc, MakeGPRect(right ? W0 - w : 0, bottom ? H0 - h : 0, w, h), true);
  };
  corner(*p.TopLeft, false, false);
  corner(*p.TopRight, true, false);
  corner(*p.BottomLeft, false, true);
  corner(*p.BottomRight, true, true);

  FBack.SetSize(FInfo.GPRect.Width, FInfo.GPRect.Height);
  // A composition without pixels has nothing to scale: the target stays white.
  if (work.Width() < 1 || work.Height() < 1) return;
  StretchDrawBitmap(work, FBack, MakeGPRect(0, 0, W0, H0), MakeGPRect(0, 0, FBack.Width(), FBack.Height()),
                    FIsGdiPlus, true);
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
