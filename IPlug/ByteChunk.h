#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "IPlug/GrowableBuffer.h"
#include "IPlug/TextBuffer.h"

namespace iplug {

// Flat bytes for state, presets and host chunks: values in the machine's native
// little-endian layout, back to back, with no type tags.
// Every read takes the position to read from and returns the next one, or -1 on failure,
// so reads chain: once a read fails, every following read with that position fails too.
class ByteChunk {
public:
  ByteChunk() = default;

  // Appends the bytes of a value; returns the size afterwards (unchanged when out of memory).
  template <typename T>
  int Append(const T& value) {
    static_assert(std::is_arithmetic_v<T>, "only plain numbers go into a chunk");
    return AppendBytes(&value, static_cast<int>(sizeof(T)));
  }

  int AppendBytes(const void* data, int size);
  // An int32 length (no terminator counted) followed by the characters.
  int AppendText(const char* text);

  // Copies a value from position start; returns start + sizeof(T), or -1 leaving out untouched.
  template <typename T>
  int Read(T& out, int start) const {
    static_assert(std::is_arithmetic_v<T>, "only plain numbers come out of a chunk");
    const int width = static_cast<int>(sizeof(T));
    if (!Fits(start, width)) return -1;
    std::memcpy(&out, Data() + start, sizeof(T));
    return start + width;
  }

  // Reads an int32 length and that many characters. A length below 1 gives "".
  // Returns the position after the text, or -1 when the length or the text is not all there
  // (the string is then left unchanged).
  int ReadText(TextBuffer& out, int start) const;

  int Size() const { return mBuffer.Size(); }
  int Resize(int newSize);
  void Clear() { mBuffer.Resize(0); }
  uint8_t* Data() { return static_cast<uint8_t*>(mBuffer.Data()); }
  const uint8_t* Data() const { return static_cast<const uint8_t*>(mBuffer.Data()); }

  bool IsEqual(const ByteChunk& other) const;

private:
  bool Fits(int start, int width) const {
    return start >= 0 && static_cast<int64_t>(start) + width <= Size();
  }

  GrowableBuffer mBuffer{GrowableBuffer::kChunkGranularity};
};

}  // namespace iplug
