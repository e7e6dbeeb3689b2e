#pragma once

#include "host/aimp_sdk.h"

// The module's one export. It hands the host a new plug-in object holding one reference, stores it
// into the host's variable and only then releases what the variable held before.
extern "C" VF_MODULE_EXPORT void VF_STDCALL AIMP_QueryVisual(aimp::IVisualPlugin** plugin);
