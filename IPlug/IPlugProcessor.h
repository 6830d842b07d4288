#pragma once
#include <memory>
#include <span>
#include <vector>

#include "IPlug/BypassDelayLine.h"
#include "IPlug/ChannelLayout.h"
#include "IPlug/ChannelSlot.h"
#include "IPlug/FadeRamp.h"
#include "IPlug/MidiMessage.h"
#include "IPlug/PluginConfig.h"
#include "IPlug/RelaxedAtomic.h"
#include "IPlug/TextBuffer.h"
#include "IPlug/TimeInfo.h"

namespace iplug {

// The audio half of the plug-in object: the allowed channel configurations, the channel
// records that connect host buffers to the product's processing routine, sample rate,
// block size and latency, the transport snapshot, and the bypass pass-through with its
// latency delay line. All processing inside is double precision; host float buffers are
// converted into per-channel scratch buffers on the way in and back on the way out.
//
// Render calls never allocate while the block does not outgrow the scratch capacity
// (kPreallocatedFrames, reserved at construction), and latency changes never allocate up
// to kMaxBypassLatency samples.
class IPlugProcessor {
public:
  static constexpr int kPreallocatedFrames = 4096;
  static constexpr int kMaxBypassLatency = 4096;
  static constexpr int kMaxChannelsPerBus = 1024;  // larger counts in a configuration read as 0
  // Length of the crossfade between processing and bypass (RenderHostBuffers).
  static constexpr double kBypassFadeMs = 10.0;
  enum EPlugType : int { kEffect = 0, kInstrument = 1, kMIDIEffect = 2 };

  // Main thread.
  explicit IPlugProcessor(const PluginConfig& config);
  virtual ~IPlugProcessor();
  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  // ---- operations the product and the binding override ----

  // Audio thread. Allocates nothing, takes no lock. inputs and outputs hold one pointer per
  // channel record (NChannels), each to nFrames doubles. The default copies input i to
  // output i and silences outputs without an input.
  virtual void ProcessAudioBlock(double** inputs, double** outputs, int nFrames);
  // Audio thread. The default passes the message straight on.
  virtual void HandleMidiInput(const MidiMessage& msg) { EmitMidi(msg); }
  virtual void HandleSysexInput(const SysexMessage& /*msg*/) {}
  // Audio thread or host main thread, never both at once: a new sample rate or stream.
  virtual void ResetProcessing() {}
  // Audio thread. Allocates nothing, takes no lock. Forgets everything the processing has
  // heard, as an instance made anew at the same rate and settings would start. Called after a
  // block whose input held samples that were not finite numbers. The default resets.
  virtual void ClearProcessing() { ResetProcessing(); }
  virtual void OnActivationChanged(bool /*active*/) {}
  // Audio thread. The binding queues the message for the host.
  virtual bool EmitMidi(const MidiMessage& msg) = 0;
  // Audio thread. Every message is sent, also after a failure; true when all were.
  virtual bool EmitMidiList(std::span<const MidiMessage> messages);
  virtual bool EmitSysex(const SysexMessage& /*msg*/) { return false; }
  // Any thread. "Input", "Main"/"Aux", "Input %i", "Output", "Output %i".
  virtual void BusDisplayName(Direction dir, int busIdx, int nBuses, TextBuffer& out) const;
  // Audio thread at the end of a block, or the binding outside rendering; allocates
  // nothing. Stores the latency and restarts the bypass delay line at that length (up to
  // its capacity, kMaxBypassLatency unless reserved otherwise).
  virtual void UpdateLatency(int samples);

  // ---- meters for hosts that show them ----

  // A reading in decibels that the plug-in offers after every block, for bindings whose
  // hosts show meters beside the audio (an AAX product shows its meters in its editor).
  struct MeterInfo {
    const char* mName = "";
    double mMinDb = 0.0;  // the range a host should draw; readings may leave it
    double mMaxDb = 0.0;
  };
  // Any thread. None by default.
  virtual int NMeters() const { return 0; }
  virtual MeterInfo GetMeterInfo(int /*meterIdx*/) const { return {}; }
  // Audio thread, right after a processed block. Allocates nothing, takes no lock.
  virtual double GetMeterValue(int /*meterIdx*/) const { return 0.0; }
  // Editor thread. A reading GetMeterValue gave, handed back by a host whose editor runs
  // apart from the audio (an LV2 user interface, perhaps in another process): the plug-in
  // shows it in its editor as it shows its own readings. Nothing by default.
  virtual void ShowMeterValue(int /*meterIdx*/, double /*value*/) {}

