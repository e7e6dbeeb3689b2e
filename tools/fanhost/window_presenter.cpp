#include "fanhost/window_presenter.h"

#include <cstdio>
#include <utility>

#include "fanhost/snapshot.h"

namespace fanhost {

using platform::WindowEvent;

std::unique_ptr<WindowPresenter> WindowPresenter::Create(int width, int height,
                                                         std::string snapshotPath) {
  std::unique_ptr<WindowPresenter> presenter(new WindowPresenter(std::move(snapshotPath)));
  platform::HostWindowStyle style;
  style.Title = "Vindelux Fan";
  style.ClientWidth = width;
  style.ClientHeight = height;
  WindowPresenter* self = presenter.get();
  presenter->FWindow = platform::HostWindow::Create(
      style, [self](const WindowEvent& event) { self->HandleEvent(event); });
  if (!presenter->FWindow) return nullptr;
  presenter->FArea.SetSize(width, height);
  presenter->FWindow->Show();
  return presenter;
}

void WindowPresenter::Send(HostInput::Kind kind, int x, int y) {
  if (FOnInput) FOnInput({kind, x, y});
}

void WindowPresenter::HandleEvent(const WindowEvent& event) {
  switch (event.Type) {
    case WindowEvent::Kind::Resize:
      if (event.ClientWidth == FArea.Width() && event.ClientHeight == FArea.Height()) return;
      FArea.SetSize(event.ClientWidth, event.ClientHeight);
      Send(HostInput::Kind::Resize, event.ClientWidth, event.ClientHeight);
      break;
    case WindowEvent::Kind::MouseDown:
      if (event.Button == platform::MouseButton::Left)
        Send(HostInput::Kind::Click, event.Position.X, event.Position.Y);
      break;
    case WindowEvent::Kind::DoubleClick:
      if (event.Button == platform::MouseButton::Left)
        FWindow->SetFullscreen(!FWindow->IsFullscreen());
      break;
    case WindowEvent::Kind::KeyDown:
      if (event.KeyCode == platform::Key::Space) Send(HostInput::Kind::TogglePause);
      else if (event.KeyCode == platform::Key::Escape || event.Letter == 'q') Send(HostInput::Kind::Quit);
      else if (event.Letter == 'f') FWindow->SetFullscreen(!FWindow->IsFullscreen());
      break;
    case WindowEvent::Kind::Paint:
      Send(HostInput::Kind::Frame);
      break;
    case WindowEvent::Kind::CloseRequest:
      Send(HostInput::Kind::Quit);
      break;
    default:
      break;
  }
}

void WindowPresenter::FramePainted(long) {
  FWindow->Present(platform::ReadPixels(FArea.DC(), 0, 0, FArea.Width(), FArea.Height()));
}

bool WindowPresenter::Finish() { return FSnapshotPath.empty() || WriteSnapshot(FArea, FSnapshotPath); }

}  // namespace fanhost
