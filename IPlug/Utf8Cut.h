#pragma once
#include <cstring>

namespace iplug {

// How many bytes of `text` fit into maxBytes without cutting a UTF-8 sequence in two: a name
// cut for a fixed-size field stays valid text for whoever shows it.
inline int Utf8CutLength(const char* text, int maxBytes) {
  if (!text || maxBytes <= 0) return 0;
  const void* nul = std::memchr(text, '\0', static_cast<size_t>(maxBytes) + 1);
  if (nul) return static_cast<int>(static_cast<const char*>(nul) - text);
  int n = maxBytes;
  // text[n] is the first byte left out; while it continues a sequence, that sequence began
  // inside the kept part and goes too.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

// Copies at most size - 1 bytes of text (cut as above) into dest and terminates it.
inline void CopyUtf8Cut(char* dest, int size, const char* text) {
  if (!dest || size <= 0) return;
  const int n = Utf8CutLength(text ? text : "", size - 1);
  if (n > 0) std::memmove(dest, text, static_cast<size_t>(n));
  dest[n] = '\0';
}

}  // namespace iplug
