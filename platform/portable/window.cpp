// Portable popup windows on SDL2.
// Implemented: borderless, always-on-top, no-taskbar windows; constant opacity; fuchsia cut out by
// a colour-key window shape taken from every presented buffer; presentation through the window's
// software surface, again on every expose; mouse, key, focus and close events delivered by the
// owner thread's message pump; a move drag that follows the global pointer from that pump until
// every button is up; system arrow and hand cursors; the pointer position and the work areas.
// Where the display refuses shapes or opacity, the window is made plain and says so once.
#include "platform/window.h"

#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

#include "global_pointer.h"
#include "window_system.h"

namespace platform {
namespace {

using portable::SdlLock;

void SayOnce(bool& said, const char* what) {
  if (said) return;
  said = true;
  std::fprintf(stderr, "vindelux-platform: %s (%s); the window is made without it\n", what,
               SDL_GetError());
}

bool gSaidNoShape = false;
bool gSaidNoOpacity = false;

Key KeyOf(SDL_Keycode code) {
  switch (code) {
    case SDLK_TAB: return Key::Tab;
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_UP: return Key::Up;
    case SDLK_DOWN: return Key::Down;
    case SDLK_PAGEUP: return Key::PageUp;
    case SDLK_PAGEDOWN: return Key::PageDown;
    case SDLK_HOME: return Key::Home;
    case SDLK_END: return Key::End;
    case SDLK_SPACE: return Key::Space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Enter;
    case SDLK_ESCAPE: return Key::Escape;
    default: return Key::Other;
  }
}

char LetterOf(SDL_Keycode code) {
  return code >= SDLK_a && code <= SDLK_z ? static_cast<char>('a' + (code - SDLK_a)) : '\0';
}

ShiftState ShiftOf(Uint16 mod) {
  return {(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0};
}

bool ButtonOf(Uint8 sdlButton, MouseButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = MouseButton::Left; return true;
    case SDL_BUTTON_RIGHT: button = MouseButton::Right; return true;
    case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; return true;
    default: return false;
  }
}

// The input and window events both kinds of window pass on alike: closing, focus, the pointer
// leaving, mouse buttons and motion, keys. False for anything else, which the window handles
// itself or ignores.
bool TranslateCommonEvent(const SDL_Event& event, WindowEvent& out) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: out.Type = WindowEvent::Kind::CloseRequest; return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.Type = WindowEvent::Kind::FocusIn; return true;
        case SDL_WINDOWEVENT_FOCUS_LOST: out.Type = WindowEvent::Kind::FocusOut; return true;
        case SDL_WINDOWEVENT_LEAVE: out.Type = WindowEvent::Kind::MouseLeave; return true;
        default: return false;
      }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (!ButtonOf(event.button.button, out.Button)) return false;
      out.Type = event.type == SDL_MOUSEBUTTONDOWN ? WindowEvent::Kind::MouseDown
                                                   : WindowEvent::Kind::MouseUp;
      out.Position = {event.button.x, event.button.y};
      out.Shift = ShiftOf(static_cast<Uint16>(SDL_GetModState()));
      return true;
    case SDL_MOUSEMOTION:
      out.Type = WindowEvent::Kind::MouseMove;
      out.Position = {event.motion.x, event.motion.y};
      out.Shift = ShiftOf(static_cast<Uint16>(SDL_GetModState()));
      return true;
    case SDL_KEYDOWN:
      out.Type = WindowEvent::Kind::KeyDown;
      out.KeyCode = KeyOf(event.key.keysym.sym);
      out.Letter = LetterOf(event.key.keysym.sym);
      out.Shift = ShiftOf(event.key.keysym.mod);
      return true;
    default: return false;
  }
}

