#include "text.h"

#include <windows.h>

namespace platform::win32 {

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), length);
  return out;
}

}  // namespace platform::win32

namespace platform {

std::u16string Utf8ToUtf16(std::string_view text) {
  const std::wstring wide = win32::Utf8ToWide(text);
  return std::u16string(wide.begin(), wide.end());
}

std::string Utf16ToUtf8(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, size, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace platform

namespace platform::win32 {

std::u16string LastErrorText(std::uint32_t code) {
  wchar_t buffer[256];
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                         FORMAT_MESSAGE_ARGUMENT_ARRAY,
                     nullptr, code, 0, buffer, 256, nullptr);
  std::u16string text(buffer, buffer + length);
  while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
  return text;
}

}  // namespace platform::win32
