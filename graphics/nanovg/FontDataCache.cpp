#include "graphics/nanovg/FontDataCache.h"

namespace igraphics {

FontDataCache& FontDataCache::Instance() {
  static FontDataCache cache;
  return cache;
}

FontDataCache::Font* FontDataCache::Find(const char* fontID) {
  for (Entry& e : mEntries)
    if (e.mID == (fontID ? fontID : "")) return e.mFont.get();
  return nullptr;
}

FontDataCache::Font* FontDataCache::Add(const char* fontID, const void* data, int size, int faceIdx) {
  auto font = std::make_unique<Font>();
  const auto* bytes = static_cast<const unsigned char*>(data);
  font->mData.assign(bytes, bytes + size);
  font->mFaceIdx = faceIdx;
  mEntries.push_back(Entry{fontID ? fontID : "", std::move(font)});
  return mEntries.back().mFont.get();
}

void FontDataCache::Remove(const Font* font) {
  for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
    if (it->mFont.get() == font) {
      mEntries.erase(it);
      return;
    }
  }
}

void FontDataCache::AddContext() {
  std::lock_guard lock(mMutex);
  ++mLiveContexts;
}

void FontDataCache::RemoveContext() {
  std::lock_guard lock(mMutex);
  if (--mLiveContexts <= 0) {
    mLiveContexts = 0;
    mEntries.clear();
  }
}

int FontDataCache::Size() {
  std::lock_guard lock(mMutex);
  return static_cast<int>(mEntries.size());
}

}  // namespace igraphics
