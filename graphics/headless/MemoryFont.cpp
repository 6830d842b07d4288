#include "graphics/headless/MemoryFont.h"

#include "graphics/TrueTypeFace.h"

namespace igraphics {

int MemoryFont::FindFace(const unsigned char* data, int size) { return TrueTypeFace::FindDrawableFace(data, size); }

std::unique_ptr<MemoryFont> MemoryFont::InPlace(const void* data, int size) {
  std::unique_ptr<MemoryFont> font(new MemoryFont);
  font->mInPlace = static_cast<const unsigned char*>(data);
  font->mSize = data && size > 0 ? size : 0;
  font->mFaceIdx = FindFace(font->mInPlace, font->mSize);
  return font;
}

std::unique_ptr<MemoryFont> MemoryFont::Copy(const void* data, int size) {
  std::unique_ptr<MemoryFont> font(new MemoryFont);
  if (data && size > 0) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    font->mOwned.assign(bytes, bytes + size);
  }
  font->mSize = static_cast<int>(font->mOwned.size());
  font->mFaceIdx = FindFace(font->mOwned.data(), font->mSize);
  return font;
}

FontDataView MemoryFont::GetFontData() const {
  return FontDataView{mInPlace ? mInPlace : mOwned.data(), mSize, mFaceIdx};
}

}  // namespace igraphics
