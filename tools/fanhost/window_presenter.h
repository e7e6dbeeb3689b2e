#pragma once

#include <memory>
#include <string>

#include "fanhost/presenter.h"
#include "platform/window.h"

// The visualisation area in a window on the screen: the plug-in paints into an off-screen surface
// of the window's client size, which is then presented in the window. The window's events arrive
// through the thread's message pump, as the plug-in's own do.
namespace fanhost {

class WindowPresenter final : public Presenter {
 public:
  // Null when no window can be made (no display).
  static std::unique_ptr<WindowPresenter> Create(int width, int height, std::string snapshotPath);

  platform::DeviceContext DC() override { return FArea.DC(); }
  int Width() const override { return FArea.Width(); }
  int Height() const override { return FArea.Height(); }
  void OnInput(HostInputHandler handler) override { FOnInput = std::move(handler); }
  void FramePainted(long frame) override;
  bool Finish() override;

  platform::HostWindow& Window() { return *FWindow; }

 private:
  explicit WindowPresenter(std::string snapshotPath) : FSnapshotPath(std::move(snapshotPath)) {}
  void HandleEvent(const platform::WindowEvent& event);
  void Send(HostInput::Kind kind, int x = 0, int y = 0);

  platform::Surface FArea;
  std::unique_ptr<platform::HostWindow> FWindow;
  std::string FSnapshotPath;
  HostInputHandler FOnInput;
};

}  // namespace fanhost
