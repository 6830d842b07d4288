#pragma once
#include <cstdint>
#include <vector>

#include "IPlug/VST3/VST3Interfaces.h"

namespace iplug {

// Whole states through a host's byte stream. Host main thread.
struct VST3Stream {
  // States larger than this are refused unread: no state of the plug-in comes near it.
  static constexpr int kMaxStateBytes = 16 << 20;

  // Reads from the stream's position to its end; false when the stream fails, or holds
  // more than kMaxStateBytes.
  static bool ReadAll(v3_bstream** stream, std::vector<uint8_t>& out);
  // False unless every byte was written.
  static bool WriteAll(v3_bstream** stream, const void* data, int size);
};

}  // namespace iplug
