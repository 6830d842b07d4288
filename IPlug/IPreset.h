#pragma once
#include "IPlug/ByteChunk.h"

namespace iplug {

// One preset slot: a complete plug-in state under a name. Slots start free, named "empty".
struct IPreset {
  static constexpr int kMaxNameLength = 256;  // including the terminator

  bool mInitialized = false;
  char mName[kMaxNameLength] = "empty";
  ByteChunk mChunk;
};

}  // namespace iplug
