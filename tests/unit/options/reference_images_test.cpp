// The window's picture in each internal skin, and without one, matches its reference image within
// a small tolerance: text is anti-aliased by the platform's text engine, and the shapes by ours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fake_window.h"
#include "platform/imaging.h"
#include "platform/text.h"
#include "support/image_compare.h"
#include "support/png_encode.h"

namespace vf::test {
namespace {

constexpr int kTolerance = 8;

::testing::AssertionResult MatchesReference(const platform::PixelBuffer& actual, const std::string& name) {
  const std::filesystem::path path = std::filesystem::path(VF_REFERENCE_DIR) / (name + ".png");
  const char* update = std::getenv("VF_UPDATE_REFERENCES");
  if (update != nullptr && std::string(update) == "1") {
    WritePngFile(path, actual, false);
    return ::testing::AssertionSuccess();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) return ::testing::AssertionFailure() << "no reference " << path.string();
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  return ImagesMatch(actual, platform::png::Decode(bytes.data(), bytes.size()), name, {kTolerance, false});
}

// A scene that shows every element: a selected radio button, both sliders away from their ends,
// the focus mark on the speed slider and the pointer over the button.
platform::PixelBuffer Picture(const std::u16string& skinName) {
  FakeWindow* window = nullptr;
  TFormOptions form(FakeServices(window));
  if (!skinName.empty()) form.sSkinManager1.SetSkinName(skinName);
  form.SetParametrs({17, 1, 4});
  form.HandleEvent(Simple(platform::WindowEvent::Kind::FocusIn));
  form.HandleEvent(MouseMove(170, 64));
  return window->Presented;
}

class OptionsPicture : public ::testing::TestWithParam<std::u16string> {};

TEST_P(OptionsPicture, MatchesReference) {
  std::string name = platform::Utf16ToUtf8(GetParam());
  name = name.empty() ? "plain" : name.substr(0, name.find(' '));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const platform::PixelBuffer picture = Picture(GetParam());
  WritePngFile("options_" + name + "_rendered.png", picture, false);
  EXPECT_TRUE(MatchesReference(picture, "options_" + name));
}

INSTANTIATE_TEST_SUITE_P(Skins, OptionsPicture,
                         ::testing::Values(u"", u"Deep (internal)", u"DarkGlass (internal)", u"MacOS (internal)",
                                           u"TV-b (internal)", u"Cold (internal)"));

}  // namespace
}  // namespace vf::test
