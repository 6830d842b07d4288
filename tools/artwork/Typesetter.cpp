#include "Typesetter.h"

#include <vector>

namespace artwork {

namespace {

struct GlyphRun {
  std::vector<cairo_glyph_t> glyphs;
  double width = 0;
};

// Glyphs of the text starting at the origin, spaced by the style's tracking; the width
// leaves out the tracking after the last glyph so centred legends stay centred.
GlyphRun Shape(cairo_t* cr, const TextStyle& style, const std::string& text)
{
  GlyphRun run;
  cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
  cairo_glyph_t* glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(font, 0, 0, text.c_str(), int(text.size()), &glyphs, &count, nullptr, nullptr,
                                       nullptr) != CAIRO_STATUS_SUCCESS)
    return run;
  run.glyphs.assign(glyphs, glyphs + count);
  cairo_glyph_free(glyphs);
  for (int i = 0; i < count; ++i)
    run.glyphs[size_t(i)].x += style.tracking * i;
  if (count > 0) {
    cairo_text_extents_t last;
    cairo_scaled_font_glyph_extents(font, &run.glyphs[size_t(count - 1)], 1, &last);
    run.width = run.glyphs[size_t(count - 1)].x + last.x_advance;
  }
  return run;
}

}  // namespace

void Typesetter::Select(cairo_t* cr, const TextStyle& style) const
{
  FontBook::ApplyRenderingOptions(cr);
  cairo_set_font_face(cr, mFonts.Face(style.font));
  cairo_set_font_size(cr, style.size);
}

double Typesetter::Width(cairo_t* cr, const TextStyle& style, const std::string& text) const
{
  cairo_save(cr);
  Select(cr, style);
  const double width = Shape(cr, style, text).width;
  cairo_restore(cr);
  return width;
}

double Typesetter::CapHeight(cairo_t* cr, const TextStyle& style) const
{
  cairo_save(cr);
  Select(cr, style);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, "H", &extents);
  cairo_restore(cr);
  return -extents.y_bearing;
}

void Typesetter::Draw(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double y,
                      Align align) const
{
  cairo_save(cr);
  Select(cr, style);
  GlyphRun run = Shape(cr, style, text);
  double left = x;
  if (align == Align::Centre)
    left = x - run.width / 2;
  else if (align == Align::Right)
    left = x - run.width;
  for (cairo_glyph_t& glyph : run.glyphs) {
    glyph.x += left;
    glyph.y += y;
  }
  SetSource(cr, style.colour, style.alpha);
  cairo_show_glyphs(cr, run.glyphs.data(), int(run.glyphs.size()));
  cairo_restore(cr);
}

void Typesetter::DrawCentred(cairo_t* cr, const TextStyle& style, const std::string& text, double cx, double cy) const
{
  Draw(cr, style, text, cx, cy + CapHeight(cr, style) / 2, Align::Centre);
}

}  // namespace artwork
