#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "IPlug/AAX/AAX_CIPlugParameters.h"
#include "IPlug/AAX/InstanceInfo.h"
#include "IPlug/AAX/MidiOutList.h"
#include "IPlug/HostBlockRenderer.h"
#include "IPlug/HostParams.h"
#include "IPlug/IPlugAPIBase.h"
#include "IPlug/IPlugProcessor.h"
#include "IPlug/PluginConfig.h"
#include "aax-library/AAX_CParameter.h"

namespace iplug {

// The AAX binding of the framework: one object that is the plug-in's host-API side, its
// audio processor and the effect-parameters object the host holds. The host reaches it
// through the effect-parameters interface (parameters, chunks, notifications), the render
// callback (audio) and, through the framework, the editor's gestures. The host owns it by
// reference count; the last release deletes it.
//
// Host parameters: position 0 is the master bypass (identifier ""), then one per framework
// parameter of a known kind, identified by its index plus one ("1", "2", ...).
class IPlugAAX : public IPlugAPIBase, public IPlugProcessor, public AAX_CIPlugParameters {
public:
  static constexpr int kInitialBlockSize = 512;
  // The longest block taken for real; a longer length is a damaged context (87 s at 48 kHz,
  // far beyond any host's buffers). Blocks up to it are rendered in pieces.
  static constexpr int kMaxRenderFrames = 1 << 22;

  // Host main thread.
  IPlugAAX(const InstanceInfo& info, const PluginConfig& config);
  ~IPlugAAX() override;

  // ---- host to plug-in (effect-parameters interface) ----

  // Host non-real-time thread. The host's value for a parameter: the host parameter takes
  // it, then the framework parameter, the editor (queued) and the product's hook. Values
  // outside 0..1 are clamped; a value that is not a number is refused
  // (AAX_ERROR_INVALID_ARGUMENT) and changes nothing. Unknown identifier: -20001.
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  // Host non-real-time thread. Offline rendering starts ("AXof") or ends ("AXox"); the track
  // was renamed ("AXtn", data an AAX_IString). Then the library's handling.
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;
  AAX_Result Uninitialize() override;

  // ---- state chunks (host non-real-time thread) ----

  AAX_Result GetNumberOfChunks(int32_t* outCount) const override;
  // Index 0 is the plug-in's state, identified by the plug-in's unique ID.
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* outID) const override;
  AAX_Result GetChunkSize(AAX_CTypeID id, uint32_t* outSize) const override;
  // Writes the state and its size. The record must have room for it: the host made room
  // for the size GetChunkSize last reported, or says so in the record's size field; the
  // larger of the two counts, so a stale or zero size field cannot fail a session save.
  // Only a state larger than both is refused (AAX_ERROR_INCORRECT_CHUNK_SIZE), unwritten.
  AAX_Result GetChunk(AAX_CTypeID id, AAX_SPlugInChunk* chunk) const override;
  // Restores the state, sends every value to the host and tells the editor. A record with
  // no data is refused (AAX_ERROR_INCORRECT_CHUNK_SIZE), one that does not hold a complete
  // state (AAX_ERROR_MALFORMED_CHUNK); either way it is refused before anything is applied
  // or notified, so nothing changes. The record's size is the host's claim: no more is read
  // than a complete state needs. A stored NaN leaves its parameter as it was.
  AAX_Result SetChunk(AAX_CTypeID id, const AAX_SPlugInChunk* chunk) override;
  // A record of another chunk compares equal; one of ours compares its parameter values.
  AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* outIsEqual) const override;

  // ---- editor to host (framework hooks, editor thread) ----

  void BeginHostParamGesture(int paramIdx) override;
  // A request to the host: the framework parameter changes when the host answers.
  void SendParamValueToHost(int paramIdx, double normalizedValue) override;
  void EndHostParamGesture(int paramIdx) override;
  // Editor thread. The name the host last gave the track.
  void CopyTrackName(TextBuffer& out) override;
  // Editor thread. The open editor as an igraphics::IPlugAAXView_Interface*, null while closed.
  void* GetEditorView() override;
  // Editor thread. The editor asks for a window of width x height pixels: the host's view
  // container is asked only when the size differs from the current one; either way the size
  // becomes the editor size and the answer is true.
  bool ResizeEditorWindow(int width, int height) override;

  // ---- processor ----

  // Audio thread. Queues the message for the host's MIDI output; false when the block's
  // list is full.
  bool EmitMidi(const MidiMessage& msg) override;
  // Audio thread at the end of a block, or the host's thread outside rendering. Tells the
  // host first, then restarts the bypass delay line.
  void UpdateLatency(int samples) override;

  // The input channel at which the host's side-chain channel is attached.
  int GetSideChainChannel() const { return MaxChannelsForBus(kInput, 0); }
  // Host identifier of a framework parameter, or null (not initialised, or no such index).
  const char* ParamID(int paramIdx) const;
  // Any thread. The master bypass as the render path sees it: published by the bypass
  // parameter itself on every change of its value (AAXBypassParameter).
  bool IsHostBypassed() const { return mHostBypassed.load(std::memory_order_acquire); }

protected:
  // Host main thread, from Initialize. Creates the host parameters, takes the host's sample
  // rate and resets processing.
  AAX_Result EffectInit() override;

  // Real-time thread. Allocates nothing, takes no lock. Maps the host's buffers, side chain,
  // MIDI and transport onto the processor and runs the plug-in or the bypass (crossfading
  // when the master bypass changes). Blocks longer than the scratch buffers are rendered in
  // pieces; every output sample of the block is written. A block that cannot be read safely
  // is skipped: no length, a negative one or one over kMaxRenderFrames, or no output
  // buffers leave every buffer alone; missing inputs silence the outputs. A failed stem
  // format query is answered by the last one that worked.
  void RenderContext(const void* context, TParamValPair* const values[], int32_t count) override;

private:
  void CreateHostParameters();
  AAX_IParameter* MakeHostParameter(const IParam& param, const char* id) const;

  // Render path steps (real-time thread).
  bool ReadStemFormats(int& nIn, int& nOut) const;
  bool ReadHostBlock(const void* context, HostBlock& block);
  void ReadPendingTimeInfo(TimeInfo& info) const override;
  void HandleHostMidiInput(const void* context);
  void PostMidiOutput(const void* context);

  // The size of a complete state of this build (state thread).
  int CompleteStateSize() const;

  std::vector<std::string> mParamIDs;
  std::atomic<bool> mHostBypassed{false};
  MidiOutList mMidiOutput;
  std::mutex mTrackNameMutex;
  TextBuffer mTrackName;
  // The chunk size last reported to the host (state threads).
  mutable RelaxedAtomic<int> mReportedChunkSize{0};
  // Channels of the host's stem formats as last read (the smallest layout until then).
  RelaxedAtomic<int> mKnownInputChannels{1};
  RelaxedAtomic<int> mKnownOutputChannels{1};
  RelaxedAtomic<bool> mStemFormatsKnown{false};  // a query has worked; the formats never change
  // Render thread, during one piece of a block: where its transport is read from.
  const void* mTimeContext = nullptr;
  int mTimeOffset = 0;
  HostParams mHostParams{*this};
  HostBlockRenderer mRenderer{*this};
};

}  // namespace iplug

// The product's factory, defined by the product: creates one instance for the host.
// Host main thread; instances are created one at a time. Null when creation failed.
iplug::IPlugAAX* MakePlugInstance(const iplug::InstanceInfo& info);
