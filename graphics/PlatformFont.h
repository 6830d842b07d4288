#pragma once

namespace igraphics {

enum ETextStyle { kTextStyleNormal = 0, kTextStyleBold = 1, kTextStyleItalic = 2 };

// Font bytes as the platform found them: a view, valid while the PlatformFont lives.
struct FontDataView {
  const void* mData = nullptr;
  int mSize = 0;
  int mFaceIdx = -1;  // -1 when the face could not be found

  bool IsValid() const { return mData && mSize > 0 && mFaceIdx >= 0; }
};

// A font as the platform loaded it (a module resource, a mapped file or a system font).
// The drawing back end registers its bytes; the platform keeps the object for its own use.
class PlatformFont {
public:
  virtual ~PlatformFont() = default;
  virtual FontDataView GetFontData() const = 0;
};

}  // namespace igraphics
