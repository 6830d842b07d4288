// The process-wide font caches behind IGraphics::LoadPlatformFont and
// IGraphics::CachePlatformFont (and the font of the text edit box).
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace igraphics {

// Shared by every editor of the process (several plug-in instances may have editors open at
// once): the fonts registered with the system from memory (font id -> registration) and the
// system fonts kept for the text edit box (font id -> font). Each cache has its own lock. Both
// live while at least one graphics context does: each context holds a User, and the last one
// to go empties them, removing the registrations and deleting the fonts.
//
// Threads: any; the caller holds the cache's lock around the operations that say so.
class WinFontCaches {
public:
  // Held by each graphics context for its lifetime.
  class User {
  public:
    User() { Instance().AddUser(); }
    ~User() { Instance().RemoveUser(); }
    User(const User&) = delete;
    User& operator=(const User&) = delete;
  };

  static WinFontCaches& Instance();

  std::mutex& MemoryFontsMutex() { return mMemoryMutex; }
  // The caller holds MemoryFontsMutex.
  bool HasMemoryFont(const char* fontID) const;
  // The caller holds MemoryFontsMutex. The cache takes the registration.
  void AddMemoryFont(const char* fontID, HANDLE registration);

  // Keeps a copy of the font (same LOGFONTW) under the id unless the id is cached already.
  // Takes the system-font lock.
  void CacheSystemFont(const char* fontID, HFONT font);
  // The description of the cached font, for a copy at another height. False when the id is
  // not cached. Takes the system-font lock.
  bool GetCachedLogFont(const char* fontID, LOGFONTW& out);

  int NUsers();
  int NMemoryFonts();
  int NSystemFonts();

private:
  template <typename Handle>
  struct Entry {
    std::string mID;
    Handle mHandle;
  };

  void AddUser();
  void RemoveUser();
  void Clear();

  std::mutex mMemoryMutex;
  std::vector<Entry<HANDLE>> mMemoryFonts;
  std::mutex mSystemMutex;
  std::vector<Entry<HFONT>> mSystemFonts;
  std::mutex mUsersMutex;
  int mUsers = 0;
};

}  // namespace igraphics
