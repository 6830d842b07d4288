#pragma once
#include "IPlug/FourCharCode.h"
#include "IPlug/PluginConfig.h"
#include "TollenbrookVersion.h"
#include "product/TollenbrookParams.h"

// Tollenbrook's settings for the framework: identity, channel configurations (mono or
// stereo main input, optional mono or stereo side chain, mono or stereo output), state as
// one chunk, and an editor of 378 x 591 that zooms between half and twice that size.
constexpr iplug::PluginConfig MakeTollenbrookConfig() {
  return iplug::PluginConfig{
      .mNParams = kNumParams,
      .mNPresets = 1,
      .mChannelIOStr = "1-1 1.1-1 1.2-1 1.2-2 2.1-1 2.1-2 2-2 2.2-2",
      .mPluginName = "Tollenbrook",
      .mProductName = "Tollenbrook",
      .mMfrName = "Vantorell",
      .mVendorVersion = kTollenbrookVersionPacked,
      .mUniqueID = iplug::MakeFourCharCode("TLK1"),
      .mMfrID = iplug::MakeFourCharCode("Vtor"),
      .mLatency = 0,
      .mReceivesMIDI = false,
      .mSendsMIDI = false,
      .mExtraFlag2 = false,
      .mStateIsChunk = true,
      .mPlugType = 0,
      .mHasUI = true,
      .mEditorWidth = 378,
      .mEditorHeight = 591,
      .mMinWidth = 189,
      .mMaxWidth = 756,
      .mMinHeight = 295,
      .mMaxHeight = 1182,
      .mEditorOption = false,
      .mExtraText = "",
  };
}
