#include "aax-library/AAX_CheckedResult.h"

#include <string>

#include "aax-library/AAX_CHostServices.h"
#include "aax-library/AAX_Exception.h"
#include "aax-library/AAX_Results.h"

void AAX_CheckedResult::Check(AAX_Result result) {
  if (IsAccepted(result)) {
    mResult = result;
    return;
  }
  mLastError = result;
  mResult = AAX_SUCCESS;
  const std::string description = AAX::DescribeResult(result);
  AAX_CHostServices::Trace(AAX_eTracePriorityHost_Normal, "AAX_CheckedResult - throwing %s",
                           description.c_str());
  throw AAX::Exception::ResultError(result);
}
