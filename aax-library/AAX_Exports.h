#pragma once
// The seven entry points a host resolves in the module. They are defined by the library
// (AAX_Exports.cpp) and exported from the module shared library, which must be built with
// tb_aax_module() (cmake/AAXModule.cmake): that keeps them, and the module's load routine, in
// the link although nothing in the module calls them, and exports nothing else.
#include "aax-library/AAX_Errors.h"
#include "aax-library/ACFModel.h"

#if defined(_WIN32)
#define AAX_EXPORT extern "C" __declspec(dllexport)
#else
#define AAX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Host main thread, in this order: start-up, registration, any number of instances, shut-down.
// No exception leaves any of them; an unexpected one gives ACF_E_UNEXPECTED (0x8000FFFF).
AAX_EXPORT ACFRESULT ACFStartup(IACFUnknown* hostObject);
AAX_EXPORT ACFRESULT ACFShutdown(IACFUnknown* hostObject);
AAX_EXPORT ACFRESULT ACFGetSDKVersion(acfUInt64* outVersion);
AAX_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* hostObject, IACFPluginDefinition** outDefinition);
AAX_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* hostObject, acfUInt32 index,
                                          IACFUnknown** outComponent);
AAX_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* hostObject, const acfCLSID& classID,
                                        const acfIID& interfaceID, void** outFactory);
// Any thread. The number of live objects of the module; 0 means it may be unloaded.
AAX_EXPORT ACFRESULT ACFCanUnloadNow(IACFUnknown* hostObject);

// Function types a host resolves these by.
using ACFStartupProc = ACFRESULT (*)(IACFUnknown*);
using ACFShutdownProc = ACFRESULT (*)(IACFUnknown*);
using ACFGetSDKVersionProc = ACFRESULT (*)(acfUInt64*);
using ACFRegisterPluginProc = ACFRESULT (*)(IACFUnknown*, IACFPluginDefinition**);
using ACFRegisterComponentProc = ACFRESULT (*)(IACFUnknown*, acfUInt32, IACFUnknown**);
using ACFGetClassFactoryProc = ACFRESULT (*)(IACFUnknown*, const acfCLSID&, const acfIID&, void**);
using ACFCanUnloadNowProc = ACFRESULT (*)(IACFUnknown*);

constexpr acfUInt64 kAAX_SDKVersion = 0x00000204013449EAull;

// The library's registration (ACFRegisterPlugin without the outer exception barrier).
ACFRESULT AAXRegisterPlugin(IACFUnknown* hostObject, IACFPluginDefinition** outDefinition);
