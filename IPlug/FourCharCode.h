#pragma once
#include <cstdint>

namespace iplug {

// Packs a four-character code such as "TLK1" into 32 bits, first character in the most
// significant byte, the way hosts compare plug-in and manufacturer identifiers.
constexpr int32_t MakeFourCharCode(const char (&code)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

}  // namespace iplug
