#include "options/form_options.h"

#include <algorithm>
#include <utility>

#include "options/skin/painter.h"

namespace vf {

using platform::FontSpec;
using platform::Rect;
using platform::WindowEvent;

namespace {

// The window's default font, and the name label's own.
const FontSpec kTahoma{u"Tahoma", 11, false, false};
const FontSpec kArialBlack{u"Arial Black", 15, true, true};

Rect At(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

}  // namespace

TFormOptions::TFormOptions(TServices services)
    : FControls([this] { Invalidate(); }),
      sSkinProvider1(sSkinManager1, [this] { Invalidate(); }),
      sLabel3(FControls, At(16, 8, 56, 13), u"Background", kTahoma),
      sTrackBar2(FControls, At(8, 24, 120, 31), 0, 9, 0),
      sLabel1(FControls, At(16, 61, 30, 13), u"Speed", kTahoma),
      sTrackBar1(FControls, At(8, 80, 209, 23), 10, 30, 10),
      sLabel2(FControls, At(144, 8, 18, 13), u"Fan", kTahoma),
      sRadioButton1(FControls, At(143, 27, 20, 20)),
      sRadioButton2(FControls, At(168, 27, 20, 20)),
      sRadioButton3(FControls, At(193, 27, 20, 20)),
      sBitBtn1(FControls, At(144, 54, 68, 20), u"Ok", kTahoma),
      // The name sits centred near the bottom edge whatever face stands in for Arial Black.
      sLabel4(FControls, At(51, 102, 118, 22), u"Vindelux Fan ", kArialBlack, skin::TsLabel::TStyle::Title,
              platform::TextAlign::Center),
      FServices(std::move(services)) {
  sTrackBar1.TabOrder = 0;
  sRadioButton1.TabOrder = 1;
  sRadioButton2.TabOrder = 2;
  sRadioButton3.TabOrder = 3;
  sTrackBar2.TabOrder = 4;
  sBitBtn1.TabOrder = 5;

  sRadioButton1.OnClick = [this](TObject* sender) { sRadioButton1Click(sender); };
  sRadioButton2.OnClick = [this](TObject* sender) { sRadioButton2Click(sender); };
  sRadioButton3.OnClick = [this](TObject* sender) { sRadioButton3Click(sender); };
  sTrackBar1.OnChange = [this](TObject* sender) { sTrackBar1Change(sender); };
  sTrackBar2.OnChange = [this](TObject* sender) { sTrackBar2Change(sender); };
  sBitBtn1.OnClick = [this](TObject* sender) { sBitBtn1Click(sender); };

  if (FServices.CreateWindow) {
    platform::PopupWindowStyle style;
    style.ClientWidth = kClientWidth;
    style.ClientHeight = kClientHeight;
    style.TopMost = true;
    style.NoTaskbarEntry = true;
    style.Opacity = kOpacity;
    style.FuchsiaTransparent = true;
    FWindow = FServices.CreateWindow(style, [this](const WindowEvent& event) { HandleEvent(event); });
  }
  Repaint();
}

TFormOptions::~TFormOptions() {
  *FAlive = false;
  FWindow.reset();
}

void TFormOptions::SetParametrs(TParametrs Prms) {
  Parametrs = Prms;
  sRadioButton1.SetChecked(Parametrs.Fan == 0);
  sRadioButton2.SetChecked(Parametrs.Fan == 1);
  sRadioButton3.SetChecked(Parametrs.Fan == 2);
  sTrackBar1.SetPosition(Parametrs.Speed);
  sTrackBar2.SetPosition(Parametrs.Background);
}

void TFormOptions::ChangeParametrs() { Raise(FOnChangeParametrs, this); }

void TFormOptions::sRadioButton1Click(TObject*) {
  Parametrs.Fan = 0;
  ChangeParametrs();
}
void TFormOptions::sRadioButton2Click(TObject*) {
  Parametrs.Fan = 1;
  ChangeParametrs();
}
void TFormOptions::sRadioButton3Click(TObject*) {
  Parametrs.Fan = 2;
  ChangeParametrs();
}
void TFormOptions::sTrackBar1Change(TObject*) {
  Parametrs.Speed = sTrackBar1.Position();
  ChangeParametrs();
}
void TFormOptions::sTrackBar2Change(TObject*) {
  Parametrs.Background = sTrackBar2.Position();
  ChangeParametrs();
}

void TFormOptions::sBitBtn1Click(TObject*) {
  FModalResult = 1;
  Close();
}

void TFormOptions::Close() {
  // The close handler's subscriber may destroy the form; after that nothing here touches it.
  const std::shared_ptr<bool> alive = FAlive;
  TCloseAction action = TCloseAction::caHide;
  FormClose(this, action);
  if (!*alive) return;
  if (action == TCloseAction::caHide) Hide();
}

void TFormOptions::FormClose(TObject*, TCloseAction&) { Raise(FOnTerminate, this); }

void TFormOptions::FormMouseDown(TObject*, platform::MouseButton, platform::ShiftState, int, int) {
  // Any button starts the platform's move loop, as a press on a title bar would.
  if (FWindow) FWindow->BeginMoveDrag(sSkinProvider1.SnapFilter(FServices.WorkAreaOf));
}

int TFormOptions::Left() const { return FWindow ? FWindow->Bounds().Left : FLeft; }
int TFormOptions::Top() const { return FWindow ? FWindow->Bounds().Top : FTop; }

void TFormOptions::MoveTo(int left, int top) {
  FLeft = left;
  FTop = top;
  if (FWindow) FWindow->MoveTo(left, top);
}

void TFormOptions::Show() {
  FVisible = true;
  if (FWindow) {
    FWindow->Present(FPresented);
    FWindow->Show();
  }
}

void TFormOptions::Hide() {
  FVisible = false;
  if (FWindow) FWindow->Hide();
}

void TFormOptions::BringToFront() {
  if (FWindow) FWindow->BringToFront();
}

void TFormOptions::SetOwner(void* nativeOwner) {
  if (FWindow) FWindow->SetOwner(nativeOwner);
}

void TFormOptions::HandleEvent(const WindowEvent& event) {
  const std::shared_ptr<bool> alive = FAlive;
  ++FEventDepth;
  switch (event.Type) {
    case WindowEvent::Kind::CloseRequest:
      Close();
      break;
    case WindowEvent::Kind::MouseDown:
      if (!FControls.Dispatch(event))
        FormMouseDown(this, event.Button, event.Shift, event.Position.X, event.Position.Y);
      break;
    case WindowEvent::Kind::Paint:
      Invalidate();
      break;
    default:
      FControls.Dispatch(event);
      break;
  }
  if (!*alive) return;
  --FEventDepth;
  if (event.Type == WindowEvent::Kind::MouseMove || event.Type == WindowEvent::Kind::MouseDown ||
      event.Type == WindowEvent::Kind::MouseUp) {
    const platform::CursorShape cursor = FControls.CursorAt(event.Position);
    if (cursor != FCursor && FWindow) FWindow->SetCursor(cursor);
    FCursor = cursor;
  }
  if (FEventDepth == 0 && FDirty) Repaint();
}

void TFormOptions::Invalidate() {
  FDirty = true;
  if (FEventDepth == 0) Repaint();
}

platform::PixelBuffer TFormOptions::PaintPicture() const {
  platform::PixelBuffer picture(kClientWidth, kClientHeight);
  skin::TPainter painter(picture);
  sSkinProvider1.PaintForm(painter, kClientWidth, kClientHeight);
  FControls.Paint(painter, sSkinProvider1.Look());
  return picture;
}

void TFormOptions::Repaint() {
  FDirty = false;
  platform::PixelBuffer picture = PaintPicture();
  const bool changed = FPresented.Empty() || !std::equal(picture.Row(0), picture.Row(0) + kClientWidth * kClientHeight, FPresented.Row(0));
  if (!changed) return;
  FPresented = std::move(picture);
  if (FWindow) FWindow->Present(FPresented);
}

}  // namespace vf
