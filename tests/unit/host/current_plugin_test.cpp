// What the current interface's adapter makes of a player's numbers and folder names.
#include "host/current_plugin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(LevelFromPeak, PeaksBecomeLevelsAndAnythingOutsideIsHeldToTheRange) {
  const struct {
    float peak;
    std::int32_t level;
  } cases[] = {
      {0.0f, 0},
      {0.25f, 25},
      {0.996f, 100},
      {1.0f, 100},
      {1.5f, 100},  // a clipping peak
      {std::numeric_limits<float>::infinity(), 100},
      {-0.5f, 0},
      {-std::numeric_limits<float>::infinity(), 0},
      {std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(vf::LevelFromPeak(c.peak), c.level) << c.peak;
}

TEST(ProfileSettingsFilePath, OneSeparatorBetweenTheFolderAndTheFile) {
#ifdef _WIN32
  EXPECT_EQ(vf::ProfileSettingsFilePath(u"C:\\Users\\a\\AppData\\Roaming\\AIMP"),
            u"C:\\Users\\a\\AppData\\Roaming\\AIMP\\Vindelux Fan.ini");
  EXPECT_EQ(vf::ProfileSettingsFilePath(u"C:\\Profile\\"), u"C:\\Profile\\Vindelux Fan.ini");
  EXPECT_EQ(vf::ProfileSettingsFilePath(u"C:/Profile/"), u"C:/Profile/Vindelux Fan.ini");
#else
  EXPECT_EQ(vf::ProfileSettingsFilePath(u"/home/a/.config/player"), u"/home/a/.config/player/Vindelux Fan.ini");
  EXPECT_EQ(vf::ProfileSettingsFilePath(u"/home/a/.config/player/"), u"/home/a/.config/player/Vindelux Fan.ini");
#endif
}

}  // namespace
