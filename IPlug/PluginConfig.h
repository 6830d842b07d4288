#pragma once
#include <cstdint>

namespace iplug {

// The product's settings, handed to the framework constructors and read only while they run.
// A plain record: the product fills it (designated initialisers work) and the bases copy
// what they need, so the C strings only have to outlive construction.
struct PluginConfig {
  int32_t mNParams = 0;             // parameters the editor delegate creates
  int32_t mNPresets = 0;            // preset slots, each "empty" until filled
  const char* mChannelIOStr = "";   // channel I/O configurations, e.g. "1-1 2-2"
  const char* mPluginName = "";     // kept up to 128 characters
  const char* mProductName = "";    // kept up to 128 characters
  const char* mMfrName = "";        // kept up to 128 characters
  int32_t mVendorVersion = 0;       // major << 16 | minor << 8 | patch
  int32_t mUniqueID = 0;            // four-character code
  int32_t mMfrID = 0;               // four-character code
  int32_t mLatency = 0;             // samples
  bool mReceivesMIDI = false;
  bool mSendsMIDI = false;
  bool mExtraFlag2 = false;         // carried for the processor; nothing reads it
  bool mStateIsChunk = false;       // state travels as one opaque chunk
  int32_t mPlugType = 0;            // 0 effect, 1 instrument, 2 MIDI effect
  bool mHasUI = false;
  int32_t mEditorWidth = 0;         // at scale 1
  int32_t mEditorHeight = 0;
  int32_t mMinWidth = 0;            // each pair may be given in either order
  int32_t mMaxWidth = 0;
  int32_t mMinHeight = 0;
  int32_t mMaxHeight = 0;
  bool mEditorOption = false;       // carried for the host API base; nothing reads it
  const char* mExtraText = "";      // carried for the host API base; nothing reads it
};

}  // namespace iplug
