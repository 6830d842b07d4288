#include "host/aax/HostServices.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"

namespace aaxhost {

ACFRESULT HostServices::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  const bool offered = iid == IID_IACFUnknown || iid == IID_IAAXHostServicesV1 ||
                       (iid == IID_IAAXHostServicesV2 && mVersion >= 2) ||
                       (iid == IID_IAAXHostServicesV3 && mVersion >= 3);
  if (!offered) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFHostServices_V3*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result HostServices::Assert(const char* file, int32_t line, const char* note) {
  std::lock_guard lock(mMutex);
  mAsserts.push_back({Text(file), line, Text(note), 0});
  return AAX_SUCCESS;
}

AAX_Result HostServices::HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) {
  std::lock_guard lock(mMutex);
  mAsserts.push_back({Text(file), line, Text(note), flags});
  return AAX_SUCCESS;
}

AAX_Result HostServices::Trace(int32_t priority, const char* message) {
  std::lock_guard lock(mMutex);
  mTraces.push_back({priority, Text(message)});
  return AAX_SUCCESS;
}

AAX_Result HostServices::StackTrace(int32_t tracePriority, int32_t /*stackTracePriority*/, const char* message) {
  return Trace(tracePriority, message);
}

std::vector<AssertReport> HostServices::Asserts() const {
  std::lock_guard lock(mMutex);
  return mAsserts;
}

std::vector<TraceLine> HostServices::Traces() const {
  std::lock_guard lock(mMutex);
  return mTraces;
}

void HostServices::Clear() {
  std::lock_guard lock(mMutex);
  mAsserts.clear();
  mTraces.clear();
}

}  // namespace aaxhost
