// Fuzz target for the portable INI reader and editor.
//
// Input: two selector bytes (section and key from small sets that collide in letter case), four
// bytes for the value, then the INI text. Properties: no crash or hang on any text; after a write,
// reading the key gives back the written value; and every other line is unchanged: the only lines
// that differ are the entry written, the section header added with it, and line breaks; a byte
// order mark stays in front.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "portable/ini_file.h"

namespace {

using platform::portable::IniText;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

// The pieces between line-break characters, each carriage return and line feed a break of its own.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t brk = text.find_first_of("\r\n", begin);
    if (brk == std::string_view::npos) {
      lines.push_back(text.substr(begin));
      return lines;
    }
    lines.push_back(text.substr(begin, brk - begin));
    begin = brk + 1;
  }
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && platform::portable::IsIniBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && platform::portable::IsIniBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::string_view kSections[] = {"Options", "OPTIONS", "A", "x y"};
  static constexpr std::string_view kKeys[] = {"Speed", "speed", "Fan", "B", ";c"};
  if (size < 6) return 0;
  const std::string_view section = kSections[data[0] % std::size(kSections)];
  const std::string_view key = kKeys[data[1] % std::size(kKeys)];
  std::int32_t number = 0;
  for (int i = 0; i < 4; ++i) number = static_cast<std::int32_t>((static_cast<std::uint32_t>(number) << 8) | data[2 + i]);
  const std::string value = std::to_string(number);
  const std::string before(reinterpret_cast<const char*>(data + 6), size - 6);

  IniText ini(before);
  (void)ini.Find(section, key);
  ini.Set(section, key, value);
  const auto found = ini.Find(section, key);
  Require(found.has_value() && *found == value, "the written value reads back");

  // A byte order mark stays where it was, in front of the first line.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::string_view oldText = before, newText = ini.Text();
  const bool hadMark = oldText.starts_with(kByteOrderMark);
  Require(newText.starts_with(kByteOrderMark) == hadMark, "a byte order mark is kept");
  if (hadMark) oldText.remove_prefix(kByteOrderMark.size()), newText.remove_prefix(kByteOrderMark.size());

  const std::vector<std::string_view> oldLines = SplitLines(oldText);
  const std::vector<std::string_view> newLines = SplitLines(newText);
  std::size_t prefix = 0;
  while (prefix < oldLines.size() && prefix < newLines.size() && oldLines[prefix] == newLines[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < oldLines.size() - prefix && suffix < newLines.size() - prefix &&
         oldLines[oldLines.size() - 1 - suffix] == newLines[newLines.size() - 1 - suffix])
    ++suffix;
  const std::vector<std::string_view> removed(oldLines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                              oldLines.end() - static_cast<std::ptrdiff_t>(suffix));
  std::vector<std::string_view> added(newLines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                      newLines.end() - static_cast<std::ptrdiff_t>(suffix));
  Require(removed.size() <= 1, "at most one old line changes");

  if (removed.size() == 1) {
    // The entry itself: the same line up to its value, which is now the written one.
    Require(!added.empty(), "a changed line is replaced");
    const std::string_view line = Trim(added.front());
    Require(line.size() >= value.size() && line.substr(line.size() - value.size()) == value,
            "a replaced line ends with the written value");
    added.erase(added.begin());
  }
  // What is left was added whole: the new entry, perhaps after its new section header, and line
  // breaks.
  const std::string entry = std::string(key) + "=" + value;
  const std::string header = "[" + std::string(section) + "]";
  int nonBlank = 0;
  for (const std::string_view line : added) {
    Require(line.empty() || line == entry || line == header, "only the entry and its header are added");
    nonBlank += line.empty() ? 0 : 1;
  }
  Require(nonBlank <= 2, "at most two lines are added");
  return 0;
}
