// The font object that IGraphics::LoadPlatformFont returns on Windows.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "graphics/PlatformFont.h"

namespace igraphics {

// A GDI font (deleted with this object), whether it is a system font found by its family name,
// and its style text ("Regular", "Bold" or "Italic" for system fonts, "" for fonts from
// bytes). Its bytes are read back from GDI on the first GetFontData: the whole collection when
// the font belongs to one, else the single font, with the face whose style name matches the
// style text (any style name when the text is empty).
//
// Threads: the editor's UI thread.
class WinPlatformFont final : public PlatformFont {
public:
  // Takes the font.
  WinPlatformFont(HFONT font, bool isSystem, const char* style);
  ~WinPlatformFont() override;
  WinPlatformFont(const WinPlatformFont&) = delete;
  WinPlatformFont& operator=(const WinPlatformFont&) = delete;

  HFONT GetHFont() const { return mFont; }
  bool IsSystem() const { return mIsSystem; }
  const char* GetStyle() const { return mStyle.c_str(); }
  // Invalid (no face) when GDI cannot give the whole font.
  FontDataView GetFontData() const override;

private:
  HFONT mFont;
  bool mIsSystem;
  std::string mStyle;
  mutable bool mRead = false;
  mutable std::vector<unsigned char> mData;
  mutable int mFaceIdx = -1;
};

}  // namespace igraphics
