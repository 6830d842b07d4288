#pragma once
#include <atomic>
#include <cstdint>

#include "aax-library/AAX_IACFTransport.h"
#include "aax-library/AAX_ITransport.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

// A transport whose tempo, meter, play state, positions and loop the test sets. Reads are
// lock-free and record nothing, so the real-time thread may use it. Ticks: 960000 per quarter.
class Transport : public AAX_IACFTransport {
public:
  static constexpr int64_t kTicksPerQuarter = 960000;

  Transport() : mView(*this) {}

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result GetCurrentTempo(double* outBPM) const override;
  AAX_Result GetCurrentMeter(int32_t* outNumerator, int32_t* outDenominator) const override;
  AAX_Result IsTransportPlaying(AAX_CBoolean* outIsPlaying) const override;
  AAX_Result GetCurrentTickPosition(int64_t* outTicks) const override;
  AAX_Result GetCurrentLoopPosition(AAX_CBoolean* outLooping, int64_t* outStartTick, int64_t* outEndTick) const override;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* outSampleLocation) const override;
  AAX_Result GetCustomTickPosition(int64_t* outTicks, int64_t sampleLocation) const override;
  AAX_Result GetBarBeatPosition(int32_t* outBars, int32_t* outBeats, int64_t* outDisplayTicks,
                                int64_t sampleLocation) const override;
  AAX_Result GetTicksPerQuarter(uint32_t* outTicks) const override;
  AAX_Result GetCurrentTicksPerBeat(uint32_t* outTicks) const override;

  void SetTempo(double bpm) { mTempo.store(bpm); }
  void SetMeter(int32_t numerator, int32_t denominator) {
    mNumerator.store(numerator);
    mDenominator.store(denominator);
  }
  void SetPlaying(bool playing) { mPlaying.store(playing); }
  void SetTickPosition(int64_t ticks) { mTicks.store(ticks); }
  void SetSamplePosition(int64_t samples) { mSamples.store(samples); }
  int64_t SamplePosition() const { return mSamples.load(); }
  void SetSampleRate(double sampleRate) { mSampleRate.store(sampleRate); }
  void SetLoop(bool looping, int64_t startTick, int64_t endTick) {
    mLoopStart.store(startTick);
    mLoopEnd.store(endTick);
    mLooping.store(looping);
  }
  // Moves the play position by a block: samples, and ticks at the current tempo.
  void Advance(int64_t samples);

  // The same transport as the module-side interface a transport MIDI node hands out.
  AAX_ITransport* View() { return &mView; }

private:
  class ViewAdapter : public AAX_ITransport {
  public:
    explicit ViewAdapter(Transport& transport) : mTransport(transport) {}
    AAX_Result GetCurrentTempo(double* outBPM) const override { return mTransport.GetCurrentTempo(outBPM); }
    AAX_Result GetCurrentMeter(int32_t* n, int32_t* d) const override { return mTransport.GetCurrentMeter(n, d); }
    AAX_Result IsTransportPlaying(bool* outIsPlaying) const override;
    AAX_Result GetCurrentTickPosition(int64_t* t) const override { return mTransport.GetCurrentTickPosition(t); }
    AAX_Result GetCurrentLoopPosition(bool* outLooping, int64_t* start, int64_t* end) const override;
    AAX_Result GetCurrentNativeSampleLocation(int64_t* s) const override {
      return mTransport.GetCurrentNativeSampleLocation(s);
    }
    AAX_Result GetCustomTickPosition(int64_t* t, int64_t s) const override {
      return mTransport.GetCustomTickPosition(t, s);
    }
    AAX_Result GetBarBeatPosition(int32_t* bars, int32_t* beats, int64_t* ticks, int64_t s) const override {
      return mTransport.GetBarBeatPosition(bars, beats, ticks, s);
    }
    AAX_Result GetTicksPerQuarter(uint32_t* t) const override { return mTransport.GetTicksPerQuarter(t); }
    AAX_Result GetCurrentTicksPerBeat(uint32_t* t) const override { return mTransport.GetCurrentTicksPerBeat(t); }

  private:
    Transport& mTransport;
  };

  RefCount mRefs;
  ViewAdapter mView;
  std::atomic<double> mTempo{120.0};
  std::atomic<int32_t> mNumerator{4};
  std::atomic<int32_t> mDenominator{4};
  std::atomic<bool> mPlaying{false};
  std::atomic<int64_t> mTicks{0};
  std::atomic<int64_t> mSamples{0};
  std::atomic<double> mSampleRate{48000.0};
  std::atomic<bool> mLooping{false};
  std::atomic<int64_t> mLoopStart{0};
  std::atomic<int64_t> mLoopEnd{0};
};

}  // namespace aaxhost
