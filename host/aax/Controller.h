#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "aax-library/AAX_IACFController.h"
#include "host/aax/RefCount.h"

namespace aaxhost {

class CallLog;

// The controller of one instance: sample rate and stem formats the test sets, the signal
// latency the module reports, and packets posted to context fields.
class Controller : public AAX_IACFController {
public:
  struct Packet {
    AAX_CFieldIndex index = 0;
    std::vector<unsigned char> data;
  };

  explicit Controller(CallLog& log, std::string label = "controller");

  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  AAXHOST_REFCOUNTED()
  AAX_Result GetEffectID(AAX_IString* outEffectID) const override;
  AAX_Result GetSampleRate(AAX_CSampleRate* outSampleRate) const override;
  AAX_Result GetInputStemFormat(AAX_EStemFormat* outFormat) const override;
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* outFormat) const override;
  AAX_Result GetSignalLatency(int32_t* outSamples) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;  // real-time safe: no record, no lock
  AAX_Result GetTODLocation(AAX_CTimestamp* outLocation) const override;
  AAX_Result PostPacket(AAX_CFieldIndex index, const void* data, uint32_t size) override;
  AAX_Result GetCurrentMeterValue(AAX_CTypeID meterID, float* outValue) const override;
  AAX_Result GetMeterCount(uint32_t* outCount) const override;
  AAX_Result GetIsAudioSuite(AAX_CBoolean* outIsAudioSuite) const override;
  AAX_Result GetHostName(AAX_IString* outName) const override;

  void SetSampleRate(float sampleRate) { mSampleRate.store(sampleRate); }
  void SetStemFormats(AAX_EStemFormat input, AAX_EStemFormat output) {
    mInputFormat.store(input);
    mOutputFormat.store(output);
  }
  // The stem-format queries answer AAX_ERROR_UNIMPLEMENTED while set: a host in trouble.
  void FailStemFormatQueries(bool fail) { mFailStemFormats.store(fail); }
  void SetEffectID(std::string effectID) { mEffectID = std::move(effectID); }
  void SetTODLocation(AAX_CTimestamp location) { mTOD.store(location); }
  int32_t SignalLatency() const { return mLatency.load(); }
  int32_t LatencyChanges() const { return mLatencyChanges.load(); }

  // Every packet posted, in order, and the newest one per field.
  std::vector<Packet> Packets() const;
  bool NewestPacket(AAX_CFieldIndex index, std::vector<unsigned char>* out) const;

private:
  CallLog& mLog;
  std::string mLabel;
  RefCount mRefs;
  std::string mEffectID = "com.example.effect";
  std::atomic<float> mSampleRate{48000.0f};
  std::atomic<AAX_EStemFormat> mInputFormat{AAX_eStemFormat_Stereo};
  std::atomic<AAX_EStemFormat> mOutputFormat{AAX_eStemFormat_Stereo};
  std::atomic<bool> mFailStemFormats{false};
  std::atomic<int32_t> mLatency{0};
  std::atomic<int32_t> mLatencyChanges{0};
  std::atomic<AAX_CTimestamp> mTOD{0};
  mutable std::mutex mPacketMutex;
  std::vector<Packet> mPackets;
};

}  // namespace aaxhost
