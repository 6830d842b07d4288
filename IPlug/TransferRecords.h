#pragma once
#include <cstdint>

namespace iplug {

// One parameter value on its way from the processor or host side to the editor.
struct ParamTuple {
  int mIdx = 0;
  double mValue = 0.0;  // plain (not normalised) value
};

// A system-exclusive message as a ring record: the bytes travel inside it, so the sender's
// buffer may be reused at once. Messages longer than kMaxBytes are refused, never cut.
struct SysExData {
  static constexpr int kMaxBytes = 512;
  int32_t mOffset = 0;
  int32_t mSize = 0;
  uint8_t mData[kMaxBytes] = {};
};

}  // namespace iplug
