// The portable INI reader and editor (see ini_file.h for the rules it follows).
#include "ini_file.h"

#include <algorithm>
#include <cstddef>

namespace platform::portable {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsIniBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsIniBlank(text.back())) text.remove_suffix(1);
  return text;
}

// One line of the text, as offsets into it.
struct Line {
  std::size_t begin = 0;    // first byte
  std::size_t end = 0;      // one past its line break, or the end of the text
  std::size_t first = 0;    // first non-blank byte
  std::size_t last = 0;     // one past the last non-blank byte before the line break
  bool terminated = false;  // ends with a line break

  bool Blank() const { return first >= last; }
};

enum class LineKind { kBlank, kSection, kEntry };

// What a line says: a section with its name, or an entry with its name and value.
struct Parsed {
  LineKind kind = LineKind::kBlank;
  std::string_view name;
  bool hasValue = false;
  std::size_t valueBegin = 0;  // offsets of the trimmed value (entries with "=")
  std::size_t valueEnd = 0;
  std::size_t nameEnd = 0;  // offset one past the trimmed name
};

class LineReader {
 public:
  explicit LineReader(std::string_view text) : FText(text) {
    if (FText.substr(0, kByteOrderMark.size()) == kByteOrderMark) FNext = kByteOrderMark.size();
  }

  bool Next(Line& line) {
    if (FNext >= FText.size()) return false;
    line.begin = FNext;
    std::size_t contentEnd = FText.find_first_of("\r\n", FNext);
    if (contentEnd == std::string_view::npos) contentEnd = FText.size();
    // A line ends at a carriage return, a line feed, or the pair of them; a further one starts a
    // blank line.
    line.end = contentEnd;
    if (line.end < FText.size()) line.end += FText.compare(line.end, 2, "\r\n") == 0 ? 2 : 1;
    line.terminated = line.end > contentEnd;
    line.first = line.begin;
    while (line.first < contentEnd && IsIniBlank(FText[line.first])) ++line.first;
    line.last = contentEnd;
    while (line.last > line.first && IsIniBlank(FText[line.last - 1])) --line.last;
    FNext = line.end;
    return true;
  }

 private:
  std::string_view FText;
  std::size_t FNext = 0;
};

Parsed Parse(std::string_view text, const Line& line) {
  Parsed parsed;
  if (line.Blank()) return parsed;
  const std::string_view content = text.substr(line.first, line.last - line.first);
  if (content.front() == '[') {
    const std::size_t close = content.rfind(']');
    if (close != std::string_view::npos) {
      parsed.kind = LineKind::kSection;
      parsed.name = Trim(content.substr(1, close - 1));
      return parsed;
    }
  }
  parsed.kind = LineKind::kEntry;
  const std::size_t equals = content.find('=');
  std::size_t nameEnd = equals == std::string_view::npos ? content.size() : equals;
  while (nameEnd > 0 && IsIniBlank(content[nameEnd - 1])) --nameEnd;
  parsed.name = content.substr(0, nameEnd);
  parsed.nameEnd = line.first + nameEnd;
  if (equals != std::string_view::npos) {
    std::size_t valueBegin = equals + 1;
    while (valueBegin < content.size() && IsIniBlank(content[valueBegin])) ++valueBegin;
    parsed.hasValue = true;
    parsed.valueBegin = line.first + valueBegin;
    parsed.valueEnd = line.last;
  }
  return parsed;
}

// Where a section's entry is, as far as the first section of that name tells.
struct Location {
  bool sectionFound = false;
  bool entryFound = false;
  Line entry;          // the entry's line
  Parsed entryParsed;  // what it says
  Line lastNonBlank;   // the section's last non-blank line, its header included
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
  Location location;
  LineReader reader(text);
  Line line;
  bool inSection = false;
  while (reader.Next(line)) {
    const Parsed parsed = Parse(text, line);
    if (parsed.kind == LineKind::kSection) {
      // Only the first section of the name counts; the next header ends it.
      if (inSection) break;
      if (!location.sectionFound && !parsed.name.empty() && SameName(parsed.name, section)) {
        location.sectionFound = inSection = true;
        location.lastNonBlank = line;
      }
      continue;
    }
    if (!inSection || parsed.kind == LineKind::kBlank) continue;
    location.lastNonBlank = line;
    if (!location.entryFound && !parsed.name.empty() && SameName(parsed.name, key)) {
      location.entryFound = true;
      location.entry = line;
      location.entryParsed = parsed;
    }
  }
  return location;
}

std::string_view LineEnding(std::string_view text) {
  const std::size_t at = text.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\r\n";
  if (text[at] == '\n') return "\n";
  return (at + 1 < text.size() && text[at + 1] == '\n') ? "\r\n" : "\r";
}

}  // namespace

bool IsIniBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::optional<std::string_view> IniText::Find(std::string_view section, std::string_view key) const {
  const Location location = Locate(FText, section, key);
  if (!location.entryFound || !location.entryParsed.hasValue) return std::nullopt;
  return std::string_view(FText).substr(location.entryParsed.valueBegin,
                                        location.entryParsed.valueEnd - location.entryParsed.valueBegin);
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const Location location = Locate(FText, section, key);
  const std::string eol(LineEnding(FText));
  std::string entry;
  entry.append(key).append("=").append(value);

  if (location.entryFound) {
    const Parsed& parsed = location.entryParsed;
    if (parsed.hasValue)
      FText.replace(parsed.valueBegin, parsed.valueEnd - parsed.valueBegin, value);
    else
      FText.insert(parsed.nameEnd, std::string("=").append(value));
    return;
  }
  if (location.sectionFound) {
    const Line& after = location.lastNonBlank;
    FText.insert(after.end, (after.terminated ? std::string() : eol) + entry + eol);
    return;
  }
  std::size_t contentBegin = 0;
  if (std::string_view(FText).substr(0, kByteOrderMark.size()) == kByteOrderMark)
    contentBegin = kByteOrderMark.size();
  if (FText.size() > contentBegin && FText.back() != '\n' && FText.back() != '\r') FText += eol;
  FText.append("[").append(section).append("]").append(eol).append(entry).append(eol);
}

}  // namespace platform::portable
