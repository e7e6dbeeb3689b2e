// The portable INI editor changes only the line it owns, byte for byte, and a write replaces the
// file whole: never half-written, with its permissions and its symbolic link kept.
#include "portable/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::portable::IniText;

struct EditCase {
  const char* name;
  std::string before;
  std::string key;
  std::string after;
};

// Test names show the case, not its bytes.
void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

const std::vector<EditCase>& EditCases() {
  static const std::vector<EditCase> cases = {
      {"value_replaced_spacing_kept", "[Options]\r\nSpeed = 20  \r\n", "Speed", "[Options]\r\nSpeed = 30  \r\n"},
      {"blanks_inside_brackets", "[ options ]\nSpeed=20\n", "Speed", "[ options ]\nSpeed=30\n"},
      {"name_case_kept", "; c\n[options]\n; note\nSPEED=20 ; x\n[B]\n", "speed", "; c\n[options]\n; note\nSPEED=30\n[B]\n"},
      {"first_duplicate_replaced", "[Options]\nSpeed=20\nSpeed=25\n", "Speed", "[Options]\nSpeed=30\nSpeed=25\n"},
      {"first_duplicate_section", "[Options]\nFan=1\n[Options]\nSpeed=20\n", "Speed",
       "[Options]\nFan=1\nSpeed=30\n[Options]\nSpeed=20\n"},
      {"name_without_equals", "[Options]\r\nSpeed\r\n", "Speed", "[Options]\r\nSpeed=30\r\n"},
      {"empty_value", "[Options]\nSpeed=   \r\n", "Speed", "[Options]\nSpeed=30   \r\n"},
      {"added_after_last_entry", "[Options]\r\nFan=1\r\n\r\n[Next]\r\nA=1\r\n", "Speed",
       "[Options]\r\nFan=1\r\nSpeed=30\r\n\r\n[Next]\r\nA=1\r\n"},
      {"added_in_lf_file", "[Options]\nFan=1\n", "Speed", "[Options]\nFan=1\nSpeed=30\n"},
      {"added_after_unterminated_header", "[Options]", "Speed", "[Options]\r\nSpeed=30\r\n"},
      {"section_added_after_unterminated_line", "[Other]\nA=1", "Speed", "[Other]\nA=1\n[Options]\nSpeed=30\n"},
      {"section_added_to_empty_text", "", "Speed", "[Options]\r\nSpeed=30\r\n"},
      {"byte_order_mark_alone", "\xEF\xBB\xBF", "Speed", "\xEF\xBB\xBF[Options]\r\nSpeed=30\r\n"},
      {"byte_order_mark_kept", "\xEF\xBB\xBF[Options]\r\nSpeed=20\r\n", "Speed", "\xEF\xBB\xBF[Options]\r\nSpeed=30\r\n"},
      {"first_line_ending_decides", "[A]\nB=1\r\n", "Speed", "[A]\nB=1\r\n[Options]\nSpeed=30\n"},
      {"carriage_returns_end_lines", "[Options]\rFan=1\r\rSpeed=20\r", "Speed", "[Options]\rFan=1\r\rSpeed=30\r"},
      {"carriage_return_file_grows_alike", "[Other]\rA=1", "Speed", "[Other]\rA=1\r[Options]\rSpeed=30\r"},
      {"added_after_a_run_of_line_breaks", "[Options]\r\nFan=1\r\n\r\n", "Speed",
       "[Options]\r\nFan=1\r\nSpeed=30\r\n\r\n"},
  };
  return cases;
}

class IniEditTest : public testing::TestWithParam<EditCase> {};

TEST_P(IniEditTest, ChangesOnlyTheLineItOwns) {
  const EditCase& c = GetParam();
  IniText ini(c.before);
  ini.Set("Options", c.key, "30");
  EXPECT_EQ(ini.Text(), c.after);
  EXPECT_EQ(ini.Find("Options", c.key), "30");
}

INSTANTIATE_TEST_SUITE_P(Texts, IniEditTest, testing::ValuesIn(EditCases()),
                         [](const testing::TestParamInfo<EditCase>& param) { return std::string(param.param.name); });

TEST(PortableProfileFile, WriteReplacesTheFileWholeAndKeepsItsPermissions) {
  const fs::path folder = vf::test::ScratchFolder("ini_replace");
  const fs::path file = folder / "x.ini";
  vf::test::WriteBytes(file, "[Options]\nSpeed=20\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct stat before {};
  ASSERT_EQ(::stat(file.c_str(), &before), 0);

  ASSERT_TRUE(platform::WritePrivateProfileStringW(u"Options", u"Speed", u"30", file.u16string()));

  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  // A new file took the old one's place: the old bytes were never overwritten where they lay.
  EXPECT_NE(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(vf::test::ReadBytes(file), "[Options]\nSpeed=30\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << "a temporary file was left";
}

TEST(PortableProfileFile, WriteThroughASymbolicLinkKeepsTheLink) {
  const fs::path folder = vf::test::ScratchFolder("ini_symlink");
  vf::test::WriteBytes(folder / "real.ini", "[Options]\nSpeed=20\n");
  fs::create_symlink("real.ini", folder / "link.ini");
  ASSERT_TRUE(platform::WritePrivateProfileStringW(u"Options", u"Speed", u"30", (folder / "link.ini").u16string()));
  EXPECT_TRUE(fs::is_symlink(folder / "link.ini"));
  EXPECT_EQ(vf::test::ReadBytes(folder / "real.ini"), "[Options]\nSpeed=30\n");
}

TEST(PortableProfileFile, RefusesTextThatWouldNotReadBack) {
  const fs::path file = vf::test::ScratchFolder("ini_refused_text") / "x.ini";
  EXPECT_FALSE(platform::WritePrivateProfileStringW(u"Options", u"Speed", u"1\n[Evil]", file.u16string()));
  EXPECT_FALSE(platform::WritePrivateProfileStringW(u"Options", u"Sp=eed", u"1", file.u16string()));
  EXPECT_FALSE(platform::WritePrivateProfileStringW(u"Opt\r\nions", u"Speed", u"1", file.u16string()));
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
