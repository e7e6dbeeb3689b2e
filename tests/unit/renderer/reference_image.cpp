#include "reference_image.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/imaging.h"
#include "support/png_encode.h"

namespace vf::test {

::testing::AssertionResult MatchesReference(const platform::PixelBuffer& actual, std::string_view name,
                                            CompareOptions options) {
  const std::filesystem::path path =
      std::filesystem::path(VF_REFERENCE_DIR) / (std::string(name) + ".png");
  const char* update = std::getenv("VF_UPDATE_REFERENCES");
  if (update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(path.parent_path());
    WritePngFile(path, actual, options.compareAlpha);
    return ::testing::AssertionSuccess() << "reference written: " << path.string();
  }
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return ::testing::AssertionFailure()
           << "no reference " << path.string() << " (run with VF_UPDATE_REFERENCES=1 to write it)";
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  const platform::PixelBuffer expected = platform::png::Decode(bytes.data(), bytes.size());
  return ImagesMatch(actual, expected, name, options);
}

platform::PixelBuffer Pixels(const platform::Surface& surface) {
  return platform::ReadPixels(surface.DC(), 0, 0, surface.Width(), surface.Height());
}

}  // namespace vf::test
