#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "options/parametrs.h"

// The file that keeps the user's three parameters from one run of the host to the next: section
// "Options" of "PlugIns/Vindelux Fan.ini" in the host executable's folder.
namespace vf {

inline constexpr std::u16string_view kSettingsFileName = u"PlugIns/Vindelux Fan.ini";
inline constexpr std::u16string_view kSettingsSection = u"Options";

// The host executable's folder, everything up to and including the last of the separators, then
// the file name exactly as written, forward slash included.
std::u16string SettingsFilePath(std::u16string_view hostExecutable, std::u16string_view separators);
// The same for this process's executable and this platform's separators, unless a test has named
// another file for the plug-in objects to use.
std::u16string SettingsFilePath();
// Tests name a file of their own here; an empty path restores the rule.
void SetSettingsFilePathForTesting(std::u16string path);

// The settings file for the length of one call: each key operation goes to the file at once, and
// letting go flushes whatever copy the platform keeps.
class TSettingsFile {
 public:
  explicit TSettingsFile(std::u16string path) : FPath(std::move(path)) {}
  ~TSettingsFile();
  TSettingsFile(const TSettingsFile&) = delete;
  TSettingsFile& operator=(const TSettingsFile&) = delete;

  // The key's number, or ADefault when the key is missing or its text is not a number.
  std::int32_t ReadInteger(std::u16string_view AKey, std::int32_t ADefault) const;
  // Writes the plain signed decimal form; raises "Unable to write to <path>" when refused.
  void WriteInteger(std::u16string_view AKey, std::int32_t AValue);

 private:
  std::u16string FPath;
};

// All three parameters from the file; each key missing or not a number takes its default (Fan 0,
// Background 0, Speed 10). Reading never creates the file.
TParametrs ReadSettings(const std::u16string& path);

// Writes Fan, Background and Speed in this order. The first refused write raises "Unable to write
// to <path>" and skips the rest; the keys written before it stay written.
void SaveSettings(const std::u16string& path, const TParametrs& parametrs);

}  // namespace vf
