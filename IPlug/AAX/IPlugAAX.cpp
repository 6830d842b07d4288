#include "IPlug/AAX/IPlugAAX.h"

#include "IPlug/Trace.h"

namespace iplug {

IPlugAAX::IPlugAAX(const InstanceInfo& /*info*/, const PluginConfig& config)
    : IPlugAPIBase(config, kAPIAAX), IPlugProcessor(config) {
  TRACE_LOG("iplug::IPlugAAX::IPlugAAX", "%s:%s", config.mPluginName, config.mChannelIOStr);
  ConnectChannels(kInput, 0, NChannels(kInput), true);
  ConnectChannels(kOutput, 0, NChannels(kOutput), true);
  if (NChannels(kInput) > 0) CreateBypassDelayLine();
  ResizeScratchBuffers(kInitialBlockSize);
  mSideChainChannel = MaxChannelsForBus(kInput, 0);
  StartTimer();
}

// The timer stops before anything else goes: a tick must not reach a half-destroyed object.
IPlugAAX::~IPlugAAX() { StopTimer(); }

bool IPlugAAX::EmitMidi(const MidiMessage& /*msg*/) { return false; }

}  // namespace iplug
