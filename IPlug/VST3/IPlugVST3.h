#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "IPlug/HostBlockRenderer.h"
#include "IPlug/HostParams.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/PluginConfig.h"
#include "IPlug/VST3/InstanceInfo.h"
#include "IPlug/VST3/VST3Interfaces.h"
#include "IPlug/VST3/VST3ParamTable.h"

namespace iplug {

class VST3EditorPeer;

// The VST3 binding of the framework: the plug-in's host-API side and its audio processor,
// driven by the two objects a VST3 host talks to (VST3Component, VST3Controller), each of
// which owns one instance. The component's instance processes audio: host parameter changes
// become parameter changes (set, then the product's hook) at their offsets in the block, every
// block goes through the framework's host-block renderer, the host's bypass parameter switches
// the framework's bypass with its crossfade, and the state is the plug-in's complete state
// bytes. The controller's instance never processes: it holds the parameters the host shows
// and the editor, whose gestures and values go to the controller's peer (AttachEditorPeer),
// as an LV2 user interface's do.
//
// Real time: Process() allocates nothing and takes no lock. The scratch buffers are sized in
// SetupProcessing for the host's largest block (at least kPreallocatedFrames); longer blocks
// are processed in pieces. Inputs and outputs may share buffers.
class IPlugVST3 : public IPlugAPIBase, public IPlugProcessor {
public:
  static constexpr int kMaxScratchFrames = 65536;
  // The most parameter queues of one block that are applied at their offsets; the values of
  // any more take effect at the start of the block.
  static constexpr int kMaxTimedQueues = 256;

  // Host main thread (the factory's createInstance).
  IPlugVST3(const InstanceInfo& info, const PluginConfig& config);
  ~IPlugVST3() override;

  // Host main thread, right after the product's constructor, which sets up the parameters:
  // the host's view of them. Allocates.
  void Prepare();

  // Audio thread. The bundle has no MIDI output.
  bool EmitMidi(const MidiMessage& /*msg*/) override { return false; }

  // ---- buses (host main thread, while inactive) ----

  // The channels of the main input and output as the host arranged them (1 or 2 each), and
  // whether the side-chain bus is active.
  int MainInputChannels() const { return mNInputs; }
  int MainOutputChannels() const { return mNOutputs; }
  bool KeyActive() const { return mKeyActive; }
  // Channels of the side-chain bus: the one key channel the framework feeds; 0 without one.
  int KeyChannels() const { return mKeyChannels; }
  // Takes an arrangement of nIn main input and nOut main output channels when the plug-in
  // offers it as an insert; false, keeping the last good arrangement, otherwise.
  bool ArrangeBuses(int nIn, int nOut);
  void SetKeyActive(bool active) { mKeyActive = active && mKeyChannels > 0; }

  // ---- processing ----

  // Host main thread, while inactive. Sample rate, the largest block and the sample size.
  bool SetupProcessing(const v3_process_setup& setup);
  bool CanProcess64() const { return true; }
  // Host main thread. Starting: the processing restarts from silence.
  void SetActive(bool active);
  // Audio thread. Allocates nothing, takes no lock. Parameter changes take effect at their
  // offsets, the block is rendered (nothing for a block of no frames), the meters are written
  // to the output parameter changes and the outputs' silence flags set.
  v3_result Process(v3_process_data& data);
  // Audio thread, at the end of a block. Remembers that the host must learn a new latency.
  void UpdateLatency(int samples) override;
  // UI thread. True once after the latency changed; the controller then asks for a restart.
  bool TakeLatencyChange() { return mLatencyChanged.exchange(false, std::memory_order_acq_rel); }

  // ---- the object behind a controller (UI thread) ----

  void AttachEditorPeer(VST3EditorPeer* peer) { mEditorPeer = peer; }
  void SendParamValueToHost(int paramIdx, double normalizedValue) override;
  void BeginHostParamGesture(int paramIdx) override;
  void EndHostParamGesture(int paramIdx) override;
  bool ResizeEditorWindow(int width, int height) override;
  // Editor thread, every timer tick.
  void OnPeriodicTick() override;
  // Any thread, once prepared.
  const VST3ParamTable& ParamTable() const { return *mParamTable; }
  // The host bypass as the controller shows it (normalised).
  double HostBypassValue() const { return mHostBypass.load(std::memory_order_relaxed); }
  void SetHostBypassValue(double normalized) { mHostBypass.store(normalized, std::memory_order_relaxed); }
  // A meter reading the host handed back (normalised), for the editor.
  void ShowMeterNormalized(int meterIdx, double normalized);

protected:
  // The editor is paced by a timer of the host's run loop where the platform has one to offer.
  igraphics::IGraphics* MakeGraphicsContext() override;

private:
  template <typename Sample>
  void RenderBlock(const v3_process_data& data, int nFrames);
  template <typename Sample>
  void RenderSegment(const v3_process_data& data, int offset, int nFrames);
  // Applies every point of the block's parameter changes up to `offset`; returns the offset of
  // the next change (nFrames when there is none).
  int ApplyChangesUpTo(v3_param_changes** changes, int offset, int nFrames);
  void ApplyChange(v3_param_id id, double normalized);
  void WriteMeters(v3_param_changes** out);
  void SetSilenceFlags(const v3_process_data& data, int nFrames) const;

  int mNInputs = 0;
  int mNOutputs = 0;
  int mKeyChannels = 0;
  bool mKeyActive = false;
  bool mProcess64 = false;
  std::atomic<double> mHostBypass{0.0};
  std::atomic<bool> mLatencyChanged{false};
  bool mProcessedBlock = false;
  std::vector<int> mQueueCursors;  // sized kMaxTimedQueues at construction
  VST3EditorPeer* mEditorPeer = nullptr;
  std::unique_ptr<VST3ParamTable> mParamTable;
  HostParams mHostParams{*this};
  HostBlockRenderer mRenderer{*this};
};

}  // namespace iplug

// The product's factory, defined by the product: creates one instance for the host.
// Host main thread; instances are created one at a time. Null when creation failed.
iplug::IPlugVST3* MakePlugInstance(const iplug::InstanceInfo& info);
