#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "options/parametrs.h"
#include "options/skin/bit_btn.h"
#include "options/skin/control.h"
#include "options/skin/label.h"
#include "options/skin/notify_event.h"
#include "options/skin/radio_button.h"
#include "options/skin/skin_manager.h"
#include "options/skin/skin_provider.h"
#include "options/skin/track_bar.h"
#include "platform/pixel_buffer.h"
#include "platform/window.h"

// The options window: the user picks the fan skin, the background and the speed. It keeps a working
// copy of the parameters, reports every change at once through OnChangeParametrs and every close
// through OnTerminate; "Ok" sets ModalResult to 1 before closing.
namespace vf {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TFormOptions : public TObject {
 public:
  // What the window needs of the platform, replaceable so tests can watch a fake window.
  struct TServices {
    std::function<std::unique_ptr<platform::PopupWindow>(const platform::PopupWindowStyle&,
                                                         platform::WindowEventHandler)> CreateWindow;
    std::function<platform::Rect(const platform::Rect&)> WorkAreaOf;
  };
  // The platform's own windows and work areas.
  static TServices PlatformServices();

  static constexpr int kClientWidth = 224;
  static constexpr int kClientHeight = 130;
  static constexpr std::uint8_t kOpacity = 235;

  // Builds the window from its stored layout, with no skin. The window itself may be missing
  // (no display): the form then works without one.
  TFormOptions();
  explicit TFormOptions(TServices services);
  ~TFormOptions() override;
  TFormOptions(const TFormOptions&) = delete;
  TFormOptions& operator=(const TFormOptions&) = delete;

  void SetParametrs(TParametrs Prms);
  TParametrs GetParametrs() const { return Parametrs; }

  const TNotifyEvent& OnTerminate() const { return FOnTerminate; }
  void SetOnTerminate(TNotifyEvent event) { FOnTerminate = std::move(event); }
  const TNotifyEvent& OnChangeParametrs() const { return FOnChangeParametrs; }
  void SetOnChangeParametrs(TNotifyEvent event) { FOnChangeParametrs = std::move(event); }

  int ModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }

  // The inherited window operations the controller uses. The window has no frame, so its outer
  // size is its client size.
  int Width() const { return kClientWidth; }
  int Height() const { return kClientHeight; }
  int Left() const;
  int Top() const;
  void SetLeft(int value) { MoveTo(value, Top()); }
  void SetTop(int value) { MoveTo(Left(), value); }
  void MoveTo(int left, int top);
  void Show();
  void Hide();
  bool Visible() const { return FVisible; }
  void BringToFront();
  // Owned by the host's native window, where the platform has owners.
  void SetOwner(void* nativeOwner);
  // Any close request: "Ok", or the window system's.
  void Close();

  // The handlers bound by the stored form.
  void sRadioButton1Click(TObject* Sender);
  void sRadioButton2Click(TObject* Sender);
  void sRadioButton3Click(TObject* Sender);
  void sTrackBar1Change(TObject* Sender);
  void sTrackBar2Change(TObject* Sender);
  void sBitBtn1Click(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormMouseDown(TObject* Sender, platform::MouseButton Button, platform::ShiftState Shift, int X, int Y);

  // One event of the window, as the platform delivers it.
  void HandleEvent(const platform::WindowEvent& event);
  // The window's current picture, painted from the skin and the controls' state.
  platform::PixelBuffer PaintPicture() const;
  platform::PopupWindow* Window() const { return FWindow.get(); }
  skin::TsControl* ActiveControl() const { return FControls.ActiveControl(); }

  // Tests reach the window's components by their stored names.
  skin::TsControlHost FControls;
  skin::TsSkinManager sSkinManager1;
  skin::TsSkinProvider sSkinProvider1;
  skin::TsLabel sLabel3;
  skin::TsTrackBar sTrackBar2;
  skin::TsLabel sLabel1;
  skin::TsTrackBar sTrackBar1;
  skin::TsLabel sLabel2;
  skin::TsRadioButton sRadioButton1;
  skin::TsRadioButton sRadioButton2;
  skin::TsRadioButton sRadioButton3;
  skin::TsBitBtn sBitBtn1;
  skin::TsLabel sLabel4;

 private:
  void ChangeParametrs();
  void Invalidate();
  void Repaint();

  TServices FServices;
  TNotifyEvent FOnTerminate;
  TNotifyEvent FOnChangeParametrs;
  TParametrs Parametrs{};
  int FModalResult = 0;
  bool FVisible = false;
  int FLeft = 0, FTop = 0;  // the position while there is no window
  int FEventDepth = 0;      // repainting waits for the end of the event being handled
  bool FDirty = false;
  platform::PixelBuffer FPresented;
  platform::CursorShape FCursor = platform::CursorShape::Arrow;
  std::unique_ptr<platform::PopupWindow> FWindow;
  // Shared with the running handlers: tells them the form was destroyed under them.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// A form with a chosen internal skin, for trying the window by hand.
std::unique_ptr<TFormOptions> MakeSkinnedFormOptions(std::u16string_view skinName);

}  // namespace vf
