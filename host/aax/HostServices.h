#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "aax-library/AAX_IACFHostServices.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

struct AssertReport {
  std::string file;
  int32_t line = 0;
  std::string note;
  int32_t flags = 0;
};

struct TraceLine {
  int32_t priority = 0;
  std::string text;
};

// Collects the module's assertion reports and trace lines. Any thread.
class HostServices : public AAX_IACFHostServices_V3 {
public:
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result Assert(const char* file, int32_t line, const char* note) override;
  AAX_Result Trace(int32_t priority, const char* message) override;
  AAX_Result StackTrace(int32_t tracePriority, int32_t stackTracePriority, const char* message) override;
  AAX_Result HandleAssertFailure(const char* file, int32_t line, const char* note, int32_t flags) override;

  // 1 to 3: the newest interface version this host offers.
  void SetVersion(int version) { mVersion = version; }
  int Version() const { return mVersion; }

  std::vector<AssertReport> Asserts() const;
  std::vector<TraceLine> Traces() const;
  void Clear();

private:
  RefCount mRefs;
  int mVersion = 3;
  mutable std::mutex mMutex;
  std::vector<AssertReport> mAsserts;
  std::vector<TraceLine> mTraces;
};

}  // namespace aaxhost
