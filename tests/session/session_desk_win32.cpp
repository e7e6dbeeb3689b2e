// The desk on Windows: the desktop as it is (under wine, wine's own window management on the
// lane's display), the hand and the screen as the window tests have them.
#include <windows.h>

#include <string>
#include <thread>

#include "platform/text.h"
#include "session_desk.h"
#include "window/screen_input.h"

namespace session {
namespace {

using namespace std::chrono_literals;

class Process final : public Program {
 public:
  explicit Process(PROCESS_INFORMATION info) : FInfo(info) {}
  ~Process() override {
    if (FInfo.hProcess == nullptr) return;
    if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(FInfo.hProcess, 1);
    CloseHandle(FInfo.hProcess);
    CloseHandle(FInfo.hThread);
  }
  std::optional<int> WaitFor(std::chrono::milliseconds limit) override {
    if (WaitForSingleObject(FInfo.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(FInfo.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION FInfo;
};

std::wstring Wide(const std::string& text) {
  const std::u16string utf16 = platform::Utf8ToUtf16(text);
  return std::wstring(utf16.begin(), utf16.end());
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Named procedures: a lambda gives no stdcall function on 32-bit Windows.
BOOL CALLBACK FindMoveLoop(HWND window, LPARAM param) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectShown(HWND window, LPARAM param) {
  auto& found = *reinterpret_cast<std::vector<ShownWindow>*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[256] = {};
  GetWindowTextW(window, title, 256);
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const std::wstring wide(title);
  found.push_back({platform::Utf16ToUtf8(std::u16string(wide.begin(), wide.end())),
                   {origin.x, origin.y, client.right - client.left, client.bottom - client.top}});
  return TRUE;
}

class Win32Desk final : public Desk {
 public:
  std::unique_ptr<Program> Start(const std::filesystem::path& program,
                                 const std::vector<std::string>& args,
                                 const std::filesystem::path& log) override {
    std::wstring command = Quoted(program.wstring());
    for (const auto& a : args) command += L" " + Quoted(Wide(a));
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(log.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        program.parent_path().wstring().c_str(), &startup, &info);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (!started) return nullptr;
    return std::make_unique<Process>(info);
  }

  std::vector<ShownWindow> Windows() override {
    std::vector<ShownWindow> found;
    EnumWindows(&CollectShown, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  void MovePointer(int x, int y) override { window_test::MovePointer({x, y}); }
  void Press(Button button, bool down) override {
    const platform::MouseButton which = button == Button::Left     ? platform::MouseButton::Left
                                        : button == Button::Middle ? platform::MouseButton::Middle
                                                                   : platform::MouseButton::Right;
    if (down)
      window_test::PressButton(which);
    else
      window_test::ReleaseButton(which);
  }
  void Type(Keys keys) override {
    std::vector<WORD> chord;
    switch (keys) {
      case Keys::Escape: chord = {VK_ESCAPE}; break;
      case Keys::Enter: chord = {VK_RETURN}; break;
      case Keys::AltF4: chord = {VK_MENU, VK_F4}; break;
    }
    std::vector<INPUT> inputs;
    for (WORD key : chord) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      inputs.push_back(input);
    }
    for (auto it = chord.rbegin(); it != chord.rend(); ++it) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = *it;
      input.ki.dwFlags = KEYEVENTF_KEYUP;
      inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  }
  platform::PixelBuffer Capture(const Box& area) override {
    return window_test::CaptureScreen(
        {area.left, area.top, area.left + area.width, area.top + area.height});
  }
  Box ScreenBox() override {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  bool MoveLoopEndsWithEnter() const override { return true; }
  bool MoveLoopRunning() override {
    bool running = false;
    EnumWindows(&FindMoveLoop, reinterpret_cast<LPARAM>(&running));
    return running;
  }
};

}  // namespace

std::unique_ptr<Desk> Desk::Open(const std::filesystem::path&, std::string&) {
  return std::make_unique<Win32Desk>();
}

}  // namespace session
