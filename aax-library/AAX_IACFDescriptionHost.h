#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// Lets a description ask what the host supports before it registers anything.
class AAX_IACFDescriptionHost : public IACFUnknown {
public:
  // Host main thread, during registration. *outProperties receives a property map
  // (IID_IAAXPropertyMapV1) that describes the feature, or null when the host does not know it.
  virtual AAX_Result AcquireFeatureProperties(const acfIID& feature, IACFUnknown** outProperties) = 0;

protected:
  ~AAX_IACFDescriptionHost() = default;
};

// Host version information offered next to the description host.
class AAX_IACFFeatureInfo : public IACFUnknown {
public:
  virtual AAX_Result GetHostVersion(uint32_t* outVersion) = 0;

protected:
  ~AAX_IACFFeatureInfo() = default;
};
