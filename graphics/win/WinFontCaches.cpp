#include "graphics/win/WinFontCaches.h"

#include <algorithm>

namespace igraphics {

namespace {

template <typename Entries>
auto FindEntry(Entries& entries, const char* fontID) {
  const std::string id = fontID ? fontID : "";
  return std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.mID == id; });
}

}  // namespace

WinFontCaches& WinFontCaches::Instance() {
  static WinFontCaches caches;
  return caches;
}

bool WinFontCaches::HasMemoryFont(const char* fontID) const {
  return FindEntry(mMemoryFonts, fontID) != mMemoryFonts.end();
}

void WinFontCaches::AddMemoryFont(const char* fontID, HANDLE registration) {
  mMemoryFonts.push_back({fontID ? fontID : "", registration});
}

void WinFontCaches::CacheSystemFont(const char* fontID, HFONT font) {
  std::lock_guard lock(mSystemMutex);
  if (!font || FindEntry(mSystemFonts, fontID) != mSystemFonts.end()) return;
  LOGFONTW description{};
  if (GetObjectW(font, sizeof(description), &description) != sizeof(description)) return;
  if (HFONT copy = CreateFontIndirectW(&description)) mSystemFonts.push_back({fontID ? fontID : "", copy});
}

bool WinFontCaches::GetCachedLogFont(const char* fontID, LOGFONTW& out) {
  std::lock_guard lock(mSystemMutex);
  const auto it = FindEntry(mSystemFonts, fontID);
  return it != mSystemFonts.end() && GetObjectW(it->mHandle, sizeof(out), &out) == sizeof(out);
}

int WinFontCaches::NUsers() {
  std::lock_guard lock(mUsersMutex);
  return mUsers;
}

int WinFontCaches::NMemoryFonts() {
  std::lock_guard lock(mMemoryMutex);
  return static_cast<int>(mMemoryFonts.size());
}

int WinFontCaches::NSystemFonts() {
  std::lock_guard lock(mSystemMutex);
  return static_cast<int>(mSystemFonts.size());
}

void WinFontCaches::AddUser() {
  std::lock_guard lock(mUsersMutex);
  ++mUsers;
}

void WinFontCaches::RemoveUser() {
  std::lock_guard lock(mUsersMutex);
  if (mUsers > 0 && --mUsers == 0) Clear();
}

void WinFontCaches::Clear() {
  {
    std::lock_guard lock(mMemoryMutex);
    for (const auto& e : mMemoryFonts) RemoveFontMemResourceEx(e.mHandle);
    mMemoryFonts.clear();
  }
  std::lock_guard lock(mSystemMutex);
  for (const auto& e : mSystemFonts) DeleteObject(e.mHandle);
  mSystemFonts.clear();
}

}  // namespace igraphics
