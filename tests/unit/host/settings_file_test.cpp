// The settings file: where it lives, what a read makes of it key by key, what a save leaves in it,
// and the one error a refused save raises.
#include "host/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/module_services.h"
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

}  // namespace
