#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace iplug {

class IPlugLV2;
struct LV2Component;

// What a port of an LV2 plug-in carries.
enum class LV2PortRole {
  kAudioIn,     // main input channel mIdx
  kSideChainIn, // the key
  kAudioOut,    // output channel mIdx
  kParam,       // input control of parameter mIdx
  kEnabled,     // the host's bypass (lv2:enabled)
  kLatency,     // output control: the latency in samples
  kMeter,       // output control: meter mIdx of the processor
  kEditorZoom,  // input control: the editor's zoom, which its user interface writes
};

struct LV2PortEntry {
  LV2PortRole mRole;
  int mIdx = 0;
  std::string mSymbol;
  std::string mName;
};

// The ports of one plug-in of the bundle, in index order: audio inputs, the side chain,
// audio outputs, one control per host-visible parameter (every parameter of a known kind,
// in parameter order), the enable switch, the latency, the meters and, for a plug-in with
// an editor, the editor's zoom. The Turtle description and the running instance both take
// their port numbers from here.
class LV2PortLayout {
public:
  // Main thread, once the plug-in has declared its parameters.
  LV2PortLayout(const IPlugLV2& plug, const LV2Component& component);

  const std::vector<LV2PortEntry>& Ports() const { return mPorts; }
  int NPorts() const { return static_cast<int>(mPorts.size()); }
  // Null for a port number the plug-in does not have.
  const LV2PortEntry* Port(uint32_t index) const {
    return index < mPorts.size() ? &mPorts[index] : nullptr;
  }
  // The port number of a role and index, or -1 when the plug-in has no such port.
  int IndexOf(LV2PortRole role, int idx = 0) const;

private:
  void Add(LV2PortRole role, int idx, std::string symbol, std::string name);

  std::vector<LV2PortEntry> mPorts;
};

}  // namespace iplug
