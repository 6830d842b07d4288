#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_IACFHostServices.h"
#include "aax-library/AAX_Types.h"

// Forwards assertion reports and traces to the host's host-services interfaces, obtained
// through the host object's component factory. Any of the three versions may be missing.
class AAX_VHostServices {
public:
  explicit AAX_VHostServices(IACFUnknown* hostObject);
  ~AAX_VHostServices();
  AAX_VHostServices(const AAX_VHostServices&) = delete;
  AAX_VHostServices& operator=(const AAX_VHostServices&) = delete;

  // Any thread. The newest interface that takes flags is preferred; a host with only the
  // first version still receives the report (without flags). AAX_ERROR_NULL_OBJECT when
  // the host offers neither.
  AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) const;
  // Any thread. AAX_ERROR_NULL_OBJECT when the host offers no host services.
  AAX_Result Trace(int32_t priority, const char* message) const;
  AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) const;

  bool HasHostServices() const { return mV1 != nullptr; }

private:
  AAX_IACFHostServices* mV1 = nullptr;
  AAX_IACFHostServices_V2* mV2 = nullptr;
  AAX_IACFHostServices_V3* mV3 = nullptr;
};
