#include "options/skin/skin_manager.h"

#include <algorithm>

#include "options/skin/internal_skins.h"
#include "options/skin/skin_provider.h"

namespace vf::skin {

TsSkinManager::TsSkinManager() : FInternalSkins(vf::skin::InternalSkins()) {}

TsSkinManager::~TsSkinManager() {
  for (TsSkinProvider* provider : FProviders) provider->FManager = nullptr;
}

void TsSkinManager::Detach(TsSkinProvider* provider) { std::erase(FProviders, provider); }

void TsSkinManager::SetSkinName(std::u16string_view name) {
  const auto found = std::find_if(FInternalSkins.begin(), FInternalSkins.end(),
                                  [name](const TSkin& skin) { return skin.Name == name; });
  if (found == FInternalSkins.end()) return;
  FSkinName = found->Name;
  FActive = static_cast<int>(found - FInternalSkins.begin());
  // A provider may repaint and present its window here; copy the list in case one detaches.
  const std::vector<TsSkinProvider*> providers = FProviders;
  for (TsSkinProvider* provider : providers) provider->SkinChanged();
}

const TSkin* TsSkinManager::ActiveSkin() const {
  return FActive < 0 ? nullptr : &FInternalSkins[static_cast<std::size_t>(FActive)];
}

const TSkin& TsSkinManager::CurrentLook() const {
  const TSkin* active = ActiveSkin();
  return active != nullptr ? *active : PlainLook();
}

}  // namespace vf::skin
