#pragma once
#include <string>
#include <vector>

#include "IPlug/CLAP/CLAPExtensions.h"

namespace iplug {

class IPlugCLAP;

// The factory's description of the plug-in, read from a plug-in object: id, name, vendor and
// version from its configuration, the features from its kind and its insert layouts ("mono",
// "stereo") plus the product's own words (its category, given by the build). The strings
// live as long as the object; the descriptor points into them.
class CLAPDescriptor {
public:
  // Main thread. productFeatures: comma-separated, e.g. "compressor,limiter".
  CLAPDescriptor(const IPlugCLAP& plug, const char* productFeatures);
  CLAPDescriptor(const CLAPDescriptor&) = delete;
  CLAPDescriptor& operator=(const CLAPDescriptor&) = delete;

  const clap_plugin_descriptor_t& Descriptor() const { return mDescriptor; }

  // "vantorell.tollenbrook": the manufacturer's and the plug-in's names, lower case, letters
  // and digits only, joined by a dot.
  static std::string MakeID(const char* mfrName, const char* pluginName);

private:
  std::string mID;
  std::string mName;
  std::string mVendor;
  std::string mVersion;
  std::vector<std::string> mFeatures;
  std::vector<const char*> mFeaturePointers;  // null-terminated
  clap_plugin_descriptor_t mDescriptor{};
};

}  // namespace iplug
