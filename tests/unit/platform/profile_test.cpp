// Profile files read and write the same on both back ends: the portable reader and editor here,
// the system's profile service on Windows. The tables below are the one statement of what a user
// sees, so a difference between the two back ends fails on one of the lanes.
#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
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

std::u16string Read(const fs::path& file, std::u16string_view key, std::u16string_view section = u"Options",
                    std::uint32_t size = 2048) {
  return platform::GetPrivateProfileStringW(section, key, u"", size, file.u16string());
}

bool Write(const fs::path& file, std::u16string_view key, std::u16string_view value) {
  return platform::WritePrivateProfileStringW(u"Options", key, value, file.u16string());
}

struct ReadCase {
  const char* name;
  std::string file;
  std::u16string fan, background, speed;
};

// Test names show the case, not its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

const std::vector<ReadCase>& ReadCases() {
  static const std::vector<ReadCase> cases = {
      {"crlf", "[Options]\r\nFan=1\r\nBackground=2\r\nSpeed=20\r\n", u"1", u"2", u"20"},
      {"lf", "[Options]\nFan=1\nBackground=2\nSpeed=20\n", u"1", u"2", u"20"},
      {"mixed_endings", "[Options]\r\nFan=1\nBackground=2\r\nSpeed=20", u"1", u"2", u"20"},
      {"odd_spacing", "  [Options]  \n  Fan  =   1   \n\tBackground\t=\t2\t\r\nSpeed=  20\n", u"1", u"2", u"20"},
      {"names_in_any_case", "[OPTIONS]\nfan=1\nBACKGROUND=2\nsPeEd=20\n", u"1", u"2", u"20"},
      {"blank_lines", "\n\n[Options]\n\n\nFan=1\n\r\n\nSpeed=20\n\n", u"1", u"", u"20"},
      {"first_duplicate_key", "[Options]\nSpeed=20\nSpeed=30\nFan=1\nfan=2\n", u"1", u"", u"20"},
      // Only the first section of a name is looked at.
      {"first_duplicate_section", "[Options]\nFan=1\n[Other]\nSpeed=5\n[options]\nSpeed=30\nFan=2\n", u"1", u"",
       u""},
      // A ";" line is an entry named ";...", and text after a value belongs to the value.
      {"comments", "; Speed=5\n[Options]\n;Fan=7\n# Background=3\nSpeed=20 ; not a comment\n", u"", u"",
       u"20 ; not a comment"},
      {"missing_section", "[Other]\nFan=1\nBackground=2\nSpeed=20\n", u"", u"", u""},
      {"keys_before_any_section", "Speed=20\nFan=1\n[Options]\nBackground=2\n", u"", u"2", u""},
      {"empty_values", "[Options]\nFan=\nBackground=   \nSpeed\n", u"", u"", u""},
      {"quoted_values", "[Options]\nFan=\"1\"\nBackground='2'\nSpeed=\"20\n", u"1", u"2", u"\"20"},
      {"text_after_section_header", "[Options] ; the plug-in's\nSpeed=20\n", u"", u"", u"20"},
      {"blanks_inside_brackets", "[ Options\t]\nSpeed=20\n", u"", u"", u"20"},
      {"byte_order_mark", "\xEF\xBB\xBF[Options]\r\nSpeed=20\r\n", u"", u"", u"20"},
      // A carriage return alone ends a line too.
      {"carriage_returns_only", "[Options]\rFan=1\r\r\rSpeed=20\r", u"1", u"", u"20"},
      {"equals_in_value", "[Options]\nSpeed==20=\n", u"", u"", u"=20="},
      {"very_long_value", "[Options]\nFan=" + std::string(5000, '7') + "\nSpeed=20\n", std::u16string(2047, u'7'),
       u"", u"20"},
  };
  return cases;
}

class ProfileReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, GivesTheValuesAUserWrote) {
  const ReadCase& c = GetParam();
  const fs::path file = ScratchFolder("profile_read") / (std::string(c.name) + ".ini");
  WriteBytes(file, c.file);
  EXPECT_EQ(Read(file, u"Fan"), c.fan);
  EXPECT_EQ(Read(file, u"Background"), c.background);
  EXPECT_EQ(Read(file, u"Speed"), c.speed);
  platform::FlushPrivateProfile(file.u16string());
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileReadTest, testing::ValuesIn(ReadCases()),
                         [](const testing::TestParamInfo<ReadCase>& param) { return std::string(param.param.name); });

