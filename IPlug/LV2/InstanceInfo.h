#pragma once
#include <lv2/core/lv2.h>

namespace iplug {

// What the LV2 entry knows when a host instantiates a plug-in: the host's sample rate and
// the features it offers (the URID map and the options with the block-length bounds are
// the ones read). The features are the host's and are read only during construction.
struct InstanceInfo {
  double mSampleRate = 48000.0;
  const LV2_Feature* const* mFeatures = nullptr;
};

}  // namespace iplug
