// The settings file: where it lives, what a read makes of it key by key, what a save leaves in it,
// and the one error a refused save raises; then the two places, the file beside the host and this
// user's own file behind it, and where a save and a read go with each state of the two.
#include "host/settings_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/failure_report.h"
#include "platform/module_services.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "renderer/errors.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using vf::test::ReadBytes;
using vf::test::ScratchFolder;
using vf::test::WriteBytes;

TEST(SettingsFilePath, FolderOfTheHostThenTheLiteralName) {
  struct Case {
    std::u16string executable, separators, expected;
  };
  const std::vector<Case> cases = {
      {u"C:\\Player\\player.exe", u"\\:", u"C:\\Player\\PlugIns/Vindelux Fan.ini"},
      {u"C:player.exe", u"\\:", u"C:PlugIns/Vindelux Fan.ini"},
      {u"\\\\server\\share\\AIMP\\AIMP.exe", u"\\:", u"\\\\server\\share\\AIMP\\PlugIns/Vindelux Fan.ini"},
      // Windows paths name folders with "\" only; a "/" is part of the file name there.
      {u"C:\\Player\\sub/player.exe", u"\\:", u"C:\\Player\\PlugIns/Vindelux Fan.ini"},
      {u"/usr/lib/player/player", u"/", u"/usr/lib/player/PlugIns/Vindelux Fan.ini"},
      {u"/opt/a:b/player", u"/", u"/opt/a:b/PlugIns/Vindelux Fan.ini"},
      {u"player", u"/", u"PlugIns/Vindelux Fan.ini"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vf::SettingsFilePath(c.executable, c.separators), c.expected) << platform::Utf16ToUtf8(c.executable);
}

TEST(SettingsFilePath, ThisProcessUsesItsOwnExecutableAndPlatform) {
  const fs::path executable(platform::HostExecutablePath());
  ASSERT_TRUE(executable.has_parent_path());
  std::u16string expected = executable.parent_path().u16string();
  expected += static_cast<char16_t>(fs::path::preferred_separator);
  expected += u"PlugIns/Vindelux Fan.ini";
  EXPECT_EQ(vf::SettingsFilePath(), expected);
}

vf::TParametrs Parametrs(std::int32_t speed, std::int32_t fan, std::int32_t background) {
  vf::TParametrs parametrs;
  parametrs.Speed = speed;
  parametrs.Fan = fan;
  parametrs.Background = background;
  return parametrs;
}

TEST(ReadSettings, EachKeyFallsBackToItsOwnDefault) {
  struct Case {
    const char* name;
    const char* file;  // null: no file
    vf::TParametrs expected;
  };
  const std::vector<Case> cases = {
      {"no_file", nullptr, Parametrs(10, 0, 0)},
      {"only_speed", "[Options]\r\nSpeed=20\r\n", Parametrs(20, 0, 0)},
      {"all_three", "[Options]\r\nFan=2\r\nBackground=9\r\nSpeed=30\r\n", Parametrs(30, 2, 9)},
      {"invalid_values", "[Options]\r\nFan=one\r\nBackground=\r\nSpeed=15abc\r\n", Parametrs(10, 0, 0)},
      // Values outside the window's ranges are kept as they are.
      {"out_of_range", "[Options]\nFan=-1\nBackground=$FFFFFFFF\nSpeed=1000\n", Parametrs(1000, -1, -1)},
      {"zeros_are_values", "[Options]\nFan=0\nBackground=0\nSpeed=0\n", Parametrs(0, 0, 0)},
  };
  const fs::path folder = ScratchFolder("read_settings");
  for (const Case& c : cases) {
    const fs::path file = folder / (std::string(c.name) + ".ini");
    if (c.file != nullptr) WriteBytes(file, c.file);
    EXPECT_EQ(vf::ReadSettings(file.u16string()), c.expected) << c.name;
    EXPECT_EQ(fs::exists(file), c.file != nullptr) << c.name << ": reading must not create the file";
  }
}

TEST(SaveSettings, WritesPlainDecimalsAndKeepsTheRestOfTheFile) {
  const fs::path file = ScratchFolder("save_settings") / "Vindelux Fan.ini";
  WriteBytes(file, "[General]\r\nName=mine\r\n\r\n[Options]\r\nSpeed=0x14\r\nFan=-1\r\n");
  const vf::TParametrs read = vf::ReadSettings(file.u16string());
  EXPECT_EQ(read, Parametrs(20, -1, 0));

  vf::SaveSettings(file.u16string(), Parametrs(-2147483647 - 1, read.Fan, 2147483647));
  EXPECT_EQ(vf::ReadSettings(file.u16string()), Parametrs(-2147483647 - 1, -1, 2147483647));
  const std::string bytes = ReadBytes(file);
  EXPECT_NE(bytes.find("Fan=-1\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Background=2147483647\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("Speed=-2147483648\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("[General]\r\nName=mine\r\n"), std::string::npos) << bytes;
}

TEST(SaveSettings, CreatesTheFileInAnExistingFolder) {
  const fs::path file = ScratchFolder("save_settings_new") / "Vindelux Fan.ini";
  vf::SaveSettings(file.u16string(), Parametrs(25, 1, 7));
  EXPECT_EQ(vf::ReadSettings(file.u16string()), Parametrs(25, 1, 7));
}

// A refused write raises the error with the full path, skips the remaining keys and creates
// nothing; the folders are made so that every write is refused, also for an administrator.
TEST(SaveSettings, RefusedWriteRaisesTheErrorWithTheFullPath) {
  const fs::path folder = ScratchFolder("save_settings_refused");
  WriteBytes(folder / "file", "");
  const std::vector<fs::path> refused = {folder / "PlugIns" / "Vindelux Fan.ini",
                                         folder / "file" / "Vindelux Fan.ini"};
  for (const fs::path& file : refused) {
    try {
      vf::SaveSettings(file.u16string(), Parametrs(20, 1, 2));
      ADD_FAILURE() << "no error for " << file.string();
    } catch (const vf::Exception& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + platform::Utf16ToUtf8(file.u16string()));
    }
  }
  EXPECT_FALSE(fs::exists(folder / "PlugIns"));
  EXPECT_EQ(ReadBytes(folder / "file"), "");
}

TEST(SaveSettings, ReadOnlyFileIsRefusedAndKept) {
  const fs::path file = ScratchFolder("save_settings_read_only") / "Vindelux Fan.ini";
  WriteBytes(file, "[Options]\r\nFan=1\r\n");
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (vf::test::ReadOnlyFileOpensForWriting(file)) GTEST_SKIP() << vf::test::kReadOnlyIgnored;
  EXPECT_THROW(vf::SaveSettings(file.u16string(), Parametrs(20, 2, 2)), vf::Exception);
  EXPECT_EQ(ReadBytes(file), "[Options]\r\nFan=1\r\n");
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

// The user's own file follows the platform's convention: the roaming application-data folder on
// Windows, the XDG configuration folder elsewhere (its rules are the platform tests').
TEST(UserSettingsFilePath, FollowsThePlatformsConvention) {
#if defined(_WIN32)
  const wchar_t* appData = _wgetenv(L"APPDATA");
  ASSERT_NE(appData, nullptr);
  const std::u16string expected =
      reinterpret_cast<const char16_t*>(appData) + std::u16string(u"\\Vindelux Fan\\Vindelux Fan.ini");
  EXPECT_EQ(fs::path(vf::UserSettingsFilePath()).lexically_normal(), fs::path(expected).lexically_normal());
#else
  const char* previous = std::getenv("XDG_CONFIG_HOME");
  const std::optional<std::string> kept = previous ? std::optional<std::string>(previous) : std::nullopt;
  ::setenv("XDG_CONFIG_HOME", "/config/of/someone", 1);
  EXPECT_EQ(vf::UserSettingsFilePath(), u"/config/of/someone/vindelux-fan/Vindelux Fan.ini");
  if (kept) ::setenv("XDG_CONFIG_HOME", kept->c_str(), 1); else ::unsetenv("XDG_CONFIG_HOME");
#endif
}

// Windows' error numbers, which both back ends report for a refused write.
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;

// Every file under a folder with its bytes, folders with none: what a save may not change.
std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    contents[fs::relative(entry.path(), folder).generic_string()] =
        entry.is_regular_file() ? ReadBytes(entry.path()) : std::string("<folder>");
  return contents;
}

void RemoveWritePermission(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

enum class BesideHost { kWritable, kMissingFolder, kReadOnlyFolder, kReadOnlyFile };
enum class UserFile { kFolderOnly, kWithOtherLines, kMissingFolders, kRefused };
enum class SavedTo { kBesideHost, kUser, kNowhere };

struct PlacesCase {
  const char* name;
  BesideHost besideHost;
  UserFile user;
  SavedTo savedTo;
  std::uint32_t refusal;  // the system's reason beside the host, when it refuses
};

// Test names show the case.
void PrintTo(const PlacesCase& c, std::ostream* os) { *os << c.name; }

const std::vector<PlacesCase>& PlacesCases() {
  static const std::vector<PlacesCase> cases = {
      {"writable_folder", BesideHost::kWritable, UserFile::kFolderOnly, SavedTo::kBesideHost, 0},
      {"missing_folder", BesideHost::kMissingFolder, UserFile::kFolderOnly, SavedTo::kUser, kPathNotFound},
      {"read_only_folder", BesideHost::kReadOnlyFolder, UserFile::kWithOtherLines, SavedTo::kUser, kAccessDenied},
      {"read_only_file", BesideHost::kReadOnlyFile, UserFile::kFolderOnly, SavedTo::kUser, kAccessDenied},
      {"missing_user_folders", BesideHost::kMissingFolder, UserFile::kMissingFolders, SavedTo::kUser, kPathNotFound},
      {"both_refused", BesideHost::kMissingFolder, UserFile::kRefused, SavedTo::kNowhere, kPathNotFound},
      {"both_refused_read_only_file", BesideHost::kReadOnlyFile, UserFile::kRefused, SavedTo::kNowhere,
       kAccessDenied},
  };
  return cases;
}

// A player's folder with the file beside the host in one state, and this user's folders (a home
// with its configuration folder) in another.
class SettingsPlacesTest : public testing::TestWithParam<PlacesCase> {
 protected:
  void SetUp() override {
    const PlacesCase& c = GetParam();
    root = ScratchFolder("settings_places");
    const fs::path player = root / "player";
    fs::create_directories(player);
    places.BesideHost = vf::SettingsFilePath((player / "player").u16string(), platform::PathFolderSeparators());
    besideHost = fs::path(places.BesideHost);
    if (c.besideHost != BesideHost::kMissingFolder) fs::create_directories(player / "PlugIns");
    if (c.besideHost == BesideHost::kReadOnlyFile) {
      WriteBytes(besideHost, "[Other]\r\nKey=1\r\n\r\n[Options]\r\nFan=1\r\n");
      RemoveWritePermission(besideHost);
      if (vf::test::ReadOnlyFileOpensForWriting(besideHost)) GTEST_SKIP() << vf::test::kReadOnlyIgnored;
    }
    if (c.besideHost == BesideHost::kReadOnlyFolder) {
      RemoveWritePermission(player / "PlugIns");
      if (vf::test::ReadOnlyFolderTakesNewFiles(player / "PlugIns")) GTEST_SKIP() << vf::test::kReadOnlyFolderIgnored;
    }

    const fs::path home = root / "home";
    userFolder = home / ".config" / "vindelux-fan";
    userFile = userFolder / "Vindelux Fan.ini";
    places.User = userFile.u16string();
    switch (c.user) {
      case UserFile::kFolderOnly: fs::create_directories(userFolder); break;
      case UserFile::kWithOtherLines:
        fs::create_directories(userFolder);
        WriteBytes(userFile, "[Other]\nKept=yes\n");
        break;
      case UserFile::kMissingFolders: fs::create_directories(home); break;
      // A file where the home folder should be: no folder can be made under it.
      case UserFile::kRefused: WriteBytes(home, "not a folder"); break;
    }
    vf::SetFailureReportSink([this](std::u16string_view line) { reports.push_back(platform::Utf16ToUtf8(line)); });
  }
  void TearDown() override {
    vf::SetFailureReportSink({});
    std::error_code ignored;
    fs::permissions(root / "player" / "PlugIns", fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::permissions(besideHost, fs::perms::owner_write, fs::perm_options::add, ignored);
  }

  fs::path root, besideHost, userFolder, userFile;
  vf::TSettingsPlaces places;
  std::vector<std::string> reports;
};

TEST_P(SettingsPlacesTest, SaveGoesToTheFirstPlaceThatTakesItAndReadFindsIt) {
  const PlacesCase& c = GetParam();
  const std::string besideHostBefore = ReadBytes(besideHost);
  const auto before = Contents(root);
  const std::string reason = platform::Utf16ToUtf8(platform::SysErrorMessage(c.refusal));
  const std::string besideHostText = platform::Utf16ToUtf8(places.BesideHost);
  const std::string userText = platform::Utf16ToUtf8(places.User);

  std::optional<std::string> message, report;
  try {
    vf::SaveSettings(places, Parametrs(25, 2, 4));
  } catch (const vf::EReportedFailure& error) {
    message = error.what();
    report = error.Report();
  }

  switch (c.savedTo) {
    case SavedTo::kBesideHost:
      EXPECT_FALSE(message) << *message;
      EXPECT_EQ(vf::ReadSettings(places.BesideHost), Parametrs(25, 2, 4));
      EXPECT_FALSE(fs::exists(userFile)) << "the user's file is made only when the first place refuses";
      EXPECT_TRUE(reports.empty()) << reports.front();
      break;
    case SavedTo::kUser:
      ASSERT_FALSE(message) << *report;
      EXPECT_EQ(ReadBytes(besideHost), besideHostBefore) << "the refused file stays as it was";
      EXPECT_EQ(fs::exists(besideHost), !besideHostBefore.empty());
      EXPECT_EQ(vf::ReadSettings(places.User), Parametrs(25, 2, 4));
      EXPECT_EQ(vf::ReadSettings(places), Parametrs(25, 2, 4));
      if (c.user == UserFile::kWithOtherLines) {
        EXPECT_NE(ReadBytes(userFile).find("[Other]\nKept=yes\n"), std::string::npos) << ReadBytes(userFile);
      }
      // The channel says why and where the settings went, once however often they are saved.
      ASSERT_EQ(reports.size(), 1u);
      EXPECT_NE(reports[0].find(besideHostText + " cannot be written (" + reason + ")"), std::string::npos)
          << reports[0];
      EXPECT_NE(reports[0].find("the settings are kept in " + userText), std::string::npos) << reports[0];
      vf::SaveSettings(places, Parametrs(30, 1, 9));
      EXPECT_EQ(vf::ReadSettings(places), Parametrs(30, 1, 9));
      EXPECT_EQ(reports.size(), 1u);
      break;
    case SavedTo::kNowhere:
      ASSERT_TRUE(message);
      EXPECT_EQ(*message, "Unable to write to " + besideHostText);
      EXPECT_NE(report->find("Unable to write to " + besideHostText + " (" + reason + ")"), std::string::npos)
          << *report;
      EXPECT_NE(report->find(userText + " ("), std::string::npos) << *report;
      EXPECT_EQ(Contents(root), before) << "nothing is written anywhere";
      EXPECT_TRUE(reports.empty());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(States, SettingsPlacesTest, testing::ValuesIn(PlacesCases()),
                         [](const testing::TestParamInfo<PlacesCase>& param) { return std::string(param.param.name); });

// A read takes the newer of the two files, since the later save holds the user's latest choice, and
// the file beside the host when both have the same time; one file alone is read wherever it is, and
// with neither the defaults hold and nothing is made.
TEST(ReadSettingsFromTwoPlaces, TakesTheNewerFile) {
  struct Case {
    const char* name;
    std::optional<int> besideHostAge, userAge;  // seconds before now; nothing: no file
    vf::TParametrs expected;
  };
  const vf::TParametrs besideHostChoice = Parametrs(21, 1, 1), userChoice = Parametrs(22, 2, 2);
  const std::vector<Case> cases = {
      {"user_newer", 100, 10, userChoice},
      {"beside_host_newer", 10, 100, besideHostChoice},
      {"same_time", 50, 50, besideHostChoice},
      {"only_user", std::nullopt, 10, userChoice},
      {"only_beside_host", 10, std::nullopt, besideHostChoice},
      {"neither", std::nullopt, std::nullopt, vf::kDefaultParametrs},
  };
  const auto now = fs::file_time_type::clock::now();
  for (const Case& c : cases) {
    const fs::path folder = ScratchFolder("settings_newer") / c.name;
    fs::create_directories(folder);
    const fs::path besideHost = folder / "player" / "PlugIns" / "Vindelux Fan.ini";
    const fs::path user = folder / "config" / "vindelux-fan" / "Vindelux Fan.ini";
    const auto place = [&](const fs::path& file, std::optional<int> age, const vf::TParametrs& choice) {
      if (!age) return;
      fs::create_directories(file.parent_path());
      vf::SaveSettings(file.u16string(), choice);
      fs::last_write_time(file, now - std::chrono::seconds(*age));
    };
    place(besideHost, c.besideHostAge, besideHostChoice);
    place(user, c.userAge, userChoice);
    const auto before = Contents(folder);
    EXPECT_EQ(vf::ReadSettings(vf::TSettingsPlaces{besideHost.u16string(), user.u16string()}), c.expected) << c.name;
    EXPECT_EQ(Contents(folder), before) << c.name << ": reading makes nothing";
  }
}

}  // namespace