  // ---- channel configurations ----

  // Parses a configuration string ("1-1 1.2-2 *-*"): configurations separated by spaces,
  // "-" between the input and output buses, "." between buses, "*" a wildcard bus, 0 no
  // bus. A token without "-" is not a configuration and is skipped. Returns the number of
  // configurations and the largest channel totals and bus counts of each direction.
  static int ParseIOConfigs(const char* ioStr, std::vector<ChannelLayout>& configs, int& maxNInputChans,
                            int& maxNOutputChans, int& maxNInBuses, int& maxNOutBuses);
  // True when a configuration has these channel totals; a negative count matches anything.
  bool LegalIO(int nIn, int nOut) const;
  // Index of the first configuration with exactly these buses, or -1.
  int FindIOConfig(std::span<const int> inputBuses, std::span<const int> outputBuses) const;
  // Largest bus count of a direction; configIdx receives the last configuration reaching it.
  int MaxBusCount(Direction dir, int* configIdx = nullptr) const {
    if (configIdx) *configIdx = mMaxBusConfig[dir];
    return mMaxBuses[dir];
  }
  // Largest channel count at a bus position over all configurations; -1 when the first
  // configuration has a wildcard bus on that side, 0 past the last bus.
  int MaxChannelsForBus(Direction dir, int busIdx) const;
  int NIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }
  const ChannelLayout& GetIOConfig(int idx) const { return mIOConfigs[static_cast<size_t>(idx)]; }
  std::span<const ChannelLayout> IOConfigs() const { return mIOConfigs; }

  // ---- channels and host buffers (render thread) ----

  // Number of channel records of a direction (the largest channel total of the configurations).
  int NChannels(Direction dir) const { return static_cast<int>(mChannels[dir].size()); }
  int ConnectedChannelCount(Direction dir) const;
  bool IsChannelConnected(Direction dir, int chIdx) const;
  // Audio thread. Allocates nothing. Sets the connected flag of channels first .. first +
  // count - 1 (clipped to the records). A disconnected channel presents its own scratch
  // buffer, silenced when it had been connected, so it never replays old audio.
  void ConnectChannels(Direction dir, int first, int count, bool connected);
  // Audio thread. Allocates nothing. Host pointers are taken in order by the connected
  // channels in the range only. Inputs are converted into their scratch buffers; outputs
  // process into their scratch buffers and remember the host buffer. At most BlockSize()
  // frames are converted.
  void AttachHostBuffers(Direction dir, int first, int count, float* const* hostBuffers, int nFrames);
  // Audio thread. Allocates nothing. Connected channels use the host buffers directly.
  void AttachHostBuffers(Direction dir, int first, int count, double* const* hostBuffers);
  // Audio thread or main thread. Sizes every scratch buffer to nFrames silent samples and
  // makes nFrames the block size; allocates only beyond kPreallocatedFrames.
  void ResizeScratchBuffers(int nFrames);
  // Audio thread. When the host block is longer than any before: ResizeScratchBuffers and
  // ResetProcessing, returning true. The block size never shrinks.
  bool GrowBlockSize(int nFrames);
  // Audio thread. Allocates nothing, takes no lock. Runs ProcessAudioBlock and converts
  // the connected outputs into their host buffers. A block longer than BlockSize() (a
  // binding that skipped GrowBlockSize) is processed up to BlockSize() frames and the rest
  // of the host outputs is silenced. While there is latency the bypass delay line keeps
  // taking the input, so a bypass that follows continues the audio without a gap.
  //
  // Input samples that are not finite numbers (NaN, infinities) reach the processing as 0:
  // they carry no level the processing could follow. After such a block ClearProcessing runs,
  // so nothing the processing took in from it shapes the audio that follows.
  void ProcessHostBuffers(int nFrames);
  // Audio thread. Allocates nothing, takes no lock. Bypass: inputs to outputs, delayed by
  // the latency when there is one, then converted like ProcessHostBuffers. Samples that are
  // not finite numbers pass as 0.
  void PassThroughHostBuffers(int nFrames);
  // Audio thread. Allocates nothing, takes no lock. The binding's render call: the processing
  // (ProcessHostBuffers) or, when `bypassed`, the bypass (PassThroughHostBuffers). A change of
  // `bypassed` crossfades over kBypassFadeMs, running both, so neither switch steps: into the
  // bypass at once, out of it after twice the latency, once everything the processing delays
  // is audio it heard after the bypass.
  void RenderHostBuffers(int nFrames, bool bypassed);
  // Whether RenderHostBuffers(nFrames, bypassed) runs the processing: always unless it is
  // bypassed and no crossfade is under way or about to start.
  bool RunsProcessing(bool bypassed) const { return !bypassed || !mBypassed || mProcessingGain.Moving(); }

