// Resources of the graphics context: the resource search, bitmap loading through the
// process-wide cache, SVG loading and fonts.
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "graphics/GraphicsCaches.h"
#include "graphics/IGraphics.h"

namespace igraphics {

namespace {

// "knob.png" at scale 2 is "knob@2x.png"; the suffix goes before the extension of the last
// path component, or at the end when it has none.
std::string VariantName(const char* name, int scale) {
  std::string s(name);
  if (scale == 1) return s;
  const size_t slash = s.find_last_of("/\\");
  const size_t dot = s.find_last_of('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExt ? s.substr(0, dot) : s;
  const std::string ext = hasExt ? s.substr(dot) : std::string();
  return stem + "@" + std::to_string(scale) + "x" + ext;
}

std::string Extension(const char* name) {
  const char* dot = std::strrchr(name, '.');
  return dot ? std::string(dot + 1) : std::string();
}

}  // namespace

int IGraphics::SearchImageResource(const char* name, const char* type, iplug::TextBuffer& result, int targetScale,
                                   int& sourceScale) {
  // Order of tries: the target, then 3, then the neighbours downwards: a target of 1 tries
  // 1, 3, 2; of 2 tries 2, 3, 1; of 4 tries 4, 3, 2, 1.
  for (int s = targetScale;;) {
    sourceScale = s;
    if (s <= 0) return kNotFound;
    const int location = LocateResource(VariantName(name ? name : "", s).c_str(), type, result, GetBundleID(),
                                        GetWinModuleHandle(), mSharedResourcesSubPath.Get());
    if (location != kNotFound) return location;
    if (s == targetScale && targetScale != 3) {
      s = 3;
    } else if (s == targetScale + 1) {
      s = targetScale - 1;
    } else {
      s = s - 1;
    }
  }
}

IBitmapRef IGraphics::LoadBitmap(const char* name, int nStates, bool framesAreHorizontal, int targetScale) {
  if (!name || !name[0]) return IBitmapRef();
  if (targetScale == 0) targetScale = static_cast<int>(std::ceil(mScreenScale));

  SharedCache<APIBitmap>& cache = ProcessBitmapCache();
  std::lock_guard lock(cache.Mutex());
  APIBitmap* bitmap = cache.Find(name, targetScale);
  if (!bitmap) {
    const std::string ext = Extension(name);
    if (!BitmapExtSupported(ext.c_str())) return IBitmapRef();
    iplug::TextBuffer path;
    int sourceScale = 0;
    const int location = SearchImageResource(name, ext.c_str(), path, targetScale, sourceScale);
    if (location == kNotFound) return IBitmapRef();

    APIBitmap* source = cache.Find(name, sourceScale);
    std::unique_ptr<APIBitmap> loaded;
    if (!source) {
      loaded = LoadAPIBitmap(path.Get(), sourceScale, location, ext.c_str());
      if (!loaded) return IBitmapRef();
      source = loaded.get();
    }
    if (sourceScale != targetScale) {
      const IBitmapRef sourceRef(source, static_cast<int>(source->GetWidth() / source->GetScale()),
                                 static_cast<int>(source->GetHeight() / source->GetScale()), nStates,
                                 framesAreHorizontal, name);
      bitmap = ScaleBitmap(sourceRef, name, targetScale);
      // `loaded` (a temporary) goes now; a cached source stays for its other users.
    } else {
      bitmap = RetainBitmap(std::move(loaded), name);
    }
    if (!bitmap) return IBitmapRef();
  }
  return IBitmapRef(bitmap, static_cast<int>(bitmap->GetWidth() / bitmap->GetScale()),
                    static_cast<int>(bitmap->GetHeight() / bitmap->GetScale()), nStates, framesAreHorizontal, name);
}

IBitmapRef IGraphics::LoadBitmap(const char* name, const void* data, int dataSize, int nStates,
                                 bool framesAreHorizontal, int targetScale) {
  if (!name || !data || dataSize <= 0) return IBitmapRef();
  if (targetScale == 0) targetScale = static_cast<int>(std::ceil(mScreenScale));
  SharedCache<APIBitmap>& cache = ProcessBitmapCache();
  std::lock_guard lock(cache.Mutex());
  APIBitmap* bitmap = cache.Find(name, targetScale);
  if (!bitmap) bitmap = RetainBitmap(LoadAPIBitmap(name, data, dataSize, targetScale), name);
  if (!bitmap) return IBitmapRef();
  return IBitmapRef(bitmap, static_cast<int>(bitmap->GetWidth() / bitmap->GetScale()),
                    static_cast<int>(bitmap->GetHeight() / bitmap->GetScale()), nStates, framesAreHorizontal, name);
}

APIBitmap* IGraphics::ScaleBitmap(const IBitmapRef& bitmap, const char* name, int targetScale) {
  if (!bitmap.IsValid() || targetScale <= 0) return nullptr;
  const int w = bitmap.W() * targetScale;
  const int h = bitmap.H() * targetScale;
  auto target = CreateAPIBitmap(w, h, static_cast<float>(targetScale), 1.0);
  if (!target) return nullptr;
  const IBounds bounds(0.f, 0.f, static_cast<float>(bitmap.W()), static_cast<float>(bitmap.H()));
  PushLayer(std::make_unique<ILayer>(std::move(target), bounds, nullptr, IBounds()));
  DrawBitmap(bitmap, bounds, 0, 0, nullptr);
  std::unique_ptr<ILayer> layer = PopLayer();
  return RetainBitmap(layer->ReleaseAPIBitmap(), name);
}

APIBitmap* IGraphics::RetainBitmap(std::unique_ptr<APIBitmap> bitmap, const char* cacheName) {
  if (!bitmap) return nullptr;
  APIBitmap* raw = bitmap.get();
  SharedCache<APIBitmap>& cache = ProcessBitmapCache();
  std::lock_guard lock(cache.Mutex());
  cache.Add(std::move(bitmap), cacheName, raw->GetScale());
  return raw;
}

void IGraphics::ReleaseBitmap(const IBitmapRef& bitmap) {
  SharedCache<APIBitmap>& cache = ProcessBitmapCache();
  std::lock_guard lock(cache.Mutex());
  cache.Remove(bitmap.GetAPIBitmap());
}

ISVG IGraphics::LoadSVG(const char* name, const void*, int, const char*, float) {
  // No SVG parser in the graphics core: a back end that supports SVG replaces this.
  SharedCache<SVGData>& cache = ProcessSVGCache();
  std::lock_guard lock(cache.Mutex());
  return ISVG{cache.Find(name ? name : "", 1.0)};
}

ISVG IGraphics::LoadSVG(const char* fileName, const char* units, float dpi) {
  return LoadSVG(fileName, nullptr, 0, units, dpi);
}

bool IGraphics::LoadFont(const char* fontID, const void* data, int dataSize) {
  std::unique_ptr<PlatformFont> font = LoadPlatformFont(fontID, data, dataSize);
  if (!font || !LoadAPIFont(fontID, *font)) return false;
  CachePlatformFont(fontID, std::move(font));
  return true;
}

bool IGraphics::LoadFont(const char* fontID, const char* fileNameOrResID) {
  std::unique_ptr<PlatformFont> font = LoadPlatformFont(fontID, fileNameOrResID);
  if (!font || !LoadAPIFont(fontID, *font)) return false;
  CachePlatformFont(fontID, std::move(font));
  return true;
}

}  // namespace igraphics
