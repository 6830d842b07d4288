#pragma once
#include <cairo.h>
#include <string>

typedef struct FT_LibraryRec_* FT_Library;

namespace artwork {

enum class Font { Regular, Medium, Bold, Light, Condensed, CondensedMedium, CondensedBold, kCount };

// The Roboto faces the panel is lettered with, loaded straight from their files through
// FreeType so the result is the same whatever fontconfig would have substituted.
class FontBook {
public:
  // Throws std::runtime_error when a font file cannot be read.
  explicit FontBook(const std::string& robotoDir);
  ~FontBook();
  FontBook(const FontBook&) = delete;
  FontBook& operator=(const FontBook&) = delete;

  cairo_font_face_t* Face(Font font) const { return mFaces[int(font)]; }

  // Unhinted outlines with greyscale antialiasing: hinting would snap stems differently at
  // every size and position, and subpixel colour fringes are wrong for a bitmap that is scaled.
  static void ApplyRenderingOptions(cairo_t* cr);

private:
  void Release();

  FT_Library mLibrary = nullptr;
  cairo_font_face_t* mFaces[int(Font::kCount)] = {};
};

}  // namespace artwork
