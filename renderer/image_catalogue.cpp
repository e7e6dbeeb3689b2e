#include "renderer/image_catalogue.h"

#include "platform/resources.h"
#include "renderer/fan_graphic.h"

namespace vf {

std::u16string FormatName(std::u16string_view format, std::initializer_list<std::int32_t> numbers) {
  std::u16string name;
  auto next = numbers.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd' && next != numbers.end()) {
      for (char c : std::to_string(*next++)) name.push_back(static_cast<char16_t>(c));
      ++i;
    } else {
      name.push_back(format[i]);
    }
  }
  return name;
}

bool ResourcePresent(const std::u16string& name) {
  return platform::FindResourceW(platform::ThisModule(), name) != nullptr;
}

bool TryLoadPart(TFanGraphic& APart, const std::u16string& AResName) {
  if (!ResourcePresent(AResName)) return false;
  APart.LoadFromResourceName(platform::ThisModule(), AResName);
  return true;
}

bool FanSkinExists(std::int32_t ASkin) { return ResourcePresent(FormatName(kFanFrameFormat, {ASkin, 0})); }

bool BackgroundExists(std::int32_t AIndex) {
  for (const auto& centre : kCentrNames)
    if (ResourcePresent(FormatName(centre.Format, {AIndex}))) return true;
  return false;
}

std::int32_t CountFanSkins() {
  std::int32_t count = 0;
  while (FanSkinExists(count)) ++count;
  return count;
}

std::int32_t CountBackgrounds() {
  std::int32_t count = 0;
  while (BackgroundExists(count)) ++count;
  return count;
}

}  // namespace vf
