#include "host/settings_file.h"

#include <optional>

#include "host/failure_report.h"
#include "host/settings_number.h"
#include "platform/files.h"
#include "platform/module_services.h"
#include "platform/profile.h"
#include "platform/resources.h"
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

// The user's folder by each platform's convention: a display name on Windows, a package name in
// the XDG configuration folder.
constexpr std::u16string_view kUserFolderDisplayName = u"Vindelux Fan";
constexpr std::u16string_view kUserFolderPackageName = u"vindelux-fan";
constexpr std::u16string_view kUserFileName = u"Vindelux Fan.ini";

TSettingsPlaces& PlacesForTesting() {
  static TSettingsPlaces places;
  return places;
}

// Writes the three keys in order and stops at the first one refused: the system's reason for that
// refusal, or nothing when all three were written.
std::optional<std::string> WriteParametrs(const std::u16string& path, const TParametrs& parametrs) {
  TSettingsFile file(path);
  const std::pair<std::u16string_view, std::int32_t> keys[] = {
      {u"Fan", parametrs.Fan}, {u"Background", parametrs.Background}, {u"Speed", parametrs.Speed}};
  for (const auto& [key, value] : keys)
    if (!file.TryWriteInteger(key, value)) return LastSystemErrorText();
  return std::nullopt;
}

std::string UnableToWrite(const std::u16string& path) { return "Unable to write to " + platform::Utf16ToUtf8(path); }

}  // namespace

std::u16string SettingsFilePath() {
  if (!PlacesForTesting().BesideHost.empty()) return PlacesForTesting().BesideHost;
  return SettingsFilePath(platform::HostExecutablePath(), platform::PathFolderSeparators());
}

std::u16string UserSettingsFilePath() {
  std::u16string path = platform::UserSettingsFolder(kUserFolderDisplayName, kUserFolderPackageName);
  if (path.empty()) return path;
  path += platform::PathFolderSeparators().front();
  return path.append(kUserFileName);
}

TSettingsPlaces SettingsPlaces() {
  if (!PlacesForTesting().BesideHost.empty()) return PlacesForTesting();
  return {SettingsFilePath(), UserSettingsFilePath()};
}

void SetSettingsFilePathForTesting(std::u16string path, std::u16string userPath) {
  PlacesForTesting() = {std::move(path), std::move(userPath)};
}

TSettingsFile::~TSettingsFile() { platform::FlushPrivateProfile(FPath); }

std::int32_t TSettingsFile::ReadInteger(std::u16string_view AKey, std::int32_t ADefault) const {
  const std::u16string text = platform::GetPrivateProfileStringW(kSettingsSection, AKey, u"", kValueBufferSize, FPath);
  return ParseSettingsNumber(text).value_or(ADefault);
}

void TSettingsFile::WriteInteger(std::u16string_view AKey, std::int32_t AValue) {
  if (TryWriteInteger(AKey, AValue)) return;
  const std::string message = UnableToWrite(FPath);
  throw EReportedFailure(message, message + " (" + LastSystemErrorText() + ")");
}

bool TSettingsFile::TryWriteInteger(std::u16string_view AKey, std::int32_t AValue) {
  return platform::WritePrivateProfileStringW(kSettingsSection, AKey, platform::Utf8ToUtf16(std::to_string(AValue)),
                                             FPath);
}

TParametrs ReadSettings(const std::u16string& path) {
  const TSettingsFile file(path);
  TParametrs parametrs;
  parametrs.Fan = file.ReadInteger(u"Fan", 0);
  parametrs.Background = file.ReadInteger(u"Background", 0);
  parametrs.Speed = file.ReadInteger(u"Speed", 10);
  return parametrs;
}

TParametrs ReadSettings(const TSettingsPlaces& places) {
  if (places.User.empty()) return ReadSettings(places.BesideHost);
  const auto besideHost = platform::FileLastWriteTime(places.BesideHost);
  const auto user = platform::FileLastWriteTime(places.User);
  return ReadSettings(user && (!besideHost || *user > *besideHost) ? places.User : places.BesideHost);
}

void SaveSettings(const std::u16string& path, const TParametrs& parametrs) {
  TSettingsFile file(path);
  file.WriteInteger(u"Fan", parametrs.Fan);
  file.WriteInteger(u"Background", parametrs.Background);
  file.WriteInteger(u"Speed", parametrs.Speed);
}

void SaveSettings(const TSettingsPlaces& places, const TParametrs& parametrs) {
  const std::optional<std::string> besideHostRefused = WriteParametrs(places.BesideHost, parametrs);
  if (!besideHostRefused) return;
  const std::string message = UnableToWrite(places.BesideHost);
  const std::string besideHostReport = message + " (" + *besideHostRefused + ")";
  if (places.User.empty()) throw EReportedFailure(message, besideHostReport);

  std::optional<std::string> userRefused;
  const std::size_t folderEnd = places.User.find_last_of(platform::PathFolderSeparators());
  if (folderEnd != std::u16string::npos && !platform::CreateFolder(places.User.substr(0, folderEnd)))
    userRefused = LastSystemErrorText();
  if (!userRefused) userRefused = WriteParametrs(places.User, parametrs);
  const std::string user = platform::Utf16ToUtf8(places.User);
  if (userRefused) throw EReportedFailure(message, besideHostReport + ", nor to " + user + " (" + *userRefused + ")");
  // Not a failure of the save, but whoever looks for the file beside the host must learn where the
  // settings are; the channel says it once per module load.
  ReportContainedFailure("SaveSettings", platform::Utf16ToUtf8(places.BesideHost) + " cannot be written (" +
                                             *besideHostRefused + "): the settings are kept in " + user);
}

}  // namespace vf
