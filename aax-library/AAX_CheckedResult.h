#pragma once
#include "aax-library/AAX_Errors.h"

// Turns failed host calls into exceptions: assigning a code outside the accepted set (only
// AAX_SUCCESS) traces "AAX_CheckedResult - throwing <description>", resets the guard to 0 and
// throws AAX::Exception::ResultError. The guard remembers the last failing code.
class AAX_CheckedResult {
public:
  AAX_CheckedResult() = default;
  AAX_CheckedResult(AAX_Result result) { Check(result); }  // NOLINT: used as `guard = call()`
  AAX_CheckedResult& operator=(AAX_Result result) {
    Check(result);
    return *this;
  }

  static bool IsAccepted(AAX_Result result) { return result == AAX_SUCCESS; }
  AAX_Result Current() const { return mResult; }
  AAX_Result LastError() const { return mLastError; }
  void Clear() { mResult = AAX_SUCCESS; }

private:
  void Check(AAX_Result result);

  AAX_Result mResult = AAX_SUCCESS;
  AAX_Result mLastError = AAX_SUCCESS;
};
