#include "renderer/fan_layout.h"

#include <algorithm>
#include <cmath>

#include "renderer/rounding.h"

namespace vf {

namespace {

// Products and sums are taken in 64 bits, so no size a host can pass overflows; for every size
// whose 32-bit products fit, the results are the same as with 32-bit arithmetic.
std::int64_t RoundQuotient(std::int64_t a, std::int64_t b) {
  return RoundHalfEven(static_cast<double>(a) / static_cast<double>(b));
}

TGPRect Square(std::int64_t x, std::int64_t y, std::int64_t side) {
  const std::int32_t size = std::max<std::int32_t>(1, SaturateToInt32(side));
  return MakeGPRect(SaturateToInt32(x), SaturateToInt32(y), size, size);
}

}  // namespace

TCompositionSize CalcCompositionSize(std::int32_t fw, std::int32_t fh, std::int32_t AW,
                                     std::int32_t AH) {
  if (AW > AH) return {SaturateToInt32(RoundQuotient(std::int64_t{fh} * AW, AH)), fh};
  return {fw, SaturateToInt32(RoundQuotient(std::int64_t{fw} * AH, AW))};
}

TCompositionSize LimitCompositionSize(const TCompositionSize& AOrig, std::int32_t AW, std::int32_t AH) {
  const std::int64_t pixels = std::int64_t{AOrig.OrigWidth} * AOrig.OrigHeight;
  const std::int64_t budget = std::max(kCompositionBudgetFloor, 4 * std::int64_t{AW} * AH);
  if (pixels <= budget) return AOrig;
  const double scale = std::sqrt(static_cast<double>(budget) / static_cast<double>(pixels));
  auto shrink = [scale](std::int32_t side) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::floor(side * scale)));
  };
  TCompositionSize limited{shrink(AOrig.OrigWidth), shrink(AOrig.OrigHeight)};
  // A side that rounds to 1 leaves the whole budget to the other one.
  if (limited.OrigHeight == 1) limited.OrigWidth = static_cast<std::int32_t>(std::min<std::int64_t>(limited.OrigWidth, budget));
  if (limited.OrigWidth == 1) limited.OrigHeight = static_cast<std::int32_t>(std::min<std::int64_t>(limited.OrigHeight, budget));
  return limited;
}

TFanRects CalcFanRects(std::int32_t OrigWidth, std::int32_t OrigHeight, const TRect& P,
                       std::int32_t AW, std::int32_t AH) {
  const std::int64_t sL = RoundQuotient(std::int64_t{AW} * P.Left, OrigWidth);
  const std::int64_t sT = RoundQuotient(std::int64_t{AH} * P.Top, OrigHeight);
  const std::int64_t sR = RoundQuotient(std::int64_t{AW} * P.Right, OrigWidth);
  const std::int64_t sB = RoundQuotient(std::int64_t{AH} * P.Bottom, OrigHeight);
  const std::int64_t gap = (sL + sT + sR + sB) / 4;
  const std::int64_t W = AW - (sL + sR);
  const std::int64_t H = AH - (sT + sB);

  TFanRects rects{Square(-1, -1, 0), Square(-1, -1, 0)};
  if (2 * H + gap <= W) {
    // Two fans in a row, centred in the inner width, gap pixels apart.
    const std::int64_t x = W / 2 + sL - H - gap / 2;
    rects.R1 = Square(x, sT, H);
    rects.R2 = Square(x + H + gap, sT, H);
    return rects;
  }
  if (H <= W)
    rects.R1 = Square(W / 2 + sL - H / 2, sT, H);
  else
    rects.R1 = Square(sL, H / 2 + sT - W / 2, W);
  // A large area shows two touching fans even when it is not wide enough for a row.
  if (AW >= 320 && AH >= 240) {
    const std::int64_t s = std::min(W / 2, H);
    const std::int64_t x = W / 2 + sL - s;
    const std::int64_t y = H / 2 + sT - s / 2;
    rects.R1 = Square(x, y, s);
    rects.R2 = Square(x + s, y, s);
  }
  return rects;
}

}  // namespace vf
