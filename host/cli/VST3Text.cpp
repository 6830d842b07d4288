#include "host/cli/VST3Text.h"

namespace tbhost {

std::string Utf8FromVST3(const int16_t* text, size_t capacity) {
  std::string out;
  for (size_t i = 0; i < capacity && text[i] != 0; ++i) {
    uint32_t code = static_cast<uint16_t>(text[i]);
    // A surrogate pair is one character; a lone surrogate becomes the replacement character.
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < capacity) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else {
        code = 0xFFFD;
      }
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

void VST3FromUtf8(const std::string& text, int16_t* out, size_t capacity) {
  if (capacity == 0) return;
  size_t n = 0;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const int length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    uint32_t code = length == 1 ? byte : byte & (0x3F >> (length - 1));
    for (int k = 1; k < length && i + static_cast<size_t>(k) < text.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3F);
    i += static_cast<size_t>(length);
    const size_t units = code >= 0x10000 ? 2 : 1;
    if (n + units >= capacity) break;
    if (units == 2) {
      out[n++] = static_cast<int16_t>(0xD800 + ((code - 0x10000) >> 10));
      out[n++] = static_cast<int16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out[n++] = static_cast<int16_t>(code);
    }
  }
  out[n] = 0;
}

}  // namespace tbhost
