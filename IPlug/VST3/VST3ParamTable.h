#pragma once
#include <cstdint>
#include <vector>

#include "IPlug/HostParams.h"
#include "IPlug/VST3/VST3Interfaces.h"

namespace iplug {

class IPlugVST3;

// The parameters a VST3 host sees, in the order it lists them: every parameter the framework
// shows hosts (HostParams decides which, under which identifier and shape), then the host's
// bypass switch, then one read-only parameter per meter of the processor, which the audio
// side writes to the host's output parameter changes after every block.
//
// Identifiers: a framework parameter keeps its host identifier (HostParams::HostID); the
// bypass takes 0, which the framework keeps free for a host's own switch; meter m takes
// kMeterIDBase + m, far above any parameter's identifier, below the range VST3 reserves for
// hosts (the top bit).
//
// Values: hosts speak normalised values; the bypass is 1 when bypassed; a meter's 0..1
// spans the range the processor gives for it (MeterInfo).
class VST3ParamTable {
public:
  static constexpr v3_param_id kBypassID = 0;
  static constexpr v3_param_id kMeterIDBase = 0x40000000;

  enum class Kind { kParam, kBypass, kMeter };
  struct Entry {
    Kind mKind;
    int mIdx;  // parameter or meter index; 0 for the bypass
    v3_param_id mID;
  };

  // Main thread; reads the plug-in's parameter table, which does not change afterwards.
  explicit VST3ParamTable(const IPlugVST3& plug);

  int Count() const { return static_cast<int>(mEntries.size()); }
  const Entry* At(int listIdx) const;
  // Any thread. The entry of an identifier; null for one the plug-in does not have.
  const Entry* Find(v3_param_id id) const;

  // Any thread. What a host shows for the entry; false for an index outside the list.
  bool Info(int listIdx, v3_param_info& info) const;
  // Any thread. The display text of a normalised value (the framework's own texts), and the
  // normalised value of a text; false for an unknown identifier or a text that names no value.
  bool ValueText(v3_param_id id, double normalized, TextBuffer& out) const;
  bool TextValue(v3_param_id id, const char* text, double& normalized) const;
  // Any thread. Plain values: a parameter's own, the bypass 0 or 1, a meter's decibels.
  double ToPlain(v3_param_id id, double normalized) const;
  double ToNormalized(v3_param_id id, double plain) const;
  // A meter's normalised value for a reading in decibels.
  double MeterNormalized(int meterIdx, double db) const;

private:
  const IPlugVST3& mPlug;
  std::vector<Entry> mEntries;
};

}  // namespace iplug
