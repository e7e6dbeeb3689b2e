#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "options/skin/notify_event.h"
#include "options/skin/skin.h"

namespace vf::skin {

class TsSkinProvider;

// Holds the internal skins and names the active one. Assigning SkinName switches every window
// whose provider is attached to this manager at once. No skin is active until a name is assigned;
// a name that is not one of the internal skins leaves the current skin as it is.
class TsSkinManager : public TObject {
 public:
  TsSkinManager();
  ~TsSkinManager() override;
  TsSkinManager(const TsSkinManager&) = delete;
  TsSkinManager& operator=(const TsSkinManager&) = delete;

  const std::vector<TSkin>& InternalSkins() const { return FInternalSkins; }
  const std::u16string& SkinName() const { return FSkinName; }
  void SetSkinName(std::u16string_view name);
  // The active skin, or null while none is.
  const TSkin* ActiveSkin() const;
  // What the windows are painted with: the active skin, or the plain look without one.
  const TSkin& CurrentLook() const;

  // The folder of external skin files; every skin this window needs is internal.
  std::u16string SkinDirectory = u"c:\\Skins";

 private:
  friend class TsSkinProvider;
  void Attach(TsSkinProvider* provider) { FProviders.push_back(provider); }
  void Detach(TsSkinProvider* provider);

  std::vector<TSkin> FInternalSkins;
  std::u16string FSkinName;
  int FActive = -1;
  std::vector<TsSkinProvider*> FProviders;
};

}  // namespace vf::skin
