#include "IPlug/ByteChunk.h"

#include <climits>

namespace iplug {

int ByteChunk::AppendBytes(const void* data, int size) {
  const int oldSize = Size();
  if (size <= 0 || !data) return oldSize;
  if (static_cast<int64_t>(oldSize) + size > INT_MAX) return oldSize;
  mBuffer.Resize(oldSize + size);
  if (Size() != oldSize + size) return oldSize;  // no memory: the chunk keeps what it had
  std::memcpy(Data() + oldSize, data, static_cast<size_t>(size));
  return Size();
}

int ByteChunk::AppendText(const char* text) {
  const int32_t length = text ? static_cast<int32_t>(std::strlen(text)) : 0;
  const int before = Size();
  if (Append(length) == before) return before;
  return AppendBytes(text, length);
}

int ByteChunk::ReadText(TextBuffer& out, int start) const {
  int32_t length = 0;
  const int pos = Read(length, start);
  if (pos < 0) return -1;
  // A negative or oversized length is damage, not text: refuse it rather than moving the
  // position backwards or past the end, which would derail any chained reader.
  if (length < 0 || !Fits(pos, length)) return -1;
  if (length < 1)
    out.Set("");
  else
    out.Set(reinterpret_cast<const char*>(Data() + pos), length);
  return pos + length;
}

int ByteChunk::Resize(int newSize) {
  mBuffer.Resize(newSize);
  return Size();
}

bool ByteChunk::IsEqual(const ByteChunk& other) const {
  return Size() == other.Size() && (Size() == 0 || std::memcmp(Data(), other.Data(), Size()) == 0);
}

}  // namespace iplug
