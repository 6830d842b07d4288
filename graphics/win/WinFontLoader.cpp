#include "graphics/win/WinFontLoader.h"

#include <climits>
#include <string>

#include "graphics/IGraphicsConstants.h"
#include "graphics/TrueTypeFace.h"
#include "graphics/Utf16Text.h"
#include "graphics/nanovg/ResourceLookup.h"
#include "graphics/win/WinFontCaches.h"

namespace igraphics {

namespace {

constexpr LONG kRegularWeight = FW_NORMAL;  // 400
constexpr LONG kBoldWeight = FW_BOLD;       // 700

// A face name that fits LOGFONTW; false (nothing made) for a longer family.
bool FontDescription(const char* family, LONG weight, bool italic, bool underline, LOGFONTW& lf) {
  lf = LOGFONTW{};
  lf.lfWeight = weight;
  lf.lfItalic = italic ? TRUE : FALSE;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  return Utf8ToUtf16(family, lf.lfFaceName, LF_FACESIZE) > 0;
}

int CALLBACK OnFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool FamilyInstalled(const LOGFONTW& wanted) {
  bool found = false;
  if (HDC dc = CreateCompatibleDC(nullptr)) {
    LOGFONTW query = wanted;
    EnumFontFamiliesExW(dc, &query, &OnFamily, reinterpret_cast<LPARAM>(&found), 0);
    DeleteDC(dc);
  }
  return found;
}

// The font of the description, or null when GDI would draw it with another family.
HFONT CreateExactFont(const LOGFONTW& lf) {
  HFONT font = CreateFontIndirectW(&lf);
  if (font && WinFontLoader::FaceOf(font) != lf.lfFaceName) {
    DeleteObject(font);
    return nullptr;
  }
  return font;
}

const char* StyleText(int style) {
  switch (style) {
    case kTextStyleBold: return "Bold";
    case kTextStyleItalic: return "Italic";
    default: return "Regular";
  }
}

// A read-only view of a whole file, closed with the object.
class MappedFile {
public:
  explicit MappedFile(const char* path) {
    mFile = CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size{};
    if (mFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(mFile, &size) || size.QuadPart <= 0 ||
        size.QuadPart > INT_MAX)
      return;
    mMapping = CreateFileMappingW(mFile, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mMapping) mView = MapViewOfFile(mMapping, FILE_MAP_READ, 0, 0, 0);
    if (mView) mSize = static_cast<int>(size.QuadPart);
  }
  ~MappedFile() {
    if (mView) UnmapViewOfFile(mView);
    if (mMapping) CloseHandle(mMapping);
    if (mFile != INVALID_HANDLE_VALUE) CloseHandle(mFile);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const void* Data() const { return mView; }
  int Size() const { return mSize; }

private:
  HANDLE mFile = INVALID_HANDLE_VALUE;
  HANDLE mMapping = nullptr;
  const void* mView = nullptr;
  int mSize = 0;
};

}  // namespace

std::wstring WinFontLoader::FaceOf(HFONT font) {
  wchar_t face[LF_FACESIZE] = {};
  if (HDC dc = CreateCompatibleDC(nullptr)) {
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    DeleteDC(dc);
  }
  return face;
}

std::unique_ptr<WinPlatformFont> WinFontLoader::LoadByName(const char* family, int style) {
  LOGFONTW lf;
  if (!FontDescription(family, style == kTextStyleBold ? kBoldWeight : kRegularWeight, style == kTextStyleItalic,
                       false, lf) ||
      !FamilyInstalled(lf))
    return nullptr;
  HFONT font = CreateExactFont(lf);
  return font ? std::make_unique<WinPlatformFont>(font, true, StyleText(style)) : nullptr;
}

std::unique_ptr<WinPlatformFont> WinFontLoader::LoadFromMemory(const char* fontID, const void* data, int size) {
  if (!data || size <= 0) return nullptr;
  const TrueTypeFace face(data, size, TrueTypeFace::FindDrawableFace(data, size));
  const int styleBits = face.StyleBits();
  LOGFONTW lf;
  if (!FontDescription(face.FamilyName().c_str(), styleBits & TrueTypeFace::kBold ? kBoldWeight : kRegularWeight,
                       styleBits & TrueTypeFace::kItalic, styleBits & TrueTypeFace::kUnderline, lf))
    return nullptr;

  WinFontCaches& caches = WinFontCaches::Instance();
  std::lock_guard lock(caches.MemoryFontsMutex());
  // A font id registers its bytes once: editors opened again reuse the registration.
  HANDLE registration = nullptr;
  if (!caches.HasMemoryFont(fontID)) {
    DWORD nFonts = 0;
    registration = AddFontMemResourceEx(const_cast<void*>(data), static_cast<DWORD>(size), nullptr, &nFonts);
    if (!registration) return nullptr;
  }
  HFONT font = CreateExactFont(lf);
  if (!font) {
    if (registration) RemoveFontMemResourceEx(registration);
    return nullptr;
  }
  if (registration) caches.AddMemoryFont(fontID, registration);
  return std::make_unique<WinPlatformFont>(font, false, "");
}

std::unique_ptr<WinPlatformFont> WinFontLoader::LoadFromFileOrResource(const char* fontID, const char* name,
                                                                       void* module) {
  iplug::TextBuffer found;
  switch (LocateModuleResource(name, "ttf", found, module)) {
    case kWinBinary: {
      int size = 0;
      const void* data = LoadWinResource(found.Get(), "ttf", size, module);
      return LoadFromMemory(fontID, data, size);
    }
    case kAbsolutePath: {
      // The system copies the bytes it registers: the view can go afterwards.
      const MappedFile file(found.Get());
      return LoadFromMemory(fontID, file.Data(), file.Size());
    }
    default: return nullptr;
  }
}

void WinFontLoader::Cache(const char* fontID, const PlatformFont& font) {
  if (const auto* winFont = dynamic_cast<const WinPlatformFont*>(&font))
    WinFontCaches::Instance().CacheSystemFont(fontID, winFont->GetHFont());
}

}  // namespace igraphics
