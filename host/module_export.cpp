#include "host/module_export.h"

#include "host/current_plugin.h"
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

extern "C" aimp::HResult VF_STDCALL AIMPPluginGetHeader(aimp::IAIMPPlugin** header) {
  return vf::GuardSlot("AIMPPluginGetHeader", aimp::kFail, [&] {
    if (header == nullptr) return aimp::kPointer;
    *header = nullptr;
    auto* created = new vf::TCurrentPlugin();
    created->AddRef();
    *header = created;
    return aimp::kOk;
  });
}
