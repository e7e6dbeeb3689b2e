#include "host/settings_file.h"

#include "host/settings_number.h"
#include "platform/module_services.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "renderer/errors.h"

namespace vf {
namespace {

// Room for the longest value read, as a buffer of that many characters with its terminating null.
constexpr std::uint32_t kValueBufferSize = 2048;

}  // namespace

std::u16string SettingsFilePath(std::u16string_view hostExecutable, std::u16string_view separators) {
  const std::size_t last = hostExecutable.find_last_of(separators);
  std::u16string path(last == std::u16string_view::npos ? std::u16string_view() : hostExecutable.substr(0, last + 1));
  return path.append(kSettingsFileName);
}

namespace {

std::u16string& SettingsPathForTesting() {
  static std::u16string path;
  return path;
}

}  // namespace

std::u16string SettingsFilePath() {
  if (!SettingsPathForTesting().empty()) return SettingsPathForTesting();
  return SettingsFilePath(platform::HostExecutablePath(), platform::PathFolderSeparators());
}

void SetSettingsFilePathForTesting(std::u16string path) { SettingsPathForTesting() = std::move(path); }

TSettingsFile::~TSettingsFile() { platform::FlushPrivateProfile(FPath); }

std::int32_t TSettingsFile::ReadInteger(std::u16string_view AKey, std::int32_t ADefault) const {
  const std::u16string text = platform::GetPrivateProfileStringW(kSettingsSection, AKey, u"", kValueBufferSize, FPath);
  return ParseSettingsNumber(text).value_or(ADefault);
}

void TSettingsFile::WriteInteger(std::u16string_view AKey, std::int32_t AValue) {
  if (!platform::WritePrivateProfileStringW(kSettingsSection, AKey, platform::Utf8ToUtf16(std::to_string(AValue)), FPath))
    throw Exception("Unable to write to " + platform::Utf16ToUtf8(FPath));
}

TParametrs ReadSettings(const std::u16string& path) {
  const TSettingsFile file(path);
  TParametrs parametrs;
  parametrs.Fan = file.ReadInteger(u"Fan", 0);
  parametrs.Background = file.ReadInteger(u"Background", 0);
  parametrs.Speed = file.ReadInteger(u"Speed", 10);
  return parametrs;
}

void SaveSettings(const std::u16string& path, const TParametrs& parametrs) {
  TSettingsFile file(path);
  file.WriteInteger(u"Fan", parametrs.Fan);
  file.WriteInteger(u"Background", parametrs.Background);
  file.WriteInteger(u"Speed", parametrs.Speed);
}

}  // namespace vf
