#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// The host's record of everything a module registers: effects, package names, manufacturer
// and version. Asked for IID_IACFPluginDefinition once the description is complete.
class AAX_IACFCollection : public IACFUnknown {
public:
  // Host main thread, during registration. effectDescriptor is the host's own object that the
  // module obtained from the component factory.
  virtual AAX_Result AddEffect(const char* effectID, IACFUnknown* effectDescriptor) = 0;
  virtual AAX_Result SetManufacturerName(const char* name) = 0;
  virtual AAX_Result AddPackageName(const char* name) = 0;
  virtual AAX_Result SetPackageVersion(uint32_t version) = 0;
  virtual AAX_Result SetProperties(IACFUnknown* propertyMap) = 0;

protected:
  ~AAX_IACFCollection() = default;
};
