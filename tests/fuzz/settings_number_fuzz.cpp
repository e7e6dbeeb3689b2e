// Fuzz target for the settings number parser.
//
// Input: UTF-16 text, two bytes a character. Properties: no crash or hang; an accepted text of
// plain decimal digits (blanks and a sign before them) gives the number that the standard library
// reads from it; and the decimal form of any 32-bit value, as a save writes it, reads back as
// that value.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "host/settings_number.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

// The standard library's reading of blanks, a sign and decimal digits; nothing for other text or
// values outside 32 bits.
std::optional<std::int32_t> DecimalOracle(const std::u16string& text) {
  std::string narrow;
  std::size_t at = 0;
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
  if (at == text.size()) return std::nullopt;
  narrow = negative ? "-" : "";
  for (; at < text.size(); ++at) {
    if (text[at] < u'0' || text[at] > u'9') return std::nullopt;
    narrow.push_back(static_cast<char>(text[at]));
  }
  std::int32_t value = 0;
  const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
  if (result.ec != std::errc() || result.ptr != narrow.data() + narrow.size()) return std::nullopt;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  const std::optional<std::int32_t> parsed = vf::ParseSettingsNumber(text);

  const bool startsLikeHex = text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X');
  if (!startsLikeHex) {
    const std::optional<std::int32_t> oracle = DecimalOracle(text);
    if (oracle.has_value()) Require(parsed == oracle, "decimal text reads as the standard library reads it");
  }

  if (size >= 4) {
    const auto value = static_cast<std::int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                 (static_cast<std::uint32_t>(data[3]) << 24));
    const std::string written = std::to_string(value);
    Require(vf::ParseSettingsNumber(std::u16string(written.begin(), written.end())) == value,
            "a saved value reads back");
  }
  return 0;
}
