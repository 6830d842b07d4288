#include "graphics/nanovg/BitmapCache.h"

#include <cstdio>

namespace igraphics {

std::string BitmapCache::KeyText(const char* name, double scale) {
  char suffix[64];
  std::snprintf(suffix, sizeof(suffix), "-%.1fx", scale);
  return std::string(name ? name : "") + suffix;
}

uint64_t BitmapCache::Hash(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

APIBitmap* BitmapCache::Find(const char* name, double scale) const {
  const std::string key = KeyText(name, scale);
  const uint64_t hash = Hash(key);
  for (const Entry& e : mEntries)
    if (e.mHash == hash && KeyText(e.mName.c_str(), e.mScale) == key) return e.mBitmap.get();
  return nullptr;
}

APIBitmap* BitmapCache::Add(std::unique_ptr<APIBitmap> bitmap, const char* name, double scale) {
  if (!bitmap) return nullptr;
  APIBitmap* raw = bitmap.get();
  mEntries.push_back(Entry{Hash(KeyText(name, scale)), name ? name : "", scale, std::move(bitmap)});
  return raw;
}

void BitmapCache::Clear() { mEntries.clear(); }

}  // namespace igraphics
