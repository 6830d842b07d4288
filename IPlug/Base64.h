#pragma once
#include <cstdint>
#include <string>

namespace iplug {

// Standard base64 (RFC 4648 alphabet, "=" padding), as preset blobs in source dumps use it.
class Base64 {
public:
  // The encoding of size bytes; an incomplete final group is completed with "=".
  static std::string Encode(const uint8_t* data, int size);

  // Decodes into out[0 .. size): decoding stops at the first character outside the alphabet
  // ("=" included) or when out is full; bytes not produced keep their value. Returns the
  // number of bytes produced.
  static int Decode(const char* text, uint8_t* out, int size);
};

}  // namespace iplug
