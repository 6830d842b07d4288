#pragma once
#include <memory>
#include <vector>

#include "graphics/PlatformFont.h"

namespace igraphics {

// A font given as TrueType bytes: a module resource used in place, or a copy of a file or of
// caller-supplied bytes. The face is the first one (of a single font or a collection) that
// carries the tables text drawing needs.
class MemoryFont final : public PlatformFont {
public:
  // Bytes that outlive the font (a module resource).
  static std::unique_ptr<MemoryFont> InPlace(const void* data, int size);
  // A copy of the bytes.
  static std::unique_ptr<MemoryFont> Copy(const void* data, int size);
  // The TrueType font a name finds among the module's resources (used in place) or as a
  // file (copied); null when it finds none or the file cannot be read.
  static std::unique_ptr<MemoryFont> FromModule(const char* fileNameOrResID, void* module);

  FontDataView GetFontData() const override;

  // The index of the first face with "head", "name" and "hhea" tables, or -1.
  static int FindFace(const unsigned char* data, int size);

private:
  MemoryFont() = default;

  std::vector<unsigned char> mOwned;
  const unsigned char* mInPlace = nullptr;
  int mSize = 0;
  int mFaceIdx = -1;
};

}  // namespace igraphics
