#include "options/skin/track_bar.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vf::skin {

using platform::Key;
using platform::MouseButton;
using platform::WindowEvent;

namespace {
// The thumb is 23 pixels along the channel and 14 across; the ticks sit 3 pixels below it. The
// whole group is centred in the control's height.
constexpr int kThumbHeight = 14;
constexpr int kGroupHeight = 21;
constexpr int kSideMargin = 4;
}  // namespace

TsTrackBar::TsTrackBar(TsControlHost& host, platform::Rect bounds, int min, int max, int position)
    : TsControl(host, bounds), FMin(min), FMax(std::max(min, max)), FPosition(std::clamp(position, min, std::max(min, max))) {
  SkinSection = kTrackBarSection;
}

int TsTrackBar::Clamp(int value) const { return std::clamp(value, FMin, FMax); }

void TsTrackBar::Notify() {
  Invalidate();
  Raise(OnChange, this);
}

void TsTrackBar::SetPosition(int value) {
  value = Clamp(value);
  if (value == FPosition) return;
  FPosition = value;
  Notify();
}

void TsTrackBar::Scroll(int target) {
  target = Clamp(target);
  if (target != FPosition) {
    FPosition = target;
    Notify();
  }
}

int TsTrackBar::Top0() const { return Top() + (Height() - kGroupHeight) / 2; }

int TsTrackBar::ValueX(int value) const {
  const double first = Left() + kSideMargin + kThumbLength / 2.0;
  const double travel = Width() - 2 * kSideMargin - kThumbLength;
  const double t = FMax == FMin ? 0.0 : static_cast<double>(value - FMin) / (FMax - FMin);
  return static_cast<int>(std::floor(first + t * travel));
}

platform::Rect TsTrackBar::ThumbRect() const {
  const int left = ValueX(FPosition) - kThumbLength / 2;
  return {left, Top0(), left + kThumbLength, Top0() + kThumbHeight};
}

void TsTrackBar::MouseDown(const WindowEvent& event) {
  if (event.Button != MouseButton::Left) return;
  SetFocus();
  const platform::Rect thumb = ThumbRect();
  if (event.Position.X >= thumb.Left && event.Position.X < thumb.Right) {
    FTracking = TTracking::Thumb;
    FGrabOffset = event.Position.X - ValueX(FPosition);
    Invalidate();
    return;
  }
  FTracking = TTracking::Page;
  Scroll(FPosition + (event.Position.X < thumb.Left ? -PageSize : PageSize));
}

void TsTrackBar::MouseMove(const WindowEvent& event) {
  const platform::Rect thumb = ThumbRect();
  const bool overThumb = event.Position.X >= thumb.Left && event.Position.X < thumb.Right &&
                         event.Position.Y >= thumb.Top && event.Position.Y < thumb.Bottom;
  if (overThumb != FThumbHot) {
    FThumbHot = overThumb;
    Invalidate();
  }
  if (FTracking != TTracking::Thumb) return;
  const double first = Left() + kSideMargin + kThumbLength / 2.0;
  const double travel = Width() - 2 * kSideMargin - kThumbLength;
  const double t = travel <= 0 ? 0.0 : (event.Position.X - FGrabOffset - first) / travel;
  const int value = Clamp(FMin + static_cast<int>(std::lround(t * (FMax - FMin))));
  if (value != FPosition) {
    FPosition = value;
    Notify();
  }
}

void TsTrackBar::MouseUp(const WindowEvent& event) {
  if (event.Button != MouseButton::Left || FTracking == TTracking::None) return;
  const TTracking was = std::exchange(FTracking, TTracking::None);
  if (was == TTracking::Thumb) Notify();  // the thumb's final position
  Notify();                               // the end of tracking
}

void TsTrackBar::CancelMode() {
  FTracking = TTracking::None;
  Invalidate();
}

bool TsTrackBar::KeyDown(const WindowEvent& event) {
  switch (event.KeyCode) {
    case Key::Left:
    case Key::Up: Scroll(FPosition - LineSize); break;
    case Key::Right:
    case Key::Down: Scroll(FPosition + LineSize); break;
    case Key::PageUp: Scroll(FPosition - PageSize); break;
    case Key::PageDown: Scroll(FPosition + PageSize); break;
    case Key::Home: Scroll(FMin); break;
    case Key::End: Scroll(FMax); break;
    default: return false;
  }
  Notify();  // the end of tracking
  return true;
}

void TsTrackBar::Paint(TPainter& painter, const TSkin& skin, bool showFocus) const {
  const TTrackSection& s = skin.TrackBar;
  const platform::Rect thumb = ThumbRect();
  const float channelY = static_cast<float>(thumb.Top) + kThumbHeight / 2.0f - 2;
  const float channelLeft = static_cast<float>(Left() + kSideMargin);
  const float channelWidth = static_cast<float>(Width() - 2 * kSideMargin);
  const TRectF channel{channelLeft, channelY, channelWidth, 5};
  painter.FillRound(channel, 2.5f, s.Channel);
  const float filled = static_cast<float>(ValueX(FPosition)) - channelLeft;
  if (filled > 0) painter.FillRound({channelLeft, channelY, filled, 5}, 2.5f, s.ChannelFilled);
  painter.StrokeRound(channel, 2.5f, 1, s.ChannelBorder);

  // A tick per value below the thumb, the first and last a little longer.
  const int tickTop = thumb.Bottom + 3;
  for (int v = FMin; v <= FMax; ++v) {
    const int length = v == FMin || v == FMax ? 4 : 3;
    painter.Fill({ValueX(v), tickTop, ValueX(v) + 1, tickTop + length}, s.Tick);
  }

  const TFace& face = FTracking == TTracking::Thumb ? s.ThumbPressed : (Hot() && FThumbHot ? s.ThumbHot : s.Thumb);
  painter.Face(TRectF::From(thumb), static_cast<float>(s.ThumbRadius), face);
  if (s.GripAlpha > 0) {
    const int cx = ValueX(FPosition);
    for (int dx : {-3, 0, 3})
      painter.Fill({cx + dx, thumb.Top + 4, cx + dx + 1, thumb.Bottom - 4}, s.Grip, s.GripAlpha);
  }
  if (showFocus) painter.DottedRect(BoundsRect(), s.Focus, 0.95f);
}

}  // namespace vf::skin
