#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace igraphics {

// The font bytes registered with NanoVG, shared by every NanoVG context of the process: a
// font stash reads them in place, so they live until the last context goes.
// Threads: any; every operation takes the lock.
class FontDataCache {
public:
  struct Font {
    std::vector<unsigned char> mData;
    int mFaceIdx = 0;
  };

  static FontDataCache& Instance();

  std::mutex& Mutex() { return mMutex; }
  // The caller holds the lock. The pointer stays valid until the cache empties.
  Font* Find(const char* fontID);
  Font* Add(const char* fontID, const void* data, int size, int faceIdx);
  void Remove(const Font* font);

  void AddContext();
  void RemoveContext();  // empties the cache with the last context
  int Size();

private:
  struct Entry {
    std::string mID;
    std::unique_ptr<Font> mFont;
  };

  std::mutex mMutex;
  std::vector<Entry> mEntries;
  int mLiveContexts = 0;
};

}  // namespace igraphics
