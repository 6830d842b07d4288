#pragma once
#include <functional>

#include "aax-library/AAX_ICollection.h"
#include "host/aax/Host.h"

namespace aaxtest {

// The test program's GetEffectDescriptions runs this; tests replace it for their case.
extern std::function<AAX_Result(AAX_ICollection*)> gDescribe;

// Restores the default description when a test ends.
struct DescriptionScope {
  explicit DescriptionScope(std::function<AAX_Result(AAX_ICollection*)> describe) { gDescribe = std::move(describe); }
  ~DescriptionScope();
};

// A small complete description: one effect with one component and both creation functions.
AAX_Result DescribeSmallEffect(AAX_ICollection* collection);

// Starts the library's host services on a recording host for the lifetime of the scope.
class HostServicesScope {
public:
  explicit HostServicesScope(aaxhost::Host& host);
  ~HostServicesScope();
};

}  // namespace aaxtest
