#pragma once
#include <cstdint>

#include "aax-library/AAX_Types.h"

namespace iplug {

// Everything one processing component of the description registers: its MIDI and transport
// nodes, meters, auxiliary output stems, stem formats, side chain and the identifiers its
// property map carries. Built afresh, with these initial values, for every component.
struct AAXComponentSetup {
  static constexpr int32_t kMaxAdditionalMIDINodes = 15;
  static constexpr int32_t kMaxAuxOutputStems = 32;
  static constexpr int32_t kMaxStemNameLength = 32;  // including the terminator
  static constexpr uint32_t kNone = AAX_FourCC("none");

  bool mWantsGlobalMIDI = false;
  const char* mGlobalMIDINodeName = "GlobalMIDI";
  uint32_t mGlobalMIDIMask = 0xFFFF;
  bool mWantsInputMIDI = false;
  const char* mInputMIDINodeName = "InputMIDI";
  uint32_t mInputMIDIMask = 0xFFFF;
  int32_t mNumAdditionalInputMIDINodes = 0;
  bool mWantsOutputMIDI = false;
  const char* mOutputMIDINodeName = "OutputMIDI";
  uint32_t mOutputMIDIMask = 0xFFFF;
  bool mWantsTransport = false;
  const char* mTransportNodeName = "Transport";
  int32_t mNumMeters = 0;
  const AAX_CTypeID* mMeterIDs = nullptr;
  int32_t mNumAuxOutputStems = 0;
  char mAuxOutputStemNames[kMaxAuxOutputStems][kMaxStemNameLength] = {};
  uint32_t mAuxOutputStemFormats[kMaxAuxOutputStems];
  uint32_t mHybridInputStemFormat = AAX_eStemFormat_None;
  uint32_t mHybridOutputStemFormat = AAX_eStemFormat_None;
  uint32_t mInputStemFormat = AAX_eStemFormat_Mono;
  uint32_t mOutputStemFormat = AAX_eStemFormat_Mono;
  bool mFlag151 = false;
  bool mCanBypass = true;
  bool mSideChain = false;
  uint32_t mManufacturerID = kNone;
  uint32_t mProductID = kNone;
  uint32_t mNativeTypeID = kNone;
  uint32_t mAudioSuiteTypeID = kNone;
  bool mFlag304 = true;
  int32_t mValue56 = 0;

  AAXComponentSetup() {
    for (uint32_t& format : mAuxOutputStemFormats) format = AAX_eStemFormat_Mono;
  }
};

}  // namespace iplug
