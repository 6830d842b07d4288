#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "graphics/APIBitmap.h"

namespace igraphics {

// The bitmaps one graphics context has loaded, keyed by (name, scale). It owns them; handles
// (IBitmapRef) to them become invalid when the cache is cleared.
// Threads: the UI thread; the lock guards loading against teardown.
class BitmapCache {
public:
  // The key text "name-2.0x" and its 64-bit FNV-1a hash.
  static std::string KeyText(const char* name, double scale);
  static uint64_t Hash(const std::string& text);

  std::recursive_mutex& Mutex() const { return mMutex; }

  // The caller holds the lock.
  APIBitmap* Find(const char* name, double scale) const;
  APIBitmap* Add(std::unique_ptr<APIBitmap> bitmap, const char* name, double scale);
  void Clear();
  int Size() const { return static_cast<int>(mEntries.size()); }

private:
  struct Entry {
    uint64_t mHash;
    std::string mName;
    double mScale;
    std::unique_ptr<APIBitmap> mBitmap;
  };

  mutable std::recursive_mutex mMutex;
  std::vector<Entry> mEntries;
};

}  // namespace igraphics
