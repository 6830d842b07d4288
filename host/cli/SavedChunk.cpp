#include "host/cli/SavedChunk.h"

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

}  // namespace tbhost