SDL_Cursor* SystemCursor(CursorShape shape) {
  // Made once, kept for the process: SDL frees its cursors when its video stops.
  static SDL_Cursor* arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  static SDL_Cursor* hand = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
  return shape == CursorShape::Hand ? hand : arrow;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

class SdlPopupWindow final : public PopupWindow, public portable::RoutedWindow {
 public:
  SdlPopupWindow(SDL_Window* window, bool shaped, SurfacePtr content, WindowEventHandler onEvent)
      : FWindow(window),
        FId(SDL_GetWindowID(window)),
        FShaped(shaped),
        FContent(std::move(content)),
        FOnEvent(std::move(onEvent)) {
    portable::RegisterWindow(FId, this);
  }

  ~SdlPopupWindow() override {
    std::lock_guard guard(SdlLock());
    if (portable::UnregisterWindow(FId)) SDL_DestroyWindow(FWindow);
  }

  void Present(const PixelBuffer& pixels) override {
    std::lock_guard guard(SdlLock());
    // The content keeps the window's size; a buffer of another size is cut or padded with black.
    SDL_FillRect(FContent.get(), nullptr, 0);
    const int width = std::min(pixels.Width(), FContent->w);
    const int height = std::min(pixels.Height(), FContent->h);
    for (int y = 0; y < height; ++y) {
      auto* row = static_cast<std::uint8_t*>(FContent->pixels) + y * FContent->pitch;
      std::memcpy(row, pixels.Row(y), static_cast<std::size_t>(width) * sizeof(Pixel32));
    }
    if (FShaped) {
      SDL_WindowShapeMode mode{};
      mode.mode = ShapeModeColorKey;
      mode.parameters.colorKey = SDL_Color{255, 0, 255, 255};
      SDL_SetWindowShape(FWindow, FContent.get(), &mode);
    }
    FHasContent = true;
    ShowContent();
  }

  void Show() override {
    std::lock_guard guard(SdlLock());
    SDL_ShowWindow(FWindow);
    FVisible = true;
    ShowContent();
  }

  void Hide() override {
    std::lock_guard guard(SdlLock());
    FDrag.active = false;
    SDL_HideWindow(FWindow);
    FVisible = false;
  }

  bool IsVisible() const override { return FVisible; }

  void BringToFront() override {
    std::lock_guard guard(SdlLock());
    SDL_RaiseWindow(FWindow);
  }

  void MoveTo(int left, int top) override {
    std::lock_guard guard(SdlLock());
    SDL_SetWindowPosition(FWindow, left, top);
  }

  Rect Bounds() const override {
    std::lock_guard guard(SdlLock());
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(FWindow, &x, &y);
    SDL_GetWindowSize(FWindow, &w, &h);
    return {x, y, x + w, y + h};
  }

  // SDL has no move loop: the drag starts here and the owner's pump moves the window after the
  // global pointer until no button is held. Any button may hold it.
  void BeginMoveDrag(MoveFilter filter) override {
    std::lock_guard guard(SdlLock());
    SDL_CaptureMouse(SDL_FALSE);
    FDrag.active = true;
    FDrag.filter = std::move(filter);
    FDrag.startPointer = portable::GlobalPointer().At;
    SDL_GetWindowPosition(FWindow, &FDrag.startWindow.X, &FDrag.startWindow.Y);
    FDrag.lastPointer = FDrag.startPointer;
  }

  void SetCursor(CursorShape shape) override {
    std::lock_guard guard(SdlLock());
    FCursor = shape;
    // SDL has one cursor for all its windows: it is switched when the pointer is over this one.
    if (SDL_GetMouseFocus() == FWindow) SDL_SetCursor(SystemCursor(shape));
  }

  void* NativeHandle() const override { return FWindow; }

  void HandleEvent(const SDL_Event& event) override {
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      std::lock_guard guard(SdlLock());
      ShowContent();
      return;
    }
    // While the window is dragged it gets no mouse input, as in a system move loop.
    const bool mouse = event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP ||
                       event.type == SDL_MOUSEMOTION;
    if (mouse && FDrag.active) return;
    if (event.type == SDL_MOUSEMOTION) {
      std::lock_guard guard(SdlLock());
      SDL_SetCursor(SystemCursor(FCursor));
    }
    WindowEvent out;
    if (!TranslateCommonEvent(event, out)) return;
    // The handler may destroy this window: nothing of it is used after the call.
    if (FOnEvent) FOnEvent(out);
  }

  bool TrackDrag() override {
    if (!FDrag.active) return false;
    portable::GlobalPointerState now;
    {
      std::lock_guard guard(SdlLock());
      now = portable::GlobalPointer();
    }
    const Point pointer = now.At;
    if (!now.ButtonHeld) {
      FDrag.active = false;
      FDrag.filter = nullptr;
      return false;
    }
    if (pointer == FDrag.lastPointer) return true;
    FDrag.lastPointer = pointer;
    const int left = FDrag.startWindow.X + pointer.X - FDrag.startPointer.X;
    const int top = FDrag.startWindow.Y + pointer.Y - FDrag.startPointer.Y;
    const Rect size = Bounds();
    Rect proposed{left, top, left + size.Width(), top + size.Height()};
    if (FDrag.filter) proposed = FDrag.filter(proposed);
    MoveTo(proposed.Left, proposed.Top);
    return true;
  }

  bool Dragging() const override { return FDrag.active; }

 private:
  // Called under the lock.
  void ShowContent() {
    if (!FVisible || !FHasContent) return;
    SDL_Surface* surface = SDL_GetWindowSurface(FWindow);
    if (surface == nullptr) return;
    SDL_BlitSurface(FContent.get(), nullptr, surface, nullptr);
    SDL_UpdateWindowSurface(FWindow);
  }

  struct Drag {
    bool active = false;
    MoveFilter filter;
    Point startPointer;
    Point startWindow;
    Point lastPointer;
  };

  SDL_Window* FWindow;
  std::uint32_t FId;
  bool FShaped;
  SurfacePtr FContent;
  WindowEventHandler FOnEvent;
  bool FVisible = false;
  bool FHasContent = false;
  CursorShape FCursor = CursorShape::Arrow;
  Drag FDrag;
};


