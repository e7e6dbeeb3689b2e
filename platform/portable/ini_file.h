#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of an INI file, read and edited in memory the way the Windows profile service reads and
// edits it, byte for byte outside the one line an edit owns. It knows nothing of files, so the
// profile functions and the fuzzer drive it alike.
//
// The rules, as the profile service applies them:
// - A line ends at a carriage return, a line feed or the pair of them. A UTF-8 byte order mark
//   before the first line is skipped.
// - A line that begins with "[" and holds a "]" opens a section named by the text between the "["
//   and the last "]", trimmed. Lines before the first section belong to no section.
// - Any other non-blank line is an entry: its name is the text before the first "=", trimmed, and
//   its value the text after it, trimmed; a line without "=" is a name without a value. Comment
//   lines (";...") are entries whose names no caller asks for.
// - Names match without regard to ASCII letter case. Only the first section of a name is looked
//   at, and only the first entry of a name in it.
// Blanks are space, tab, vertical tab, form feed, carriage return and the DOS end-of-file mark.
namespace platform::portable {

class IniText {
 public:
  explicit IniText(std::string text) : FText(std::move(text)) {}

  const std::string& Text() const { return FText; }

  // The trimmed value of an entry; nothing when the section or the entry is missing or the entry
  // has no "=".
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // Sets an entry's value. An existing entry keeps everything but its value (an entry without "="
  // gains one); a new entry goes after the last non-blank line of its section, and a missing
  // section is added at the end of the text with its entry. New lines end like the text's first
  // line ("\r\n" when it has none). The value must hold no line break.
  void Set(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string FText;
};

// True for the bytes the profile service trims around names and values.
bool IsIniBlank(char c);

}  // namespace platform::portable
