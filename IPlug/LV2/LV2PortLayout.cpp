#include "IPlug/LV2/LV2PortLayout.h"

#include <string>

#include "IPlug/HostParams.h"
#include "IPlug/LV2/IPlugLV2.h"
#include "IPlug/LV2/LV2Catalogue.h"

namespace iplug {

namespace {

// "in_l", "In L" for channel 0 of a pair, "in", "In" for a single channel, "in_3", "In 3"
// beyond a pair.
void ChannelNames(const char* symbol, const char* name, int channel, int nChannels, std::string& sym,
                  std::string& label) {
  sym = symbol;
  label = name;
  if (nChannels == 1) return;
  if (nChannels == 2) {
    sym += channel == 0 ? "_l" : "_r";
    label += channel == 0 ? " L" : " R";
  } else {
    sym += "_" + std::to_string(channel + 1);
    label += " " + std::to_string(channel + 1);
  }
}

}  // namespace

void LV2PortLayout::Add(LV2PortRole role, int idx, std::string symbol, std::string name) {
  // A symbol is a C identifier, unique within the plug-in: one that is empty, starts with a
  // digit or is taken already gets the port's number.
  bool usable = !symbol.empty() && !(symbol[0] >= '0' && symbol[0] <= '9');
  for (const LV2PortEntry& port : mPorts) usable = usable && port.mSymbol != symbol;
  if (!usable) symbol = (symbol.empty() ? std::string("port") : "p_" + symbol) + "_" + std::to_string(mPorts.size());
  mPorts.push_back(LV2PortEntry{role, idx, std::move(symbol), std::move(name)});
}

LV2PortLayout::LV2PortLayout(const IPlugLV2& plug, const LV2Component& component) {
  std::string sym, label;
  for (int c = 0; c < component.mNInputs; ++c) {
    ChannelNames("in", "In", c, component.mNInputs, sym, label);
    Add(LV2PortRole::kAudioIn, c, sym, label);
  }
  if (component.mSideChain) Add(LV2PortRole::kSideChainIn, 0, "sidechain", "Side Chain");
  for (int c = 0; c < component.mNOutputs; ++c) {
    ChannelNames("out", "Out", c, component.mNOutputs, sym, label);
    Add(LV2PortRole::kAudioOut, c, sym, label);
  }
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam& param = *plug.GetParam(i);
    if (!HostParams::IsVisible(param)) continue;  // meter channels have no host parameter
    Add(LV2PortRole::kParam, i, LV2Catalogue::Slug(param.GetName(), '_'), param.GetName());
  }
  Add(LV2PortRole::kEnabled, 0, "enabled", "Enabled");
  Add(LV2PortRole::kLatency, 0, "latency", "Latency");
  for (int m = 0; m < plug.NMeters(); ++m) {
    const char* name = plug.GetMeterInfo(m).mName;
    Add(LV2PortRole::kMeter, m, LV2Catalogue::Slug(name, '_'), name);
  }
  // Last, so that the ports before keep their numbers with or without an editor.
  if (plug.HasUI()) Add(LV2PortRole::kEditorZoom, 0, "editor_zoom", "Editor Zoom");
}

int LV2PortLayout::IndexOf(LV2PortRole role, int idx) const {
  for (size_t p = 0; p < mPorts.size(); ++p)
    if (mPorts[p].mRole == role && mPorts[p].mIdx == idx) return static_cast<int>(p);
  return -1;
}

}  // namespace iplug