// The host's framed window. Its content is drawn straight into the window's own surface, which
// SDL makes anew at every size; a copy is kept for exposes.
class SdlHostWindow final : public HostWindow, public portable::RoutedWindow {
 public:
  SdlHostWindow(SDL_Window* window, WindowEventHandler onEvent)
      : FWindow(window), FId(SDL_GetWindowID(window)), FOnEvent(std::move(onEvent)) {
    portable::RegisterWindow(FId, this);
  }

  ~SdlHostWindow() override {
    std::lock_guard guard(SdlLock());
    if (portable::UnregisterWindow(FId)) SDL_DestroyWindow(FWindow);
  }

  void Present(const PixelBuffer& pixels) override {
    std::lock_guard guard(SdlLock());
    FContent = pixels;
    ShowContent();
  }

  void Show() override {
    std::lock_guard guard(SdlLock());
    SDL_ShowWindow(FWindow);
    FVisible = true;
    ShowContent();
  }

  void SetTitle(const std::string& title) override {
    std::lock_guard guard(SdlLock());
    SDL_SetWindowTitle(FWindow, title.c_str());
  }

  void SetFullscreen(bool fullscreen) override {
    std::lock_guard guard(SdlLock());
    SDL_SetWindowFullscreen(FWindow, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  }

  bool IsFullscreen() const override {
    std::lock_guard guard(SdlLock());
    return (SDL_GetWindowFlags(FWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  }

  Rect ClientBounds() const override {
    std::lock_guard guard(SdlLock());
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(FWindow, &x, &y);
    SDL_GetWindowSize(FWindow, &w, &h);
    return {x, y, x + w, y + h};
  }

  void* NativeHandle() const override { return FWindow; }

  void HandleEvent(const SDL_Event& event) override {
    WindowEvent out;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      std::lock_guard guard(SdlLock());
      ShowContent();
      return;
    }
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      // SDL reports one change twice (RESIZED and SIZE_CHANGED); the latter comes for every
      // cause, so it alone is passed on, once per new size.
      if (event.window.data1 == FLastWidth && event.window.data2 == FLastHeight) return;
      FLastWidth = event.window.data1;
      FLastHeight = event.window.data2;
      out.Type = WindowEvent::Kind::Resize;
      out.ClientWidth = event.window.data1;
      out.ClientHeight = event.window.data2;
    } else if (!TranslateCommonEvent(event, out)) {
      return;
    }
    const bool doubleClick = event.type == SDL_MOUSEBUTTONDOWN && event.button.clicks == 2;
    // The second press of a double click comes as the double click alone, as on Windows.
    if (doubleClick) out.Type = WindowEvent::Kind::DoubleClick;
    // The handler may destroy this window: nothing of it is used after the call.
    if (FOnEvent) FOnEvent(out);
  }

  bool TrackDrag() override { return false; }
  bool Dragging() const override { return false; }

 private:
  // Called under the lock.
  void ShowContent() {
    if (!FVisible) return;
    SDL_Surface* surface = SDL_GetWindowSurface(FWindow);
    if (surface == nullptr) return;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    if (!FContent.Empty()) {
      SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
          const_cast<Pixel32*>(FContent.Row(0)), FContent.Width(), FContent.Height(), 32,
          static_cast<int>(FContent.Stride()), SDL_PIXELFORMAT_XRGB8888);
      if (source != nullptr) {
        SDL_BlitSurface(source, nullptr, surface, nullptr);
        SDL_FreeSurface(source);
      }
    }
    SDL_UpdateWindowSurface(FWindow);
  }

  SDL_Window* FWindow;
  std::uint32_t FId;
  WindowEventHandler FOnEvent;
  PixelBuffer FContent;
  bool FVisible = false;
  int FLastWidth = 0;
  int FLastHeight = 0;
};

}  // namespace

