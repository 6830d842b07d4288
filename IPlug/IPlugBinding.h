#pragma once

// The plug-in base of the host binding being built, under the one name a product derives
// from: `iplug::Plugin`. The product's sources are compiled once per binding, and each
// binding library defines its IPLUG_BINDING_... for every target that links it, so the
// product never names a binding and the class chain of each build is the binding's own
// (Tollenbrook -> IPlugAAX -> the framework bases in the AAX module).

// The CLAP binding (IPlug/CLAP) joins the same rule: one binding per product build.
#if defined(IPLUG_BINDING_CLAP) && (defined(IPLUG_BINDING_AAX) || defined(IPLUG_BINDING_LV2))
#error "a target links two plug-in bindings; a product is built once per binding"
#endif

#if defined(IPLUG_BINDING_AAX) && defined(IPLUG_BINDING_LV2)
#error "a target links two plug-in bindings; a product is built once per binding"
#elif defined(IPLUG_BINDING_AAX)
#include "IPlug/AAX/IPlugAAX.h"
namespace iplug {
using Plugin = IPlugAAX;
}
#elif defined(IPLUG_BINDING_LV2)
#include "IPlug/LV2/IPlugLV2.h"
namespace iplug {
using Plugin = IPlugLV2;
}
#elif defined(IPLUG_BINDING_CLAP)
#include "IPlug/CLAP/IPlugCLAP.h"
namespace iplug {
using Plugin = IPlugCLAP;
}
#else
#error "no plug-in binding: link the product against iplug_aax or iplug_lv2"
#endif
