#include "host/aax/Controller.h"

#include "aax-library/AAX_Errors.h"
#include "aax-library/AAX_UIDs.h"
#include "host/aax/CallLog.h"

namespace aaxhost {

Controller::Controller(CallLog& log, std::string label) : mLog(log), mLabel(std::move(label)) {}

ACFRESULT Controller::QueryInterface(const acfIID& iid, void** out) {
  if (!out) return ACF_E_POINTER;
  *out = nullptr;
  if (iid != IID_IACFUnknown && iid != IID_IAAXControllerV1) return ACF_E_NOINTERFACE;
  *out = static_cast<AAX_IACFController*>(this);
  AddRef();
  return ACF_OK;
}

AAX_Result Controller::GetEffectID(AAX_IString* outEffectID) const {
  if (!outEffectID) return AAX_ERROR_NULL_ARGUMENT;
  outEffectID->Set(mEffectID.c_str());
  return AAX_SUCCESS;
}

AAX_Result Controller::GetSampleRate(AAX_CSampleRate* outSampleRate) const {
  if (!outSampleRate) return AAX_ERROR_NULL_ARGUMENT;
  *outSampleRate = mSampleRate.load();
  return AAX_SUCCESS;
}

AAX_Result Controller::GetInputStemFormat(AAX_EStemFormat* outFormat) const {
  if (!outFormat) return AAX_ERROR_NULL_ARGUMENT;
  if (mFailStemFormats.load()) return AAX_ERROR_UNIMPLEMENTED;
  *outFormat = mInputFormat.load();
  return AAX_SUCCESS;
}

AAX_Result Controller::GetOutputStemFormat(AAX_EStemFormat* outFormat) const {
  if (!outFormat) return AAX_ERROR_NULL_ARGUMENT;
  if (mFailStemFormats.load()) return AAX_ERROR_UNIMPLEMENTED;
  *outFormat = mOutputFormat.load();
  return AAX_SUCCESS;
}

AAX_Result Controller::GetSignalLatency(int32_t* outSamples) const {
  if (!outSamples) return AAX_ERROR_NULL_ARGUMENT;
  *outSamples = mLatency.load();
  return AAX_SUCCESS;
}

AAX_Result Controller::SetSignalLatency(int32_t samples) {
  if (samples < 0) return AAX_ERROR_INVALID_ARGUMENT;
  mLatency.store(samples);
  mLatencyChanges.fetch_add(1);
  return AAX_SUCCESS;
}

AAX_Result Controller::GetTODLocation(AAX_CTimestamp* outLocation) const {
  if (!outLocation) return AAX_ERROR_NULL_ARGUMENT;
  *outLocation = mTOD.load();
  return AAX_SUCCESS;
}

AAX_Result Controller::PostPacket(AAX_CFieldIndex index, const void* data, uint32_t size) {
  if (!data && size) return AAX_ERROR_NULL_ARGUMENT;
  const auto* bytes = static_cast<const unsigned char*>(data);
  {
    std::lock_guard lock(mPacketMutex);
    mPackets.push_back({index, std::vector<unsigned char>(bytes, bytes + size)});
  }
  mLog.Add({mLabel, "PostPacket", {std::to_string(index), std::to_string(size)}});
  return AAX_SUCCESS;
}

AAX_Result Controller::GetCurrentMeterValue(AAX_CTypeID /*meterID*/, float* outValue) const {
  if (!outValue) return AAX_ERROR_NULL_ARGUMENT;
  *outValue = 0.0f;
  return AAX_SUCCESS;
}

AAX_Result Controller::GetMeterCount(uint32_t* outCount) const {
  if (!outCount) return AAX_ERROR_NULL_ARGUMENT;
  *outCount = 0;
  return AAX_SUCCESS;
}

AAX_Result Controller::GetIsAudioSuite(AAX_CBoolean* outIsAudioSuite) const {
  if (!outIsAudioSuite) return AAX_ERROR_NULL_ARGUMENT;
  *outIsAudioSuite = 0;
  return AAX_SUCCESS;
}

AAX_Result Controller::GetHostName(AAX_IString* outName) const {
  if (!outName) return AAX_ERROR_NULL_ARGUMENT;
  outName->Set("tollenbrook-host");
  return AAX_SUCCESS;
}

std::vector<Controller::Packet> Controller::Packets() const {
  std::lock_guard lock(mPacketMutex);
  return mPackets;
}

bool Controller::NewestPacket(AAX_CFieldIndex index, std::vector<unsigned char>* out) const {
  std::lock_guard lock(mPacketMutex);
  for (auto packet = mPackets.rbegin(); packet != mPackets.rend(); ++packet) {
    if (packet->index == index) {
      if (out) *out = packet->data;
      return true;
    }
  }
  return false;
}

}  // namespace aaxhost
