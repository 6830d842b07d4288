#include "host/cli/PluginState.h"

#include <cstdio>

namespace tbhost {

std::string FourCharText(uint32_t code) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((code >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
      return hex;
    }
    text += c;
  }
  return text + "'";
}

std::string ChunkFormat(uint32_t chunkID) { return FourCharText(chunkID); }

bool ChunkIDOf(const std::string& format, uint32_t& chunkID) {
  uint32_t id = 0;
  if (format.size() == 6 && format.front() == '\'' && format.back() == '\'') {
    for (size_t i = 1; i < 5; ++i) id = (id << 8) | static_cast<uint8_t>(format[i]);
  } else if (format.size() != 10 || std::sscanf(format.c_str(), "0x%8X", &id) != 1) {
    return false;
  }
  if (ChunkFormat(id) != format) return false;
  chunkID = id;
  return true;
}

}  // namespace tbhost
