#pragma once

#include "host/aimp_current_sdk.h"
#include "host/aimp_sdk.h"

// The module's two exports, one for each generation of the host's interface.
// The first-generation export. It hands the host a new plug-in object holding one reference, stores it
// into the host's variable and only then releases what the variable held before.
extern "C" VF_MODULE_EXPORT void VF_STDCALL AIMP_QueryVisual(aimp::IVisualPlugin** plugin);

// The current host's export: a new plug-in header holding one reference for the host, or
// E_POINTER without a variable to store it in.
extern "C" VF_MODULE_EXPORT aimp::HResult VF_STDCALL AIMPPluginGetHeader(aimp::IAIMPPlugin** header);
