#include "IPlug/LV2/LV2Catalogue.h"

#include <cctype>

#include "IPlug/InsertLayouts.h"
#include "IPlug/LV2/IPlugLV2.h"

namespace iplug {

namespace {

// "mono" and "Mono" for one channel in and out, "stereo" for two, "3in2out" otherwise.
void NameComponent(const std::string& baseURI, const std::string& pluginName, LV2Component& c) {
  std::string suffix, title;
  if (c.mNInputs == c.mNOutputs && c.mNInputs == 1) {
    suffix = "mono";
    title = "Mono";
  } else if (c.mNInputs == c.mNOutputs && c.mNInputs == 2) {
    suffix = "stereo";
    title = "Stereo";
  } else {
    suffix = std::to_string(c.mNInputs) + "in" + std::to_string(c.mNOutputs) + "out";
    title = std::to_string(c.mNInputs) + " In " + std::to_string(c.mNOutputs) + " Out";
  }
  c.mURI = baseURI + ":" + suffix;
  c.mName = pluginName + " (" + title + ")";
}

}  // namespace

std::string LV2Catalogue::Slug(const char* text, char separator) {
  std::string out;
  bool pendingSeparator = false;
  for (const char* c = text ? text : ""; *c; ++c) {
    const auto ch = static_cast<unsigned char>(*c);
    if (std::isalnum(ch) && ch < 0x80) {
      if (pendingSeparator && !out.empty()) out.push_back(separator);
      pendingSeparator = false;
      out.push_back(static_cast<char>(std::tolower(ch)));
    } else {
      pendingSeparator = true;
    }
  }
  return out;
}

LV2Catalogue::LV2Catalogue(const IPlugLV2& plug)
    : mBaseURI("urn:" + Slug(plug.GetMfrName(), '-') + ":" + Slug(plug.GetPluginName(), '-')),
      mStateKeyURI(mBaseURI + ":state"),
      mMaintainer(plug.GetMfrName()),
      mVersion(plug.VersionNumber()),
      mBinaryName(std::string(plug.GetPluginName()) + ".so"),
      mTurtleName(std::string(plug.GetPluginName()) + ".ttl") {
  if (plug.HasUI()) {
    mUIURI = mBaseURI + ":ui";
    mUIBinaryName = std::string(plug.GetPluginName()) + "UI.so";
  }
  const InsertLayouts inserts = InsertLayouts::Of(plug.IOConfigs());
  for (const ChannelLayout* layout : inserts.mConfigs) {
    const ChannelLayout& config = *layout;
    // A plug-in's ports are one list of channels each way: aux buses and wildcards have no port.
    if (config.NBuses(kInput) != 1 || config.NBuses(kOutput) != 1) continue;
    if (config.ContainsWildcard(kInput) || config.ContainsWildcard(kOutput)) continue;
    LV2Component c;
    c.mNInputs = config.TotalChannels(kInput);
    c.mNOutputs = config.TotalChannels(kOutput);
    c.mSideChain = inserts.mSideChain;
    NameComponent(mBaseURI, plug.GetPluginName(), c);
    bool known = false;
    for (const LV2Component& other : mComponents) known = known || other.mURI == c.mURI;
    if (!known) mComponents.push_back(std::move(c));
  }
}

const LV2Component* LV2Catalogue::Find(const char* uri) const {
  for (const LV2Component& c : mComponents)
    if (uri && c.mURI == uri) return &c;
  return nullptr;
}

}  // namespace iplug
