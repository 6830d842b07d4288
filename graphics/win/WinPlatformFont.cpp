#include "graphics/win/WinPlatformFont.h"

#include "graphics/TrueTypeFace.h"

namespace igraphics {

namespace {

// GetFontData's table tags are the four characters in memory order.
constexpr DWORD kCollectionTag = 'f' << 24 | 'c' << 16 | 't' << 8 | 't';  // "ttcf"
constexpr DWORD kWholeFont = 0;

// The bytes of the font selected into dc from the start of the given table ("ttcf": its whole
// collection; 0: the single font). Empty when GDI has no such data.
std::vector<unsigned char> ReadFontBytes(HDC dc, DWORD table) {
  const DWORD size = GetFontData(dc, table, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0) return {};
  std::vector<unsigned char> bytes(size);
  if (GetFontData(dc, table, 0, bytes.data(), size) != size) return {};
  return bytes;
}

}  // namespace

WinPlatformFont::WinPlatformFont(HFONT font, bool isSystem, const char* style)
    : mFont(font), mIsSystem(isSystem), mStyle(style ? style : "") {}

WinPlatformFont::~WinPlatformFont() {
  if (mFont) DeleteObject(mFont);
}

FontDataView WinPlatformFont::GetFontData() const {
  if (!mRead) {
    mRead = true;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
      const HGDIOBJ previous = SelectObject(dc, mFont);
      // Each request asks for its own size, so a face of a collection never gets a buffer
      // sized for the single face.
      mData = ReadFontBytes(dc, kCollectionTag);
      if (mData.empty()) mData = ReadFontBytes(dc, kWholeFont);
      SelectObject(dc, previous);
      DeleteDC(dc);
    }
    const int size = static_cast<int>(mData.size());
    mFaceIdx = TrueTypeFace::FindFaceWithStyle(mData.data(), size, mStyle.c_str());
  }
  return FontDataView{mData.data(), static_cast<int>(mData.size()), mFaceIdx};
}

}  // namespace igraphics
