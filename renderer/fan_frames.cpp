#include "renderer/fan_frames.h"

#include "platform/text.h"
#include "renderer/errors.h"
#include "renderer/image_catalogue.h"

namespace vf {

TFanFrames::TFanFrames(std::int32_t AFanIndex, bool AIsGdiPlus) : FIsGdiPlus(AIsGdiPlus) {
  FInfo.FanCount = CountFanSkins();
  FInfo.FanIndex = AFanIndex;
  SetSkinFanIndex(FInfo.FanIndex);
}

std::int32_t TFanFrames::CountFanSkins() { return vf::CountFanSkins(); }

void TFanFrames::SetIsGdiPlus(bool Value) {
  FIsGdiPlus = Value;
  SetSkinFanIndex(FInfo.FanIndex);
}

void TFanFrames::SetSkinFanIndex(std::int32_t Value) {
  FInfo.FanIndex = Value;
  FFrames.clear();
  std::int32_t frame = 0;
  while (TryLoadFrame(FormatName(kFanFrameFormat, {FInfo.FanIndex, frame}))) ++frame;
  if (FFrames.empty()) {
    const std::u16string missing = FormatName(kFanFrameFormat, {FInfo.FanIndex, 0});
    throw Exception("Bitmap \"" + platform::Utf16ToUtf8(missing) + "\" not found");
  }
  FInfo.FramesCount = static_cast<std::int32_t>(FFrames.size());
}

bool TFanFrames::TryLoadFrame(const std::u16string& AName) {
  auto graphic = TFanGraphic::Create(FIsGdiPlus);
  if (!TryLoadPart(*graphic, AName)) return false;
  FFrames.push_back(std::move(graphic));
  return true;
}

TFanGraphic& TFanFrames::GetFrame(std::int32_t AIndex) const {
  if (AIndex < 0 || static_cast<std::size_t>(AIndex) >= FFrames.size())
    throw EArgumentOutOfRangeException();
  return *FFrames[static_cast<std::size_t>(AIndex)];
}

}  // namespace vf
