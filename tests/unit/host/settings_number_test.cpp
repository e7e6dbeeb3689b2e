// The number rules of the settings file, as one table: each text is parsed directly and, where a
// file can carry it, also read from a settings file through the platform's profile service, so
// both back ends answer for the same table.
#include "host/settings_number.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/settings_file.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace {

struct NumberCase {
  const char* name;
  std::string text;
  std::optional<std::int32_t> parsed;  // nothing: not accepted
  // What "Speed" reads as when the text is its value in a file, whose reader trims blanks around it.
  std::int32_t speed;
};

// Test names show the case, not its bytes.
void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }

const std::vector<NumberCase>& NumberCases() {
  static const std::vector<NumberCase> cases = {
      {"decimal", "20", 20, 20},
      {"zero", "0", 0, 0},
      {"negative", "-1", -1, -1},
      {"plus_sign", "+20", 20, 20},
      {"leading_zeros", "0000000000020", 20, 20},
      {"leading_blanks", "  \t20", 20, 20},
      {"trailing_blank_rejected_but_trimmed_by_the_file", "20 ", std::nullopt, 20},
      {"blank_after_sign", "- 20", std::nullopt, 10},
      {"largest", "2147483647", 2147483647, 2147483647},
      {"smallest", "-2147483648", -2147483647 - 1, -2147483647 - 1},
      {"beyond_largest", "2147483648", std::nullopt, 10},
      {"beyond_smallest", "-2147483649", std::nullopt, 10},
      {"far_beyond", "99999999999999999999", std::nullopt, 10},
      {"letters", "abc", std::nullopt, 10},
      {"digits_then_letters", "15abc", std::nullopt, 10},
      {"empty", "", std::nullopt, 10},
      {"sign_alone", "-", std::nullopt, 10},
      {"decimal_point", "20.0", std::nullopt, 10},
      {"zero_x", "0x14", 20, 20},
      {"zero_upper_x", "0X14", 20, 20},
      {"dollar", "$14", 20, 20},
      {"x", "x14", 20, 20},
      {"upper_x", "X1a", 26, 26},
      {"lower_and_upper_hex_digits", "$aBcD", 0xABCD, 0xABCD},
      {"zero_x_three_characters", "0x1", 1, 1},
      {"zero_x_too_short", "0x", std::nullopt, 10},
      {"dollar_alone", "$", std::nullopt, 10},
      {"zero_x_after_a_sign_is_not_hex", "-0x14", std::nullopt, 10},
      {"zero_x_after_blanks_is_not_hex", " 0x14", std::nullopt, 20},
      {"signed_dollar", "-$14", -20, -20},
      {"all_bits_set", "$FFFFFFFF", -1, -1},
      {"top_bit", "$80000000", -2147483647 - 1, -2147483647 - 1},
      {"negated_pattern", "-$FFFFFFFF", 1, 1},
      {"eight_significant_digits_after_zeros", "$0000000012345678", 0x12345678, 0x12345678},
      {"nine_significant_digits", "$123456789", std::nullopt, 10},
      {"hex_then_letters", "$1G", std::nullopt, 10},
      {"full_width_digits", "\xEF\xBC\x92\xEF\xBC\x90", std::nullopt, 10},
  };
  return cases;
}

class SettingsNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(SettingsNumberTest, ParsedDirectly) {
  const NumberCase& c = GetParam();
  EXPECT_EQ(vf::ParseSettingsNumber(platform::Utf8ToUtf16(c.text)), c.parsed);
}

TEST_P(SettingsNumberTest, ReadFromTheFile) {
  const NumberCase& c = GetParam();
  const auto file = vf::test::ScratchFolder("settings_number") / (std::string(c.name) + ".ini");
  vf::test::WriteBytes(file, "[Options]\r\nSpeed=" + c.text + "\r\n");
  EXPECT_EQ(vf::ReadSettings(file.u16string()).Speed, c.speed);
}

INSTANTIATE_TEST_SUITE_P(Texts, SettingsNumberTest, testing::ValuesIn(NumberCases()),
                         [](const testing::TestParamInfo<NumberCase>& param) { return std::string(param.param.name); });

}  // namespace
