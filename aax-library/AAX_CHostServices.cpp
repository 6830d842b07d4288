#include "aax-library/AAX_CHostServices.h"

#include <atomic>
#include <cstdio>

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_VHostServices.h"

namespace {
std::atomic<AAX_VHostServices*> gHostServices{nullptr};
}

void AAX_CHostServices::Set(IACFUnknown* hostObject) {
  AAX_VHostServices* current = gHostServices.load(std::memory_order_acquire);
  if (!current && hostObject) {
    gHostServices.store(new AAX_VHostServices(hostObject), std::memory_order_release);
  } else if (current && !hostObject) {
    Clear();
  }
}

void AAX_CHostServices::Clear() {
  delete gHostServices.exchange(nullptr, std::memory_order_acq_rel);
}

bool AAX_CHostServices::IsSet() { return gHostServices.load(std::memory_order_acquire) != nullptr; }

AAX_Result AAX_CHostServices::HandleAssertFailure(const char* file, int32_t line, const char* note,
                                                  int32_t flags) {
  const AAX_VHostServices* services = gHostServices.load(std::memory_order_acquire);
  if (!services) return AAX_SUCCESS;
  return services->HandleAssertFailure(file ? file : "", line, note ? note : "", flags);
}

AAX_Result AAX_CHostServices::Trace(int32_t priority, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const AAX_Result result = VTrace(priority, format, args);
  va_end(args);
  return result;
}

AAX_Result AAX_CHostServices::VTrace(int32_t priority, const char* format, va_list args) {
  const AAX_VHostServices* services = gHostServices.load(std::memory_order_acquire);
  if (!services) return AAX_SUCCESS;
  if (!format) return AAX_ERROR_TRACE_FORMAT_FAILED;
  char text[kMaxTraceLength];
  if (std::vsnprintf(text, sizeof text, format, args) < 0) return AAX_ERROR_TRACE_FORMAT_FAILED;
  return services->Trace(priority, text);
}
