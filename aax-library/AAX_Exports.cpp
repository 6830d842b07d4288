#include "aax-library/AAX_Exports.h"

#include <exception>

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_CheckedResult.h"
#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_ModuleHandle.h"
#include "aax-library/AAX_UIDs.h"
#include "aax-library/AAX_VCollection.h"
#include "aax-library/CACFUnknown.h"

#if defined(_WIN32)
#include <windows.h>

// Windows calls this on load, unload and thread events alike; each stores the handle.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD /*reason*/, LPVOID /*reserved*/) {
  AAX_SetModuleHandle(module);
  return TRUE;
}
#else
#include <dlfcn.h>

// The Linux counterpart of the load routine: the module's base address, found from an
// address inside it.
__attribute__((constructor)) static void AAX_StoreModuleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&AAX_StoreModuleHandle), &info) != 0) {
    AAX_SetModuleHandle(info.dli_fbase);
  }
}
#endif

namespace {
constexpr int32_t kRegistrationTracePriority = AAX_eTracePriorityHost_High;

// Runs one entry point's body; nothing escapes.
template <typename Body>
ACFRESULT Guarded(Body&& body) {
  try {
    return body();
  } catch (...) {
    return ACF_E_UNEXPECTED;
  }
}
}  // namespace

ACFRESULT AAXRegisterPlugin(IACFUnknown* hostObject, IACFPluginDefinition** outDefinition) {
  try {
    AAX_CheckedResult result;
    AAX_VCollection collection(hostObject);
    result = GetEffectDescriptions(&collection);

    void* definition = nullptr;
    IACFUnknown* hostCollection = collection.GetIUnknown();
    if (!hostCollection || hostCollection->QueryInterface(IID_IACFPluginDefinition, &definition) != ACF_OK ||
        !definition) {
      result = AAX_ERROR_NULL_OBJECT;
    }
    if (outDefinition) {
      *outDefinition = static_cast<IACFPluginDefinition*>(definition);
    } else {
      static_cast<IACFPluginDefinition*>(definition)->Release();
    }
    return AAX_SUCCESS;
  } catch (const AAX::Exception::ResultError& e) {
    AAX_CHostServices::Trace(kRegistrationTracePriority, "AAXRegisterPlugin exception caught: %s", e.What().c_str());
    return e.Result();
  } catch (const AAX::Exception::Any& e) {
    AAX_CHostServices::Trace(kRegistrationTracePriority, "AAXRegisterPlugin exception caught: %s", e.What().c_str());
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  } catch (const std::exception& e) {
    AAX_CHostServices::Trace(kRegistrationTracePriority, "AAXRegisterPlugin exception caught: %s", e.what());
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  } catch (...) {
    AAX_CHostServices::Trace(kRegistrationTracePriority, "AAXRegisterPlugin exception caught: unknown");
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

AAX_EXPORT ACFRESULT ACFStartup(IACFUnknown* hostObject) {
  return Guarded([&] {
    AAX_CHostServices::Set(hostObject);
    return ACF_OK;
  });
}

AAX_EXPORT ACFRESULT ACFShutdown(IACFUnknown* /*hostObject*/) {
  return Guarded([] {
    AAX_CHostServices::Clear();
    return ACF_OK;
  });
}

// A null output pointer is refused with AAX_ERROR_NULL_ARGUMENT in the entry points that
// write one: the host would otherwise crash the module on a bad call.
AAX_EXPORT ACFRESULT ACFGetSDKVersion(acfUInt64* outVersion) {
  return Guarded([&]() -> ACFRESULT {
    if (!outVersion) return AAX_ERROR_NULL_ARGUMENT;
    *outVersion = kAAX_SDKVersion;
    return ACF_OK;
  });
}

AAX_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* hostObject, IACFPluginDefinition** outDefinition) {
  return Guarded([&]() -> ACFRESULT {
    if (!outDefinition) return AAX_ERROR_NULL_ARGUMENT;
    *outDefinition = nullptr;
    return AAXRegisterPlugin(hostObject, outDefinition);
  });
}

AAX_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* /*hostObject*/, acfUInt32 /*index*/,
                                          IACFUnknown** outComponent) {
  return Guarded([&]() -> ACFRESULT {
    if (!outComponent) return AAX_ERROR_NULL_ARGUMENT;
    *outComponent = nullptr;
    return ACF_OK;
  });
}

AAX_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* /*hostObject*/, const acfCLSID& /*classID*/,
                                        const acfIID& /*interfaceID*/, void** outFactory) {
  return Guarded([&]() -> ACFRESULT {
    if (!outFactory) return AAX_ERROR_NULL_ARGUMENT;
    *outFactory = nullptr;
    return AAX_ERROR_UNIMPLEMENTED;
  });
}

AAX_EXPORT ACFRESULT ACFCanUnloadNow(IACFUnknown* /*hostObject*/) {
  return Guarded([] { return static_cast<ACFRESULT>(CACFUnknown::GetActiveObjectCount()); });
}
