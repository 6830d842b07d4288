#pragma once
#include "aax-library/AAX_IACFEffectParameters.h"

// The effect-parameters interface as the module implements it. Everything a host may call is
// in AAX_IACFEffectParameters; this layer is where module-only additions would go.
class AAX_IEffectParameters : public AAX_IACFEffectParameters {
protected:
  ~AAX_IEffectParameters() = default;
};
