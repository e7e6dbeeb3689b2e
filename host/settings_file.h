#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "options/parametrs.h"

// The files that keep the user's three parameters from one run of the host to the next, section
// "Options" of each: "PlugIns/Vindelux Fan.ini" in the host executable's folder, the first place,
// and this user's own file, which takes the saves that the first refuses (a player installed where
// its users may not write).
namespace vf {

inline constexpr std::u16string_view kSettingsFileName = u"PlugIns/Vindelux Fan.ini";
inline constexpr std::u16string_view kSettingsSection = u"Options";

// The host executable's folder, everything up to and including the last of the separators, then
// the file name exactly as written, forward slash included.
std::u16string SettingsFilePath(std::u16string_view hostExecutable, std::u16string_view separators);
// The same for this process's executable and this platform's separators, unless a test has named
// another file for the plug-in objects to use.
std::u16string SettingsFilePath();

// This user's own settings file: "Vindelux Fan\Vindelux Fan.ini" in the roaming application-data
// folder on Windows, "vindelux-fan/Vindelux Fan.ini" in the XDG configuration folder elsewhere.
// Empty when the system names no folder for it.
std::u16string UserSettingsFilePath();

// The places of the settings, in the order a save tries them.
struct TSettingsPlaces {
  std::u16string BesideHost;
  // Empty: there is no second place, and a refused save is final.
  std::u16string User;
};

// This process's two places, unless a test has named others for the plug-in objects to use.
TSettingsPlaces SettingsPlaces();
// Tests name files of their own here, the user's file only where they give one; an empty path
// restores the rule.
void SetSettingsFilePathForTesting(std::u16string path, std::u16string userPath = {});

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
  // Writes the plain signed decimal form; raises "Unable to write to <path>" when refused, whose
  // report adds the system's reason.
  void WriteInteger(std::u16string_view AKey, std::int32_t AValue);
  // The same without raising: false when refused, the platform's last error telling why.
  bool TryWriteInteger(std::u16string_view AKey, std::int32_t AValue);

 private:
  std::u16string FPath;
};

// All three parameters from the file; each key missing or not a number takes its default (Fan 0,
// Background 0, Speed 10). Reading never creates the file.
TParametrs ReadSettings(const std::u16string& path);
// The same from the newer of the two files where both exist, since the later save holds the user's
// latest choice (the file beside the host on a tie), else from whichever exists.
TParametrs ReadSettings(const TSettingsPlaces& places);

// Writes Fan, Background and Speed in this order. The first refused write raises "Unable to write
// to <path>" and skips the rest; the keys written before it stay written.
void SaveSettings(const std::u16string& path, const TParametrs& parametrs);
// The same beside the host; where that is refused, all three go to the user's file instead, its
// folder made when missing, and the debug channel says once why and where the settings went. Only
// when both refuse is "Unable to write to <file beside the host>" raised, its report carrying the
// system's reasons for both.
void SaveSettings(const TSettingsPlaces& places, const TParametrs& parametrs);

}  // namespace vf
