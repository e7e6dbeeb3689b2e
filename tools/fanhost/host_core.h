#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/aimp_current_sdk.h"

// What a current player's core offers a plug-in, as far as a visualisation uses it: text objects,
// the profile folder, and the place where the plug-in registers its visualisation.
namespace fanhost {

// A new text object of the player's holding one reference for the caller.
aimp::IAIMPString* NewHostString(std::u16string_view text);
// A copy of what a text object holds; empty for none.
std::u16string TextOf(aimp::IAIMPString* text);

class HostCore final : public aimp::IAIMPCore {
 public:
  explicit HostCore(std::u16string profileFolder);
  ~HostCore();
  HostCore(const HostCore&) = delete;
  HostCore& operator=(const HostCore&) = delete;

  // The visualisation the plug-in registered, held by the core; null before or after.
  aimp::IAIMPExtensionEmbeddedVisualization* Visualization() const { return FVisualization; }
  // The plug-in's references to the core: none are left once it has finalised.
  std::uint32_t PluginReferences() const { return FRefCount; }

  std::uint32_t AddRef() { return ++FRefCount; }
  // The core lives as long as the player, whatever its count says.
  std::uint32_t Release() { return --FRefCount; }
  aimp::HResult CreateObject(const aimp::Guid* iid, void** object);
  aimp::HResult GetPath(std::int32_t pathId, aimp::IAIMPString** value);
  aimp::HResult RegisterExtension(const aimp::Guid* serviceIid, aimp::IUnknown* extension);
  aimp::HResult UnregisterExtension(aimp::IUnknown* extension);

 private:
  std::atomic<std::uint32_t> FRefCount{0};
  std::u16string FProfileFolder;
  aimp::IAIMPExtensionEmbeddedVisualization* FVisualization = nullptr;
};

}  // namespace fanhost
