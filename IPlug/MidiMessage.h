#pragma once
#include <cstdint>

namespace iplug {

// One short MIDI message at a sample offset within the block.
struct MidiMessage {
  int32_t mOffset = 0;
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
};

// A system-exclusive message; the data is not owned.
struct SysexMessage {
  int mOffset = 0;
  int mSize = 0;
  const uint8_t* mData = nullptr;
};

}  // namespace iplug