std::unique_ptr<HostWindow> HostWindow::Create(const HostWindowStyle& style,
                                               WindowEventHandler onEvent) {
  if (style.ClientWidth <= 0 || style.ClientHeight <= 0) return nullptr;
  if (!portable::EnsureVideo()) return nullptr;
  std::lock_guard guard(SdlLock());
  SDL_Window* window = SDL_CreateWindow(style.Title.c_str(), SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, style.ClientWidth,
                                        style.ClientHeight,
                                        SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (window == nullptr) {
    std::fprintf(stderr, "vindelux-platform: no window: %s\n", SDL_GetError());
    return nullptr;
  }
  auto host = std::make_unique<SdlHostWindow>(window, std::move(onEvent));
  return host;
}

std::unique_ptr<PopupWindow> PopupWindow::Create(const PopupWindowStyle& style,
                                                 WindowEventHandler onEvent) {
  if (style.ClientWidth <= 0 || style.ClientHeight <= 0) return nullptr;
  if (!portable::EnsureVideo()) return nullptr;
  std::lock_guard guard(SdlLock());

  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
  if (style.TopMost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (style.NoTaskbarEntry) flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_UTILITY;

  SDL_Window* window = nullptr;
  bool shaped = false;
  if (style.FuchsiaTransparent) {
    window = SDL_CreateShapedWindow("", 0, 0, static_cast<unsigned>(style.ClientWidth),
                                    static_cast<unsigned>(style.ClientHeight), flags);
    shaped = window != nullptr;
    if (!shaped) SayOnce(gSaidNoShape, "the display cuts no window shapes");
  }
  if (window == nullptr) {
    window = SDL_CreateWindow("", 0, 0, style.ClientWidth, style.ClientHeight, flags);
  }
  if (window == nullptr) {
    std::fprintf(stderr, "vindelux-platform: no window: %s\n", SDL_GetError());
    return nullptr;
  }
  // A shaped window is made off screen; it starts at (0, 0) like every other.
  SDL_SetWindowPosition(window, 0, 0);
  if (style.Opacity != 255 &&
      SDL_SetWindowOpacity(window, static_cast<float>(style.Opacity) / 255.0f) != 0) {
    SayOnce(gSaidNoOpacity, "the display sets no window opacity");
  }

  SurfacePtr content(SDL_CreateRGBSurfaceWithFormat(0, style.ClientWidth, style.ClientHeight, 32,
                                                    SDL_PIXELFORMAT_XRGB8888));
  if (!content) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  return std::make_unique<SdlPopupWindow>(window, shaped, std::move(content), std::move(onEvent));
}

Point CursorPos() {
  if (!portable::EnsureVideo()) return {};
  std::lock_guard guard(SdlLock());
  return portable::GlobalPointer().At;
}

Rect WorkAreaOf(const Rect& window) {
  // Without a display there is nothing to snap to: the window's own rectangle stands for it.
  if (!portable::EnsureVideo()) return window;
  std::lock_guard guard(SdlLock());
  const int count = SDL_GetNumVideoDisplays();
  int best = -1;
  long long bestOverlap = 0;
  long long bestDistance = LLONG_MAX;
  for (int i = 0; i < count; ++i) {
    SDL_Rect b;
    if (SDL_GetDisplayBounds(i, &b) != 0) continue;
    const long long overlapW =
        std::min(window.Right, b.x + b.w) - std::max(window.Left, b.x);
    const long long overlapH =
        std::min(window.Bottom, b.y + b.h) - std::max(window.Top, b.y);
    const long long overlap = overlapW > 0 && overlapH > 0 ? overlapW * overlapH : 0;
    // Nearest by the gap between the rectangles, as Windows picks the nearest monitor.
    const long long dx = std::max({0LL, static_cast<long long>(b.x) - window.Right,
                                   static_cast<long long>(window.Left) - (b.x + b.w)});
    const long long dy = std::max({0LL, static_cast<long long>(b.y) - window.Bottom,
                                   static_cast<long long>(window.Top) - (b.y + b.h)});
    const long long distance = dx * dx + dy * dy;
    if (overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance)) {
      best = i;
      bestOverlap = overlap;
      bestDistance = distance;
    }
  }
  SDL_Rect area;
  if (best < 0 || SDL_GetDisplayUsableBounds(best, &area) != 0) return window;
  return {area.x, area.y, area.x + area.w, area.y + area.h};
}

}  // namespace platform
