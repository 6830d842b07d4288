#pragma once
#include <cstdint>
#include <span>

namespace iplug {

// What a product tells an AAX host about itself before any instance exists: names, identity,
// version, category, the channel configurations and the type identifiers of the components
// the configurations turn into. Compile-time constants of the product; the binding's
// description reads them and nothing else.
struct AAXPluginDescription {
  const char* mEffectName = "";       // one or more names separated by "\n"
  const char* mBundleID = "";         // the effect identifier a host stores in its sessions
  const char* mMfrName = "";
  uint32_t mPackageVersion = 0;       // major << 16 | minor << 8 | patch
  uint32_t mCategory = 0;             // AAX category bits
  const char* mChannelIOStr = "";     // as in PluginConfig
  uint32_t mMfrID = 0;                // four-character codes
  uint32_t mProductID = 0;
  // One native and one AudioSuite type identifier per described component, in component order.
  std::span<const uint32_t> mNativeTypeIDs;
  std::span<const uint32_t> mAudioSuiteTypeIDs;
  const char* mMidiNodeName = "";     // name of the MIDI nodes a component may register
};

}  // namespace iplug

// The product's description, defined by the product next to MakePlugInstance.
// Any thread; a reference to a constant that lives as long as the module.
const iplug::AAXPluginDescription& GetAAXPluginDescription();
