#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

// Owners for the GDI objects of the Windows back end, so every device context, bitmap and
// selection is given back on every path, an exception included.
namespace platform::win32 {

struct DeleteDCFunction {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DeleteObjectFunction {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

// A device context made by CreateCompatibleDC.
using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDCFunction>;
// A bitmap made by CreateCompatibleBitmap or CreateDIBSection.
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteObjectFunction>;

// An object selected into a device context. Destroying the owner selects back the object the
// selection replaced, so the owned object can be deleted and the context's own default object is
// never leaked.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FPrevious(::SelectObject(dc, object)) {}
  ~SelectedObject() { Restore(); }
  SelectedObject(SelectedObject&& other) noexcept
      : FDC(std::exchange(other.FDC, nullptr)), FPrevious(std::exchange(other.FPrevious, nullptr)) {}
  SelectedObject& operator=(SelectedObject&& other) noexcept {
    if (this != &other) {
      Restore();
      FDC = std::exchange(other.FDC, nullptr);
      FPrevious = std::exchange(other.FPrevious, nullptr);
    }
    return *this;
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

  // False when SelectObject refused the object.
  explicit operator bool() const { return FPrevious != nullptr; }

  void Restore() {
    if (FDC != nullptr && FPrevious != nullptr) ::SelectObject(FDC, FPrevious);
    FDC = nullptr;
    FPrevious = nullptr;
  }

 private:
  HDC FDC = nullptr;
  HGDIOBJ FPrevious = nullptr;
};

// The screen's device context, borrowed with GetDC and given back with ReleaseDC.
class ScreenDC {
 public:
  ScreenDC() : FDC(::GetDC(nullptr)) {}
  ~ScreenDC() {
    if (FDC != nullptr) ::ReleaseDC(nullptr, FDC);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HDC FDC;
};

}  // namespace platform::win32
