#include "graphics/headless/MemoryFont.h"

#include <cstdint>
#include <cstring>

namespace igraphics {

namespace {

uint32_t Read32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// Whether the font whose table directory starts at `offset` has every table named.
bool HasTables(const unsigned char* data, int size, uint32_t offset) {
  if (offset > static_cast<uint32_t>(size) || static_cast<uint32_t>(size) - offset < 12) return false;
  const int nTables = Read16(data + offset + 4);
  if (offset + 12 + 16u * static_cast<uint32_t>(nTables) > static_cast<uint32_t>(size)) return false;
  bool head = false, name = false, hhea = false;
  for (int i = 0; i < nTables; ++i) {
    const unsigned char* record = data + offset + 12 + 16 * i;
    head = head || std::memcmp(record, "head", 4) == 0;
    name = name || std::memcmp(record, "name", 4) == 0;
    hhea = hhea || std::memcmp(record, "hhea", 4) == 0;
  }
  return head && name && hhea;
}

}  // namespace

int MemoryFont::FindFace(const unsigned char* data, int size) {
  if (!data || size < 12) return -1;
  if (std::memcmp(data, "ttcf", 4) != 0) return HasTables(data, size, 0) ? 0 : -1;
  const uint32_t nFaces = Read32(data + 8);
  for (uint32_t face = 0; face < nFaces; ++face) {
    if (12 + 4 * (face + 1) > static_cast<uint32_t>(size)) return -1;
    if (HasTables(data, size, Read32(data + 12 + 4 * face))) return static_cast<int>(face);
  }
  return -1;
}

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
