#pragma once
#include "IPlug/AAX/AAXComponentSetup.h"
#include "aax-library/AAX_IEffectDescriptor.h"

namespace iplug {

// Host main thread, during registration. Registers one processing component on the effect
// descriptor: its context fields, nodes and placeholders, the property map with the
// identifiers, and the render callback. A failed descriptor call throws
// AAX::Exception::ResultError (the registration entry point catches it); otherwise returns
// the result of adding the component.
AAX_Result DescribeComponent(AAX_IEffectDescriptor& effectDescriptor, const AAXComponentSetup& setupInfo);

}  // namespace iplug
