#pragma once
#include "aax-library/ACFModel.h"
#include "aax-library/AAX_IEffectDescriptor.h"
#include "aax-library/AAX_IPropertyMap.h"
#include "aax-library/AAX_Types.h"

class AAX_IACFDescriptionHost;

// What a module's GetEffectDescriptions fills in; see AAX_IACFCollection.
class AAX_ICollection {
public:
  virtual ~AAX_ICollection() = default;
  // A new effect descriptor owned by the collection, or null when the host makes none.
  virtual AAX_IEffectDescriptor* NewDescriptor() = 0;
  virtual AAX_Result AddEffect(const char* effectID, AAX_IEffectDescriptor* effectDescriptor) = 0;
  virtual AAX_Result SetManufacturerName(const char* name) = 0;
  virtual AAX_Result AddPackageName(const char* name) = 0;
  virtual AAX_Result SetPackageVersion(uint32_t version) = 0;
  virtual AAX_IPropertyMap* NewPropertyMap() = 0;
  virtual AAX_Result SetProperties(AAX_IPropertyMap* properties) = 0;
  // The host's description-host interface, or null when it offers none.
  virtual AAX_IACFDescriptionHost* DescriptionHost() const = 0;
};

// Supplied by the plug-in: describes its effects to the host. Returns an AAX result.
AAX_Result GetEffectDescriptions(AAX_ICollection* collection);
