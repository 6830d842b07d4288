#pragma once
#include "Colour.h"
#include "FontBook.h"

#include <string>

namespace artwork {

enum class Align { Left, Centre, Right };

struct TextStyle {
  Font font = Font::Regular;
  double size = 8;      // em size in logical units
  double tracking = 0;  // extra space after every glyph, in logical units
  Colour colour;
  double alpha = 1.0;
};

// Sets single lines of text with optional letter spacing, the way panel legends are set.
class Typesetter {
public:
  explicit Typesetter(const FontBook& fonts) : mFonts(fonts) {}

  double Width(cairo_t* cr, const TextStyle& style, const std::string& text) const;
  // Height of a capital letter, used to centre legends optically.
  double CapHeight(cairo_t* cr, const TextStyle& style) const;

  // y is the baseline.
  void Draw(cairo_t* cr, const TextStyle& style, const std::string& text, double x, double y, Align align) const;
  // Centres the text's capitals on (cx, cy).
  void DrawCentred(cairo_t* cr, const TextStyle& style, const std::string& text, double cx, double cy) const;

private:
  void Select(cairo_t* cr, const TextStyle& style) const;

  const FontBook& mFonts;
};

}  // namespace artwork
