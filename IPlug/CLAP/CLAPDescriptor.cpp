#include "IPlug/CLAP/CLAPDescriptor.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "IPlug/CLAP/IPlugCLAP.h"

namespace iplug {
namespace {

std::string Slug(const char* text) {
  std::string slug;
  for (const char* c = text ? text : ""; *c; ++c) {
    const char ch = *c;
    if (ch >= 'A' && ch <= 'Z')
      slug += static_cast<char>(ch - 'A' + 'a');
    else if ((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
      slug += ch;
  }
  return slug;
}

}  // namespace

std::string CLAPDescriptor::MakeID(const char* mfrName, const char* pluginName) {
  return Slug(mfrName) + "." + Slug(pluginName);
}

CLAPDescriptor::CLAPDescriptor(const IPlugCLAP& plug, const char* productFeatures)
    : mID(MakeID(plug.GetMfrName(), plug.GetPluginName())), mName(plug.GetPluginName()), mVendor(plug.GetMfrName()) {
  const int32_t v = plug.VersionNumber();
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d.%d", (v >> 16) & 0xFFFF, (v >> 8) & 0xFF, v & 0xFF);
  mVersion = version;

  mFeatures.push_back(plug.IsInstrument() ? CLAP_PLUGIN_FEATURE_INSTRUMENT : CLAP_PLUGIN_FEATURE_AUDIO_EFFECT);
  for (std::string_view rest = productFeatures ? productFeatures : ""; !rest.empty();) {
    const size_t comma = rest.find(',');
    const std::string_view word = rest.substr(0, comma);
    if (!word.empty()) mFeatures.emplace_back(word);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  const InsertLayouts inserts = InsertLayouts::Of(plug.IOConfigs());
  for (const ChannelLayout* layout : inserts.mConfigs) {
    const int n = layout->TotalChannels(kOutput);
    const char* word = n == 1 ? CLAP_PLUGIN_FEATURE_MONO : n == 2 ? CLAP_PLUGIN_FEATURE_STEREO : nullptr;
    if (word && std::find(mFeatures.begin(), mFeatures.end(), word) == mFeatures.end()) mFeatures.emplace_back(word);
  }
  for (const std::string& feature : mFeatures) mFeaturePointers.push_back(feature.c_str());
  mFeaturePointers.push_back(nullptr);

  mDescriptor.clap_version = CLAP_VERSION_INIT;
  mDescriptor.id = mID.c_str();
  mDescriptor.name = mName.c_str();
  mDescriptor.vendor = mVendor.c_str();
  // The configuration names no web address; hosts take empty texts for none.
  mDescriptor.url = "";
  mDescriptor.manual_url = "";
  mDescriptor.support_url = "";
  mDescriptor.version = mVersion.c_str();
  mDescriptor.description = "";
  mDescriptor.features = mFeaturePointers.data();
}

}  // namespace iplug
