// The folder services behave the same on both back ends: where this user's settings belong, how a
// folder is made and when it is refused, and files' last write times in one order with the clock.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using vf::test::ReadBytes;
using vf::test::ScratchFolder;
using vf::test::WriteBytes;

// Windows' error numbers, which both back ends report.
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kAlreadyExists = 183;

#if defined(_WIN32)

TEST(UserSettingsFolder, IsTheDisplayNameInTheRoamingApplicationDataFolder) {
  // The environment names the same folder for programs that look there.
  const wchar_t* appData = _wgetenv(L"APPDATA");
  ASSERT_NE(appData, nullptr);
  const fs::path expected = fs::path(appData) / "Vindelux Fan";
  const std::u16string folder = platform::UserSettingsFolder(u"Vindelux Fan", u"vindelux-fan");
  EXPECT_EQ(fs::path(folder).lexically_normal(), expected.lexically_normal());
}

#else

// Sets or unsets one environment variable for the length of a case.
class Environment {
 public:
  Environment(const char* name, const char* value) : FName(name) {
    if (const char* previous = std::getenv(name)) FPrevious = previous;
    if (value != nullptr)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~Environment() {
    if (FPrevious)
      ::setenv(FName, FPrevious->c_str(), 1);
    else
      ::unsetenv(FName);
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  const char* FName;
  std::optional<std::string> FPrevious;
};

// The XDG rules: $XDG_CONFIG_HOME where it is an absolute path, ~/.config where it is unset, empty
// or relative (an invalid value that must be ignored).
TEST(UserSettingsFolder, IsThePackageNameInTheXdgConfigurationFolder) {
  struct Case {
    const char* name;
    const char* configHome;  // null: unset
    const char* home;
    std::u16string expected;
  };
  const std::vector<Case> cases = {
      {"absolute", "/srv/conf", "/home/me", u"/srv/conf/vindelux-fan"},
      {"absolute_trailing_slash", "/srv/conf/", "/home/me", u"/srv/conf/vindelux-fan"},
      {"unset", nullptr, "/home/me", u"/home/me/.config/vindelux-fan"},
      {"empty", "", "/home/me/", u"/home/me/.config/vindelux-fan"},
      {"relative", "conf", "/home/me", u"/home/me/.config/vindelux-fan"},
      {"dot_relative", "./conf", "/home/me", u"/home/me/.config/vindelux-fan"},
  };
  for (const Case& c : cases) {
    const Environment configHome("XDG_CONFIG_HOME", c.configHome);
    const Environment home("HOME", c.home);
    EXPECT_EQ(platform::UserSettingsFolder(u"Vindelux Fan", u"vindelux-fan"), c.expected) << c.name;
  }
}

#endif

TEST(UserSettingsFolder, AskingMakesNothing) {
  const std::u16string folder =
      platform::UserSettingsFolder(u"Vindelux Fan Probe", u"vindelux-fan-probe");
  ASSERT_FALSE(folder.empty());
  EXPECT_FALSE(fs::exists(fs::path(folder)));
}

// A folder is made with every missing folder above it; one that exists counts as made; a name a
// file holds, or a file where a folder above should be, is refused with ERROR_ALREADY_EXISTS and
// the file stays.
TEST(CreateFolder, MakesWhatIsMissingAndRefusesWhereAFileIs) {
  const fs::path root = ScratchFolder("create_folder");
  WriteBytes(root / "file", "kept");
  struct Case {
    fs::path folder;
    bool made;
  };
  const std::vector<Case> cases = {
      {root / "a" / "b" / "c", true},
      {root / "a" / "b", true},
      {root, true},
      {root / "file", false},
      {root / "file" / "x" / "y", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::CreateFolder(c.folder.u16string()), c.made) << c.folder.string();
    if (c.made) {
      EXPECT_TRUE(fs::is_directory(c.folder)) << c.folder.string();
    } else {
      EXPECT_EQ(platform::GetLastError(), kAlreadyExists) << c.folder.string();
    }
  }
  EXPECT_EQ(ReadBytes(root / "file"), "kept");
#if !defined(_WIN32)
  // Made for its owner alone, as the XDG rules ask of a configuration folder.
  EXPECT_EQ(fs::status(root / "a").permissions() & fs::perms::all, fs::perms::owner_all);
#endif
}

TEST(CreateFolder, RefusedInAFolderWithoutWritePermission) {
  const fs::path parent = ScratchFolder("create_folder_read_only") / "locked";
  fs::create_directories(parent);
  fs::permissions(parent, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (vf::test::ReadOnlyFolderTakesNewFiles(parent))
    GTEST_SKIP() << vf::test::kReadOnlyFolderIgnored;
  EXPECT_FALSE(platform::CreateFolder((parent / "x" / "y").u16string()));
  EXPECT_EQ(platform::GetLastError(), kAccessDenied);
  EXPECT_TRUE(fs::is_empty(parent));
  fs::permissions(parent, fs::perms::owner_write, fs::perm_options::add);
}

// Later writes have greater times, a tick being 100 ns; a missing file or a folder has none.
TEST(FileLastWriteTime, FollowsTheFilesTimesInTicks) {
  const fs::path folder = ScratchFolder("file_last_write_time");
  EXPECT_FALSE(platform::FileLastWriteTime((folder / "missing").u16string()));
  EXPECT_FALSE(platform::FileLastWriteTime(folder.u16string()));
  WriteBytes(folder / "older", "");
  WriteBytes(folder / "newer", "");
  const auto now = fs::file_time_type::clock::now();
  fs::last_write_time(folder / "older", now - std::chrono::seconds(100));
  fs::last_write_time(folder / "newer", now - std::chrono::seconds(40));
  const auto older = platform::FileLastWriteTime((folder / "older").u16string());
  const auto newer = platform::FileLastWriteTime((folder / "newer").u16string());
  ASSERT_TRUE(older && newer);
  EXPECT_NEAR(static_cast<double>(*newer - *older), 60e7, 1e7);
}

}  // namespace
