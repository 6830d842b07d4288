#include "aax-library/AAX_Exception.h"

#include <utility>

#include "aax-library/AAX_Results.h"

namespace AAX::Exception {

Any::Any(std::string description, std::string function, std::string line)
    : mDescription(std::move(description)), mFunction(std::move(function)), mLine(std::move(line)) {
  mMessage = mDescription;
  if (!mFunction.empty()) mMessage += " func:" + mFunction;
  if (!mLine.empty()) mMessage += " line:" + mLine;
}

ResultError::ResultError(AAX_Result result, std::string function, std::string line)
    : Any(AAX::DescribeResult(result), std::move(function), std::move(line)), mResult(result) {}

}  // namespace AAX::Exception
