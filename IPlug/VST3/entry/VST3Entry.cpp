// The bundle's exported functions: the factory and the module's entry and exit of each
// platform. The bundle's build states the class identifiers and the sub-categories
// (TB_VST3_COMPONENT_CID, TB_VST3_CONTROLLER_CID: four 32-bit words each;
// TB_VST3_SUBCATEGORIES).
#include "IPlug/VST3/IPlugVST3.h"
#include "IPlug/VST3/VST3Factory.h"

#if !defined(TB_VST3_COMPONENT_CID) || !defined(TB_VST3_CONTROLLER_CID) || !defined(TB_VST3_SUBCATEGORIES)
#error "the bundle's build defines the class identifiers and sub-categories"
#endif

#if defined(_WIN32)
#define TB_VST3_EXPORT extern "C" __declspec(dllexport)
#else
#define TB_VST3_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
const iplug::VST3BundleInfo kBundle{{{TB_VST3_COMPONENT_CID}, {TB_VST3_CONTROLLER_CID}, MakePlugInstance},
                                    TB_VST3_SUBCATEGORIES};
}  // namespace

// Any thread. The factory, with a reference the host releases.
TB_VST3_EXPORT void* GetPluginFactory() { return iplug::VST3Factory::Get(kBundle).Interface(); }

// The module's entry and exit: nothing to set up or tear down beyond what the factory makes
// on first use (the module stays loaded once loaded).
#if defined(_WIN32)
TB_VST3_EXPORT bool InitDll() { return true; }
TB_VST3_EXPORT bool ExitDll() { return true; }
#else
TB_VST3_EXPORT bool ModuleEntry(void* /*sharedLibraryHandle*/) { return true; }
TB_VST3_EXPORT bool ModuleExit() { return true; }
#endif