TEST(ProfileRead, MissingFileGivesTheDefaultAndStaysMissing) {
  const fs::path folder = ScratchFolder("profile_missing");
  const fs::path file = folder / "absent.ini";
  EXPECT_EQ(platform::GetPrivateProfileStringW(u"Options", u"Speed", u"dflt", 2048, file.u16string()), u"dflt");
  EXPECT_EQ(platform::GetPrivateProfileStringW(u"Options", u"Speed", u"dflt", 2048,
                                              (folder / "no folder" / "absent.ini").u16string()),
            u"dflt");
  platform::FlushPrivateProfile(file.u16string());
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(ProfileRead, ValueIsCutToTheBuffer) {
  const fs::path file = ScratchFolder("profile_buffer") / "cut.ini";
  WriteBytes(file, "[Options]\nSpeed=12345\n");
  EXPECT_EQ(Read(file, u"Speed", u"Options", 3), u"12");
  EXPECT_EQ(Read(file, u"Speed", u"Options", 1), u"");
  platform::FlushPrivateProfile(file.u16string());
}

// What the file holds after the three writes of a save, seen through the reader: the saved values,
// and every other entry with its value.
struct WriteCase {
  const char* name;
  const char* before;  // null: no file
  struct Probe {
    std::u16string section, key, value;
  };
  std::vector<Probe> others;
};

// Test names show the case, not its bytes.
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

const std::vector<WriteCase>& WriteCases() {
  static const std::vector<WriteCase> cases = {
      {"new_file", nullptr, {}},
      {"empty_file", "", {}},
      {"keys_replaced_in_place",
       "[General]\r\nName=x\r\n\r\n[Options]\r\nSpeed = 20\r\nExtra=keep\r\nFan=2\r\n\r\n[Last]\r\nSpeed=5\r\n",
       {{u"General", u"Name", u"x"}, {u"Options", u"Extra", u"keep"}, {u"Last", u"Speed", u"5"}}},
      {"other_case", "[OPTIONS]\nSPEED=20\nfan=1\n", {}},
      {"duplicate_keys", "[Options]\nSpeed=20\nSpeed=25\nBackground=3\n[Next]\nA=1\n", {{u"Next", u"A", u"1"}}},
      {"missing_section", "[Other]\nA=1", {{u"Other", u"A", u"1"}}},
      {"section_without_final_line_break", "[Options]\nFan=0", {}},
      {"comments_and_byte_order_mark", "\xEF\xBB\xBF; settings\r\n[Options]\r\n; speed 10..30\r\nSpeed=10\r\n",
       {}},
  };
  return cases;
}

class ProfileWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, SaveKeepsEveryOtherEntry) {
  const WriteCase& c = GetParam();
  const fs::path file = ScratchFolder("profile_write") / (std::string(c.name) + ".ini");
  if (c.before != nullptr) WriteBytes(file, c.before);
  ASSERT_TRUE(Write(file, u"Fan", u"1"));
  ASSERT_TRUE(Write(file, u"Background", u"-2"));
  ASSERT_TRUE(Write(file, u"Speed", u"30"));
  platform::FlushPrivateProfile(file.u16string());

  EXPECT_EQ(Read(file, u"Fan"), u"1");
  EXPECT_EQ(Read(file, u"Background"), u"-2");
  EXPECT_EQ(Read(file, u"Speed"), u"30");
  for (const auto& probe : c.others)
    EXPECT_EQ(Read(file, probe.key, probe.section), probe.value) 
        << platform::Utf16ToUtf8(probe.section) << "/" << platform::Utf16ToUtf8(probe.key);
  platform::FlushPrivateProfile(file.u16string());
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileWriteTest, testing::ValuesIn(WriteCases()),
                         [](const testing::TestParamInfo<WriteCase>& param) { return std::string(param.param.name); });

// A refused write returns false, leaves what was there as it was, and creates nothing.
TEST(ProfileWrite, RefusedWhenTheFolderIsMissing) {
  const fs::path folder = ScratchFolder("profile_refused_missing");
  EXPECT_FALSE(Write(folder / "PlugIns" / "x.ini", u"Speed", u"20"));
  platform::FlushPrivateProfile((folder / "PlugIns" / "x.ini").u16string());
  EXPECT_TRUE(fs::is_empty(folder));
}

TEST(ProfileWrite, RefusedWhenTheFolderIsAFile) {
  const fs::path folder = ScratchFolder("profile_refused_file");
  WriteBytes(folder / "PlugIns", "not a folder");
  EXPECT_FALSE(Write(folder / "PlugIns" / "x.ini", u"Speed", u"20"));
  platform::FlushPrivateProfile((folder / "PlugIns" / "x.ini").u16string());
  EXPECT_EQ(ReadBytes(folder / "PlugIns"), "not a folder");
}

TEST(ProfileWrite, RefusedWhenTheFileIsReadOnly) {
  const fs::path file = ScratchFolder("profile_refused_read_only") / "x.ini";
  WriteBytes(file, "[Options]\r\nSpeed=20\r\n");
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (vf::test::ReadOnlyFileOpensForWriting(file)) GTEST_SKIP() << vf::test::kReadOnlyIgnored;
  EXPECT_FALSE(Write(file, u"Speed", u"30"));
  platform::FlushPrivateProfile(file.u16string());
  EXPECT_EQ(ReadBytes(file), "[Options]\r\nSpeed=20\r\n");
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

// A folder without write permission takes no new file, also for an administrator, as a folder whose
// access list grants nobody writing; the refusal says so.
TEST(ProfileWrite, RefusedWhenTheFolderIsReadOnly) {
  const fs::path folder = ScratchFolder("profile_refused_read_only_folder") / "PlugIns";
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  if (vf::test::ReadOnlyFolderTakesNewFiles(folder)) GTEST_SKIP() << vf::test::kReadOnlyFolderIgnored;
  EXPECT_FALSE(Write(folder / "x.ini", u"Speed", u"30"));
  EXPECT_EQ(platform::GetLastError(), 5u);
  platform::FlushPrivateProfile((folder / "x.ini").u16string());
  EXPECT_TRUE(fs::is_empty(folder));
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
}

}  // namespace
