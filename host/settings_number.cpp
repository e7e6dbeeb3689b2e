#include "host/settings_number.h"

#include <string>

namespace vf {
namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::optional<std::int32_t> ParseHex(std::u16string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t pattern = 0;
  int significant = 0;
  for (const char16_t c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    if (significant > 0 || digit != 0) ++significant;
    if (significant > 8) return std::nullopt;
    pattern = (pattern << 4) | static_cast<std::uint32_t>(digit);
  }
  // The sign applies to the pattern, modulo 2^32.
  if (negative) pattern = 0u - pattern;
  return static_cast<std::int32_t>(pattern);
}

std::optional<std::int32_t> ParseDecimal(std::u16string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

std::optional<std::int32_t> ParseSettingsNumber(std::u16string_view text) {
  // "0x" leading the text reads as "$" there: no blanks or sign may come before it.
  if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
    return ParseHex(text.substr(2), false);
  std::size_t at = 0;
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  if (at < text.size() && (text[at] == u'$' || text[at] == u'x' || text[at] == u'X'))
    return ParseHex(text.substr(at + 1), negative);
  return ParseDecimal(text.substr(at), negative);
}

}  // namespace vf