  // Main thread. Creates the bypass delay line for the channel records, with room for
  // latencies up to maxLatency samples, at the current latency.
  void CreateBypassDelayLine(int maxLatency = kMaxBypassLatency);
  const BypassDelayLine* GetBypassDelayLine() const { return mBypassDelay.get(); }

  // ---- accessors ----

  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetPlugType() const { return mPlugType; }
  bool IsInstrument() const { return mPlugType == kInstrument; }
  bool DoesMIDIIn() const { return mReceivesMIDI; }
  bool DoesMIDIOut() const { return mSendsMIDI; }
  bool GetRenderingOffline() const { return mRenderingOffline; }
  void SetRenderingOffline(bool offline) { mRenderingOffline = offline; }
  // Audio thread: the product reads the transport snapshot of the block it processes. The
  // binding either sets it before processing, or marks it pending: then the host is asked
  // (ReadPendingTimeInfo) only when the product reads it, as most products never do.
  const TimeInfo& GetTimeInfo() const {
    if (mTimeInfoPending) TakePendingTimeInfo();
    return mTimeInfo;
  }
  void SetTimeInfo(const TimeInfo& timeInfo) {
    mTimeInfo = timeInfo;
    mTimeInfoPending = false;
  }
  double GetTempo() const { return GetTimeInfo().mTempo; }
  // Samples per beat at the current tempo; 0 without a tempo.
  double BeatLengthInSamples() const;
  // The channel-pointer arrays that ProcessAudioBlock receives.
  double** ChannelData(Direction dir) { return mChannelData[dir].data(); }

protected:
  // Audio thread, during one block: the snapshot is to be read from the host on first use.
  // A block that never used it leaves the previous snapshot standing.
  void SetTimeInfoPending(bool pending) { mTimeInfoPending = pending; }
  // Reads the pending block's transport from the host into `info` (defaults already there).
  virtual void ReadPendingTimeInfo(TimeInfo& /*info*/) const {}

private:
  void TakePendingTimeInfo() const {
    mTimeInfoPending = false;
    TimeInfo info;
    ReadPendingTimeInfo(info);
    mTimeInfo = info;
  }
  // Every render path asks on every block; the trace of an overlong one is out of line.
  int ClampFrames(int nFrames) const {
    if (nFrames > mBlockSize) [[unlikely]]
      return ClampOverlongBlock(nFrames);
    return nFrames > 0 ? nFrames : 0;
  }
  int ClampOverlongBlock(int nFrames) const;
  void FindMaxBusCount(Direction dir);
  void ConvertOutputs(int nFrames, int nHostFrames);
  // Points every input channel at its own scratch buffer, copying what it showed.
  void OwnInputs(int nFrames);
  // Replaces samples that are not finite in the first nFrames of every input; true if any.
  bool SanitizeInputs(int nFrames);
  void FeedBypassDelay(int nFrames);
  void StartBypassFade(bool bypassed);
  void CrossfadeWithBypass(int nFrames);

  int mPlugType;
  bool mReceivesMIDI;
  bool mSendsMIDI;
  [[maybe_unused]] bool mExtraFlag2;  // carried for the bases; nothing reads it
  RelaxedAtomic<int> mLatency;
  RelaxedAtomic<double> mSampleRate{48000.0};
  int mBlockSize = 0;
  RelaxedAtomic<bool> mRenderingOffline{false};
  std::vector<ChannelLayout> mIOConfigs;
  int mMaxBuses[2] = {0, 0};      // largest bus count of each direction
  int mMaxBusConfig[2] = {0, 0};  // the last configuration reaching it
  std::vector<double*> mChannelData[2];
  std::vector<ChannelSlot> mChannels[2];  // sized once at construction
  std::unique_ptr<BypassDelayLine> mBypassDelay;
  mutable TimeInfo mTimeInfo;
  mutable bool mTimeInfoPending = false;
  bool mBypassed = false;     // what RenderHostBuffers was last asked for
  FadeRamp mProcessingGain;   // weight of the processing against the bypass
};

}  // namespace iplug
