#include "graphics/nanovg/MemoryFont.h"

#include <cstdio>

#include "graphics/IGraphicsConstants.h"
#include "graphics/TrueTypeFace.h"
#include "graphics/nanovg/ResourceLookup.h"

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

std::unique_ptr<MemoryFont> MemoryFont::FromModule(const char* fileNameOrResID, void* module) {
  iplug::TextBuffer found;
  const int location = LocateModuleResource(fileNameOrResID, "ttf", found, module);
  if (location == kWinBinary) {
    int size = 0;
    const void* data = LoadWinResource(found.Get(), "ttf", size, module);
    return data ? InPlace(data, size) : nullptr;
  }
  if (location != kAbsolutePath) return nullptr;
  std::FILE* file = std::fopen(found.Get(), "rb");
  if (!file) return nullptr;
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(file);
  return bytes.empty() ? nullptr : Copy(bytes.data(), static_cast<int>(bytes.size()));
}

FontDataView MemoryFont::GetFontData() const {
  return FontDataView{mInPlace ? mInPlace : mOwned.data(), mSize, mFaceIdx};
}

}  // namespace igraphics
