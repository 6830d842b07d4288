#pragma once
#include <string>
#include <vector>

#include "aax-library/AAX_Types.h"

namespace aaxhost {

// Where recording objects report their calls; answers with the result the call is to give
// (0 unless a test asked for a failure).
class Recorder {
public:
  virtual AAX_Result Record(const std::string& object, const std::string& name, std::vector<std::string> args) = 0;

protected:
  ~Recorder() = default;
};

}  // namespace aaxhost
