#pragma once
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "IPlug/HostBlockRenderer.h"
#include "IPlug/HostParams.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/LV2/InstanceInfo.h"
#include "IPlug/LV2/LV2PortLayout.h"
#include "IPlug/PluginConfig.h"

namespace iplug {

struct LV2Component;
class LV2UIPeer;

// The LV2 binding of the framework: one object that is the plug-in's host-API side and its
// audio processor, driven through an LV2 host's descriptor calls (IPlugLV2_Entry.cpp). The
// host owns it from instantiate to cleanup. It plays the part IPlugAAX plays for an AAX
// host: host control values become parameter changes (set, then the product's hook), every
// block goes through the processor's channel records, the host's bypass passes the input
// through delayed by the latency, and the state is the plug-in's complete state bytes,
// stored under one key. The audio side has no editor, so no timer runs there.
//
// Ports (LV2PortLayout): audio in, side chain, audio out, one input control per parameter of
// a known kind, lv2:enabled, the latency and the processor's meters as output controls, and
// for a plug-in with an editor an input control for the editor's zoom, which its user
// interface writes, so that the zoom travels with the state the plug-in saves.
//
// The bundle's user interface (LV2EditorUI) makes an object of this class too, which never
// processes audio: it holds the parameters and the editor, and its host-facing calls go to
// the interface's peer (AttachUIPeer), which turns them into port writes.
//
// Real time: run() allocates nothing and takes no lock. Its scratch buffers are sized at
// construction for the host's bounded block length (options extension) or at least
// kPreallocatedFrames; a longer block is processed in pieces of that size. Inputs and
// outputs may share a buffer: the inputs are converted before any output is written.
class IPlugLV2 : public IPlugAPIBase, public IPlugProcessor {
public:
  // The longest block the scratch buffers are sized for; hosts announcing more are served
  // in pieces.
  static constexpr int kMaxScratchFrames = 65536;

  // Host main thread (instantiate).
  IPlugLV2(const InstanceInfo& info, const PluginConfig& config);
  ~IPlugLV2() override;

  // Host main thread, right after the product's constructor: the ports of the plug-in the
  // host asked for. Allocates.
  void LayOutPorts(const LV2Component& component);
  const LV2PortLayout* Ports() const { return mLayout.get(); }

  // ---- LV2 instance calls ----

  // Audio thread class (or before activation). Allocates nothing. A port number the
  // plug-in does not have is ignored.
  void ConnectPort(uint32_t port, void* data);
  // Host main thread, not concurrently with run(). The controls the host has set take
  // effect at once (no glide), then processing restarts.
  void Activate();
  // Audio thread. Allocates nothing, takes no lock. Any length, 0 included.
  void Run(uint32_t nFrames);

  // Any thread but the audio thread, also while run() goes on. The complete state under
  // the state key as an atom:Chunk, with the zoom the editor-zoom port last carried.
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  // Host main thread, not concurrently with run(). A state that is missing, of another type
  // or incomplete is refused and nothing changes.
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // ---- processor ----

  // Audio thread. The bundle has no MIDI output: nothing is sent.
  bool EmitMidi(const MidiMessage& /*msg*/) override { return false; }

  // ---- the object behind a user interface (UI thread) ----

  // Makes this object the stand-in of a user interface: parameter values, gestures and
  // window sizes that the editor produces go to the peer.
  void AttachUIPeer(LV2UIPeer* peer) { mUIPeer = peer; }
  void SendParamValueToHost(int paramIdx, double normalizedValue) override;
  void BeginHostParamGesture(int paramIdx) override;
  void EndHostParamGesture(int paramIdx) override;
  bool ResizeEditorWindow(int width, int height) override;
  // The range of the editor-zoom port: the editor's size limits over its size.
  float MinEditorZoom() const;
  float MaxEditorZoom() const;
  // UI thread. A zoom the editor-zoom port brought: the open editor takes it on the next
  // timer tick, a closed one when it opens.
  void ShowEditorZoom(float zoom);
  // Any thread, once the ports are laid out (null before).
  const LV2PortLayout* PortLayout() const { return mLayout.get(); }

  int GetSideChainChannel() const { return MaxChannelsForBus(kInput, 0); }
  // The longest block processed in one piece.
  int MaxBlockFrames() const { return GetBlockSize(); }

private:
  struct Urids {
    LV2_URID mStateKey = 0;
    LV2_URID mChunk = 0;
    bool Valid() const { return mStateKey != 0 && mChunk != 0; }
  };

  void ReadFeatures(const InstanceInfo& info);
  void ApplyControlChanges();
  void WriteOutputPorts(bool enabled, bool processed);
  // Not the audio thread. Puts a zoom the port brought since the last time into the
  // editor geometry of the state.
  void TakeEditorZoom();

  Urids mUrids;
  int mHostMaxBlock = 0;  // from the host's options; 0 when it gave none
  std::unique_ptr<LV2PortLayout> mLayout;
  int mNInputs = 0;
  int mNOutputs = 0;

  // Host buffers as connected.
  std::vector<const float*> mAudioIn;
  const float* mSideChainIn = nullptr;
  std::vector<float*> mAudioOut;
  std::vector<const float*> mParamPorts;  // by parameter index; null without a port
  std::vector<float> mLastParamValues;    // the port values last taken; NaN before the first
  const float* mEnabledPort = nullptr;
  float* mLatencyPort = nullptr;
  std::vector<float*> mMeterPorts;
  const float* mEditorZoomPort = nullptr;
  // The port's value as run() last read it, for the threads that save the state.
  std::atomic<float> mEditorZoom{0.f};
  float mEditorZoomTaken = 0.f;  // the value last put into the geometry (0: none yet)
  LV2UIPeer* mUIPeer = nullptr;
  HostParams mHostParams{*this};
  HostBlockRenderer mRenderer{*this};
};

}  // namespace iplug

// The product's factory, defined by the product: creates one instance for the host.
// Host main thread; instances are created one at a time. Null when creation failed.
iplug::IPlugLV2* MakePlugInstance(const iplug::InstanceInfo& info);
