#pragma once
#include <string>

#include "aax-library/AAX_Types.h"

// Exceptions used inside the library. They never leave an exported entry point.
namespace AAX::Exception {

class Any {
public:
  explicit Any(std::string description, std::string function = {}, std::string line = {});
  virtual ~Any() = default;

  const std::string& Description() const { return mDescription; }
  const std::string& Function() const { return mFunction; }
  const std::string& Line() const { return mLine; }
  // Description, then " func:" and the function when given, then " line:" and the line when given.
  const std::string& What() const { return mMessage; }

private:
  std::string mDescription;
  std::string mFunction;
  std::string mLine;
  std::string mMessage;
};

// A failed result code. Its description is the code's name, " (", the decimal code and ")".
class ResultError : public Any {
public:
  explicit ResultError(AAX_Result result, std::string function = {}, std::string line = {});
  AAX_Result Result() const { return mResult; }

private:
  AAX_Result mResult;
};

}  // namespace AAX::Exception
