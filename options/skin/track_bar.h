#pragma once

#include "options/skin/control.h"

namespace vf::skin {

// A horizontal slider that behaves like the platform's trackbar. Setting Position clamps it into
// [Min, Max] and raises OnChange only when it changes. The user's scrolling raises OnChange for
// every scroll notification the platform control would send, even when the position stays:
//   thumb drag     one per move that changes the position, then two at the release
//                  (the final position, then the end of tracking);
//   channel press  one page step toward the press, then the end of tracking at the release;
//   keys           one step (arrows 1, Page Up/Down 2, Home/End to the ends) when the position
//                  moves, then the end of tracking, which the platform sends at the key's release.
class TsTrackBar : public TsControl {
 public:
  static constexpr int kThumbLength = 23;

  TsTrackBar(TsControlHost& host, platform::Rect bounds, int min, int max, int position);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  void SetPosition(int value);
  int LineSize = 1;
  int PageSize = 2;
  TNotifyEvent OnChange;

  // Geometry in client coordinates, for painting and hit testing.
  platform::Rect ThumbRect() const;
  int ValueX(int value) const;  // the centre of the thumb at a value, where its tick is

  bool CanFocus() const override { return true; }
  void MouseDown(const platform::WindowEvent& event) override;
  void MouseMove(const platform::WindowEvent& event) override;
  void MouseUp(const platform::WindowEvent& event) override;
  bool KeyDown(const platform::WindowEvent& event) override;
  void CancelMode() override;
  void Paint(TPainter& painter, const TSkin& skin, bool showFocus) const override;

 private:
  enum class TTracking { None, Thumb, Page };
  int Clamp(int value) const;
  int Top0() const;  // the top of the thumb
  void Notify();
  void Scroll(int target);  // a user step: moves when it can, one notification either way

  int FMin, FMax, FPosition;
  TTracking FTracking = TTracking::None;
  int FGrabOffset = 0;  // pointer x minus thumb centre when the thumb was grabbed
  bool FThumbHot = false;
};

}  // namespace vf::skin
