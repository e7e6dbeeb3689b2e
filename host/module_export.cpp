#include "host/module_export.h"

#include "host/slot_guard.h"
#include "host/visual_plugin.h"

extern "C" void VF_STDCALL AIMP_QueryVisual(aimp::IVisualPlugin** plugin) {
  vf::GuardSlot("AIMP_QueryVisual", [&] {
    if (plugin == nullptr) return;
    auto* created = new vf::TAIMP2Visual();
    created->AddRef();
    aimp::IVisualPlugin* previous = *plugin;
    *plugin = created;
    if (previous != nullptr) previous->Vtbl->Release(previous);
  });
}
