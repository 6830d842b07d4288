#pragma once
#include "IPlug/AAX/InstanceInfo.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/PluginConfig.h"

namespace iplug {

// The AAX binding of the framework: the host-API object and the audio processor in one.
// This is its skeleton: construction in the order the binding needs, with every channel
// connected, the bypass delay line, 512-frame scratch buffers, the side-chain channel and
// the service timer. The AAX effect-parameters base joins as a third base, and the
// parameter export, render path, state chunks and editor binding are added to this class.
class IPlugAAX : public IPlugAPIBase, public IPlugProcessor {
public:
  static constexpr int kInitialBlockSize = 512;

  // Host main thread.
  IPlugAAX(const InstanceInfo& info, const PluginConfig& config);
  ~IPlugAAX() override;

  // Audio thread. No MIDI path to the host yet: nothing is sent.
  bool EmitMidi(const MidiMessage& msg) override;

  // The input channel at which the host's side-chain channel is attached.
  int GetSideChainChannel() const { return mSideChainChannel; }

protected:
  int mSideChainChannel = 0;
};

}  // namespace iplug

// The product's factory, defined by the product: creates one instance for the host.
// Host main thread; instances are created one at a time.
iplug::IPlugAAX* MakePlugInstance(const iplug::InstanceInfo& info);
