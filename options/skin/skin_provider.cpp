#include "options/skin/skin_provider.h"

#include <cstdlib>

#include "options/skin/internal_skins.h"

namespace vf::skin {

TsSkinProvider::TsSkinProvider(TsSkinManager& manager, std::function<void()> onSkinChanged)
    : FManager(&manager), FOnSkinChanged(std::move(onSkinChanged)) {
  FManager->Attach(this);
}

TsSkinProvider::~TsSkinProvider() {
  if (FManager != nullptr) FManager->Detach(this);
}

void TsSkinProvider::SkinChanged() {
  if (FOnSkinChanged) FOnSkinChanged();
}

const TSkin& TsSkinProvider::Look() const { return FManager != nullptr ? FManager->CurrentLook() : PlainLook(); }

void TsSkinProvider::PaintForm(TPainter& painter, int width, int height) const {
  const TFormSection& s = Look().Form;
  const TRectF all{0, 0, static_cast<float>(width), static_cast<float>(height)};
  painter.FillRound(all, 0, s.Background);
  if (s.HeaderBandAlpha > 0) painter.FillRound({0, static_cast<float>(height - 30), all.W, 30}, 0, s.HeaderBand, s.HeaderBandAlpha);
  if (s.DividerAlpha > 0) {
    painter.Fill({136, 10, 137, 74}, s.Divider, s.DividerAlpha);
    painter.Fill({10, height - 31, width - 10, height - 30}, s.Divider, s.DividerAlpha);
  }
  if (s.ScanlineAlpha > 0)
    for (int y = 1; y < height; y += 2) painter.Fill({0, y, width, y + 1}, {0, 0, 0}, s.ScanlineAlpha);
  const auto radius = static_cast<float>(s.CornerRadius);
  if (s.InnerBorderAlpha > 0) painter.StrokeRound(all.Inset(1), radius - 1, 1, s.InnerBorder, s.InnerBorderAlpha);
  if (s.CornerRadius > 0 || s.Border != s.Background.At(0)) painter.StrokeRound(all, radius, 1, s.Border);
  // The corners outside the rounded edge take the window's transparent colour.
  if (s.CornerRadius > 0) painter.ClearOutsideRound(all, radius, {255, 0, 255});
}

platform::Rect TsSkinProvider::Snap(const platform::Rect& proposed, const platform::Rect& workArea, int distance) {
  int dx = 0, dy = 0;
  if (std::abs(proposed.Left - workArea.Left) < distance) dx = workArea.Left - proposed.Left;
  else if (std::abs(proposed.Right - workArea.Right) < distance) dx = workArea.Right - proposed.Right;
  if (std::abs(proposed.Top - workArea.Top) < distance) dy = workArea.Top - proposed.Top;
  else if (std::abs(proposed.Bottom - workArea.Bottom) < distance) dy = workArea.Bottom - proposed.Bottom;
  return {proposed.Left + dx, proposed.Top + dy, proposed.Right + dx, proposed.Bottom + dy};
}

platform::MoveFilter TsSkinProvider::SnapFilter(std::function<platform::Rect(const platform::Rect&)> workAreaOf) const {
  if (!ScreenSnap) return {};
  return [distance = SnapDistance, workAreaOf = std::move(workAreaOf)](const platform::Rect& proposed) {
    return Snap(proposed, workAreaOf(proposed), distance);
  };
}

}  // namespace vf::skin
