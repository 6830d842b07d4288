#pragma once
#include "IPlug/ByteChunk.h"
#include "IPlug/Utf8Cut.h"

namespace iplug {

// One preset slot: a complete plug-in state under a name. Slots start free, named "empty".
struct IPreset {
  static constexpr int kMaxNameLength = 256;  // including the terminator

  // Keeps the first 255 bytes of a longer name, never half a character.
  void SetName(const char* name) { CopyUtf8Cut(mName, kMaxNameLength, name); }

  bool mInitialized = false;
  char mName[kMaxNameLength] = "empty";
  ByteChunk mChunk;
};

}  // namespace iplug
