#pragma once

#include <functional>

#include "options/skin/notify_event.h"
#include "options/skin/painter.h"
#include "options/skin/skin_manager.h"
#include "platform/window.h"

namespace vf::skin {

// Skins one window: paints its surface from the "FORM" section of the manager's skin, repaints it
// when the skin changes, and snaps the window to the edges of its monitor's work area while the
// user moves it. It draws no shadow borders, keeps the opacity while moving and adds no title
// buttons.
class TsSkinProvider : public TObject {
 public:
  TsSkinProvider(TsSkinManager& manager, std::function<void()> onSkinChanged);
  ~TsSkinProvider() override;
  TsSkinProvider(const TsSkinProvider&) = delete;
  TsSkinProvider& operator=(const TsSkinProvider&) = delete;

  // The look the window and its controls are painted with now.
  const TSkin& Look() const;
  void PaintForm(TPainter& painter, int width, int height) const;

  bool ScreenSnap = true;
  int SnapDistance = 10;
  // The proposed window rectangle with each edge that comes closer than `distance` pixels to the
  // same edge of the work area moved onto it (left before right, top before bottom).
  static platform::Rect Snap(const platform::Rect& proposed, const platform::Rect& workArea, int distance);
  // The filter for the window's move loop, finding the work area of the window's monitor.
  platform::MoveFilter SnapFilter(std::function<platform::Rect(const platform::Rect&)> workAreaOf) const;

 private:
  friend class TsSkinManager;
  void SkinChanged();

  TsSkinManager* FManager;
  std::function<void()> FOnSkinChanged;
};

}  // namespace vf::skin
