#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tbhost {

// A plug-in state the way a host keeps it in a session: one chunk, its identifier and bytes.
struct SavedChunk {
  uint32_t chunkID = 0;  // four-character code, first character in the top byte
  std::vector<uint8_t> data;
};

// "'TLK1'" for printable codes, the hexadecimal value otherwise.
std::string FourCharText(uint32_t code);

}  // namespace tbhost
