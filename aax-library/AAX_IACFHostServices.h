#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// The host's diagnostics channel: assertion reports and trace lines. Three versions exist;
// each extends the one before, and a host may offer any of them.
class AAX_IACFHostServices : public IACFUnknown {
public:
  // Any thread.
  virtual AAX_Result Assert(const char* file, int32_t line, const char* note) = 0;
  virtual AAX_Result Trace(int32_t priority, const char* message) = 0;

protected:
  ~AAX_IACFHostServices() = default;
};

class AAX_IACFHostServices_V2 : public AAX_IACFHostServices {
public:
  // Any thread. A trace with the caller's stack at the second priority.
  virtual AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority,
                                const char* message) = 0;

protected:
  ~AAX_IACFHostServices_V2() = default;
};

class AAX_IACFHostServices_V3 : public AAX_IACFHostServices_V2 {
public:
  // Any thread. flags: AAX_EAssertFlags.
  virtual AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note,
                                         int32_t flags) = 0;

protected:
  ~AAX_IACFHostServices_V3() = default;
};
