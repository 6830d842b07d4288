#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_Types.h"

// One effect: its names, category, creation functions and processing components.
class AAX_IACFEffectDescriptor : public IACFUnknown {
public:
  // Host main thread, during registration.
  virtual AAX_Result AddComponent(IACFUnknown* componentDescriptor) = 0;
  virtual AAX_Result AddName(const char* name) = 0;
  virtual AAX_Result AddCategory(uint32_t category) = 0;
  virtual AAX_Result AddCategoryBypassParameter(uint32_t category, AAX_CParamID parameter) = 0;
  // procPtr is an AAX_CCreateObjectProc; procID an AAX_EProcPtrID.
  virtual AAX_Result AddProcPtr(void* procPtr, int32_t procID) = 0;
  virtual AAX_Result SetProperties(IACFUnknown* propertyMap) = 0;
  virtual AAX_Result AddResourceInfo(int32_t resourceType, const char* info) = 0;
  virtual AAX_Result AddMeterDescription(AAX_CTypeID meterID, const char* name,
                                         IACFUnknown* propertyMap) = 0;

protected:
  ~AAX_IACFEffectDescriptor() = default;
};
