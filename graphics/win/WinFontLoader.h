// Backs the three IGraphics::LoadPlatformFont forms (by family name, from bytes, from a file
// or module resource) and IGraphics::CachePlatformFont.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "graphics/PlatformFont.h"
#include "graphics/win/WinPlatformFont.h"

namespace igraphics {

// Makes GDI fonts for the editor. Fonts from bytes are registered with the system privately
// (AddFontMemResourceEx) once per font id in the process-wide cache (WinFontCaches), which the
// live graphics contexts keep alive; the family comes from the font's name table and the
// weight, italic and underline from its header. Every form gives null when the font cannot be
// made, or when GDI would substitute another family for the one asked.
//
// Threads: the editor's UI thread; the caches take their own locks.
class WinFontLoader {
public:
  // An installed family: style kTextStyleBold (weight 700), kTextStyleItalic, otherwise
  // regular (400). The font is marked as a system font with the style text "Bold", "Italic"
  // or "Regular".
  static std::unique_ptr<WinPlatformFont> LoadByName(const char* family, int style);
  // TrueType or OpenType bytes (a collection: its first face with the tables text needs).
  static std::unique_ptr<WinPlatformFont> LoadFromMemory(const char* fontID, const void* data, int size);
  // A name found with type "ttf" among the module's resources (its bytes used in place) or
  // else as a file (mapped read-only while it is registered).
  static std::unique_ptr<WinPlatformFont> LoadFromFileOrResource(const char* fontID, const char* name, void* module);
  // Keeps a copy of a font made here under its id for the text edit box; the first font
  // cached under an id stays. Fonts of other platforms are ignored.
  static void Cache(const char* fontID, const PlatformFont& font);

  // The family GDI really uses for a font: what a device context reports after selecting it.
  static std::wstring FaceOf(HFONT font);
};

}  // namespace igraphics
