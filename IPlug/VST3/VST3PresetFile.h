#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace iplug {

// The VST3 preset file (.vstpreset), which hosts list and load for a plug-in of the class it
// names. Integers are little-endian.
//
//   offset 0    "VST3"
//   4           int32 version, 1
//   8           the component's class identifier, 32 ASCII hexadecimal digits
//   40          int64 offset of the chunk list
//   48          the chunks' data, one after another
//   list        "List", int32 entry count, then per entry: 4-byte id, int64 offset, int64 size
//
// Chunk ids: "Comp" holds the component's state (what its getState writes), "Cont" the
// controller's. Parsing trusts nothing: every offset and size is checked against the file's
// length before a byte behind it is read.
struct VST3PresetFile {
  static constexpr int kHeaderBytes = 48;
  static constexpr int kClassIDChars = 32;

  std::string mClassID;
  std::vector<uint8_t> mComponentState;
  std::vector<uint8_t> mControllerState;  // empty: no "Cont" chunk

  std::vector<uint8_t> Write() const;
  // False for a file that is not a preset of this layout or whose chunks leave the file.
  bool Parse(const std::vector<uint8_t>& bytes);
};

}  // namespace iplug
