#include "aax-library/AAX_VHostServices.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"

namespace {
template <typename T>
T* CreateVersion(IACFComponentFactory* factory, const acfIID& iid) {
  void* out = nullptr;
  if (factory->CreateComponent(nullptr, AAXCompID_HostServices, iid, &out) != ACF_OK) return nullptr;
  return static_cast<T*>(out);
}

template <typename T>
void ReleaseAndClear(T*& p) {
  if (p) p->Release();
  p = nullptr;
}
}  // namespace

AAX_VHostServices::AAX_VHostServices(IACFUnknown* hostObject) {
  if (!hostObject) return;
  void* factoryOut = nullptr;
  if (hostObject->QueryInterface(IID_IACFComponentFactory, &factoryOut) != ACF_OK || !factoryOut) return;
  auto* factory = static_cast<IACFComponentFactory*>(factoryOut);
  mV1 = CreateVersion<AAX_IACFHostServices>(factory, IID_IAAXHostServicesV1);
  mV2 = CreateVersion<AAX_IACFHostServices_V2>(factory, IID_IAAXHostServicesV2);
  mV3 = CreateVersion<AAX_IACFHostServices_V3>(factory, IID_IAAXHostServicesV3);
  factory->Release();
}

AAX_VHostServices::~AAX_VHostServices() {
  ReleaseAndClear(mV3);
  ReleaseAndClear(mV2);
  ReleaseAndClear(mV1);
}

AAX_Result AAX_VHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note,
                                                  int32_t flags) const {
  if (mV3) return mV3->HandleAssertFailure(file, line, note, flags);
  if (mV1) return mV1->Assert(file, line, note);
  return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VHostServices::Trace(int32_t priority, const char* message) const {
  if (mV1) return mV1->Trace(priority, message);
  return AAX_ERROR_NULL_OBJECT;
}

AAX_Result AAX_VHostServices::StackTrace(int32_t tracePriority, int32_t stackTracePriority,
                                         const char* message) const {
  if (mV2) return mV2->StackTrace(tracePriority, stackTracePriority, message);
  return AAX_ERROR_NULL_OBJECT;
}
