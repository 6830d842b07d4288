#include "graphics/PlatformFontCache.h"

namespace igraphics {

void PlatformFontCache::Add(const char* fontID, std::unique_ptr<PlatformFont> font) {
  if (!font || Find(fontID)) return;
  mFonts.emplace_back(fontID ? fontID : "", std::move(font));
}

const PlatformFont* PlatformFontCache::Find(const char* fontID) const {
  const std::string id = fontID ? fontID : "";
  for (const auto& entry : mFonts)
    if (entry.first == id) return entry.second.get();
  return nullptr;
}

}  // namespace igraphics
