#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/PlatformFont.h"

namespace igraphics {

// The platform fonts an editor loaded, by font id, kept for as long as the editor lives (the
// drawing back end registered their bytes, which must stay valid). The first font stored
// under an id stays; a null id counts as the empty one.
//
// Threads: the editor's UI thread.
class PlatformFontCache {
public:
  // Stores the font unless one is stored under that id already (a null font is not stored).
  void Add(const char* fontID, std::unique_ptr<PlatformFont> font);
  // The font stored under the id, or null.
  const PlatformFont* Find(const char* fontID) const;
  int Size() const { return static_cast<int>(mFonts.size()); }

private:
  std::vector<std::pair<std::string, std::unique_ptr<PlatformFont>>> mFonts;
};

}  // namespace igraphics
