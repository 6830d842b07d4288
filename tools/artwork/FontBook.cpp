#include "FontBook.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace artwork {

namespace {

const char* FontFile(Font font)
{
  switch (font) {
  case Font::Regular: return "RobotoTTF/Roboto-Regular.ttf";
  case Font::Medium: return "RobotoTTF/Roboto-Medium.ttf";
  case Font::Bold: return "RobotoTTF/Roboto-Bold.ttf";
  case Font::Light: return "RobotoTTF/Roboto-Light.ttf";
  case Font::Condensed: return "RobotoCondensed-Regular.ttf";
  case Font::CondensedMedium: return "RobotoCondensed-Medium.ttf";
  case Font::CondensedBold: return "RobotoCondensed-Bold.ttf";
  case Font::kCount: break;
  }
  return "";
}

const cairo_user_data_key_t kOwnedFtFace = {};

void ReleaseFtFace(void* face)
{
  FT_Done_Face(static_cast<FT_Face>(face));
}

}  // namespace

FontBook::FontBook(const std::string& robotoDir)
{
  if (FT_Init_FreeType(&mLibrary) != 0)
    throw std::runtime_error("cannot initialise FreeType");
  for (int i = 0; i < int(Font::kCount); ++i) {
    const std::string path = robotoDir + "/" + FontFile(Font(i));
    FT_Face ftFace = nullptr;
    if (FT_New_Face(mLibrary, path.c_str(), 0, &ftFace) != 0) {
      Release();
      throw std::runtime_error("cannot read font " + path);
    }
    mFaces[i] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    // cairo may keep a face in its caches after our last reference, so the FreeType face
    // lives exactly as long as the cairo face that uses it.
    cairo_font_face_set_user_data(mFaces[i], &kOwnedFtFace, ftFace, ReleaseFtFace);
  }
}

FontBook::~FontBook()
{
  Release();
}

void FontBook::Release()
{
  for (cairo_font_face_t*& face : mFaces) {
    if (face)
      cairo_font_face_destroy(face);
    face = nullptr;
  }
  // The FreeType library stays open until the process ends: faces still in cairo's caches
  // release themselves through it.
}

void FontBook::ApplyRenderingOptions(cairo_t* cr)
{
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace artwork
