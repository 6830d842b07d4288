#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace igraphics {

// A process-wide cache of objects keyed by (name, scale), shared by every graphics context.
// It counts the live contexts and deletes everything when the last one goes.
// The lock is recursive: loading holds it while the context calls its own retain hooks.
template <typename T>
class SharedCache {
public:
  std::recursive_mutex& Mutex() { return mMutex; }

  // The caller holds the lock.
  T* Find(const char* name, double scale) const {
    for (const Entry& e : mEntries)
      if (e.mScale == scale && e.mName == name) return e.mData.get();
    return nullptr;
  }
  void Add(std::unique_ptr<T> data, const char* name, double scale) {
    mEntries.push_back(Entry{name ? name : "", scale, std::move(data)});
  }
  // Deletes the object when the cache holds it.
  bool Remove(const T* data) {
    for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
      if (it->mData.get() == data) {
        mEntries.erase(it);
        return true;
      }
    }
    return false;
  }
  int Size() const { return static_cast<int>(mEntries.size()); }

  void AddContext() { ++mLiveContexts; }
  void RemoveContext() {
    if (--mLiveContexts <= 0) {
      mLiveContexts = 0;
      mEntries.clear();
    }
  }

private:
  struct Entry {
    std::string mName;
    double mScale;
    std::unique_ptr<T> mData;
  };

  std::recursive_mutex mMutex;
  std::vector<Entry> mEntries;
  int mLiveContexts = 0;
};

}  // namespace igraphics
