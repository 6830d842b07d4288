#pragma once
#include <cstdint>
#include <memory>

#include "IPlug/IPlugBinding.h"
#include "IPlug/RelaxedAtomic.h"
#include "IPlug/TransferRing.h"
#include "product/MeterBallistics.h"
#include "product/ChainSettings.h"
#include "product/ProcessingTargets.h"
#include "product/SwitchFader.h"
#include "product/TollenbrookChain.h"
#include "product/TollenbrookParams.h"

// The Tollenbrook compressor and limiter: its parameters, the mapping of their values to
// processing targets, and its state (editor geometry, then the parameter values). It derives
// from the plug-in base of the binding it is built for (IPlugAAX in the AAX module, IPlugLV2
// in the LV2 bundle) and names none of them.
class Tollenbrook : public iplug::Plugin {
public:
  // Bytes of editor width, height and scale in front of the parameter values in the state.
  static constexpr int kEditorGeometryBytes = 12;

  // Host main thread (MakePlugInstance).
  explicit Tollenbrook(const iplug::InstanceInfo& info);

  using iplug::Plugin::OnParamChange;
  // Thread of the change (host parameter thread, editor thread, state restore). Takes no
  // lock: sets the targets of the changed parameter for the audio chain.
  void OnParamChange(int paramIdx) override;

  // Host main thread. Editor geometry, then every parameter value; false when the chunk
  // could not grow.
  bool SerializeState(iplug::ByteChunk& chunk) const override;
  // Host main thread. The editor geometry in front of the parameter values, also for preset
  // slots made from bare values.
  bool SerializeStateHeader(iplug::ByteChunk& chunk) const override { return WriteEditorGeometry(chunk); }
  // Host main thread. Reads what SerializeState wrote; the next position, or -1.
  int UnserializeState(const iplug::ByteChunk& chunk, int startPos) override;
  // Host main thread. Compares a state of this product: the parameter doubles after the
  // editor geometry, startIdx counting doubles from there.
  bool CompareState(const uint8_t* data, int startIdx, int dataSize) const override;

  // Any thread; the audio chain reads the targets on the audio thread.
  const ProcessingTargets& Targets() const { return mTargets; }

  // Audio thread, or the host main thread while no audio runs. Allocates nothing, takes no
  // lock. Restarts the chain at the current sample rate from the current targets.
  void ResetProcessing() override;
  // Audio thread. Allocates nothing, takes no lock. The chain as newly made, then reset.
  void ClearProcessing() override;
  // Audio thread. Allocates nothing, takes no lock. Runs the chain on the four inputs (main
  // left, right, side-chain left, right), queues the meter values for the editor and reports
  // a latency change. "Bypass" and "Oversample" switch without a step (SwitchFader).
  void ProcessAudioBlock(double** inputs, double** outputs, int nFrames) override;

  // Any thread. What the chain takes for a block: the targets and the values of "Compressor
  // Recovery Time", "Level Recovery Time" and "External Sidechain", and whether the right output
  // is connected.
  ChainSettings CurrentChainSettings() const;

  // The needle values (fraction of the signal removed) and the deepest gains in dB of the
  // last processed block.
  struct BlockMeters {
    double limiterMeter;
    double compMeter;
    double limiterMinGainDb;
    double compMinGainDb;
  };
  // Any thread. Each value is of a whole block; read right after a block on the thread that
  // processed it (as a command-line host does), all four belong to that block.
  BlockMeters LastBlockMeters() const;

  // The gain reduction of each section for hosts that show meters: how far the section pulled
  // the signal down at its deepest point in the last block, in dB (0 or more).
  enum EHostMeter { kLimiterReductionMeter = 0, kCompReductionMeter, kNumHostMeters };
  // Any thread.
  int NMeters() const override { return kNumHostMeters; }
  MeterInfo GetMeterInfo(int meterIdx) const override;
  // Audio thread, after a block. Allocates nothing, takes no lock.
  double GetMeterValue(int meterIdx) const override;
  // Editor thread. A gain reduction in dB that a host read from the audio side (an LV2
  // user interface, which has no audio of its own): the needle aims at it and follows with
  // its ballistics on the editor's timer ticks.
  void ShowMeterValue(int meterIdx, double value) override;

  // Meter values of one block on their way from the audio thread to the editor. Readings
  // beyond the ring's capacity between two timer ticks are dropped, newest first.
  struct MeterReading {
    double limiter;
    double comp;
  };
  static constexpr int kMeterRingSlots = 257;  // 256 blocks per 20 ms tick, 5 frames a block at 64 kHz

protected:
  // Editor thread (the 20 ms service timer). Hands the newest queued meter reading to the
  // editor as the plain values of parameters 12 and 13.
  void OnPeriodicTick() override;
  // Editor thread. Every parameter value, then the needles where the last block left them
  // (full deflection until audio has run), not the meter parameters' stored zeros.
  void OnEditorOpened() override;
  // Any thread (a host's chunk thread). Queues the restored values, then the needles as above.
  void OnStateRestored() override;

private:
  void DeclareParameters();

  ProcessingTargets mTargets;

  // The chain's members (smoothers, dynamics sections, filters, delay lines and meters)
  // live in their own object, made here before the parameters; the delay lines make it too
  // large for the stacks that hosts and tests construct instances on.
  std::unique_ptr<TollenbrookChain> mChain;
  SwitchFader mFader;

  // The meter readings have their own single-producer ring: the audio thread is their only
  // writer, while host parameter changes travel through the framework's parameter ring.
  iplug::TransferRing<MeterReading, kMeterRingSlots> mMeterRing;
  iplug::RelaxedAtomic<double> mLastLimiterMeter{1.0};
  iplug::RelaxedAtomic<double> mLastCompMeter{1.0};
  iplug::RelaxedAtomic<double> mLastLimiterMinGainDb{0.0};
  iplug::RelaxedAtomic<double> mLastCompMinGainDb{0.0};

  // The needles of readings handed in by ShowMeterValue (editor thread): where each aims,
  // and whether any reading came.
  MeterBallistics mShownNeedles[kNumHostMeters]{MeterBallistics(1.0), MeterBallistics(1.0)};
  double mShownAims[kNumHostMeters] = {};
  bool mShowingMeters = false;
};
