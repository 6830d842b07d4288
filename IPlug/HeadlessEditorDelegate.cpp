#include "IPlug/HeadlessEditorDelegate.h"

namespace iplug {

namespace {
template <typename T>
bool AppendGrows(ByteChunk& chunk, T value) {
  const int before = chunk.Size();
  return chunk.Append(value) == before + static_cast<int>(sizeof(T));
}
}  // namespace

bool HeadlessEditorDelegate::WriteEditorGeometry(ByteChunk& chunk) const {
  return AppendGrows(chunk, mSavedWidth) && AppendGrows(chunk, mSavedHeight) && AppendGrows(chunk, mSavedScale);
}

int HeadlessEditorDelegate::ReadEditorGeometry(const ByteChunk& chunk, int startPos) {
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.0f;
  int pos = chunk.Read(width, startPos);
  pos = chunk.Read(height, pos);
  pos = chunk.Read(scale, pos);
  if (pos >= 0) {
    mSavedWidth = width;
    mSavedHeight = height;
    mSavedScale = scale;
  }
  return pos;
}

}  // namespace iplug
