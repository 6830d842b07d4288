#pragma once
#include <cstring>

#include "graphics/IColor.h"

namespace igraphics {

enum EAlign { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
enum EVAlign { kVAlignTop = 0, kVAlignMiddle = 1, kVAlignBottom = 2 };

inline constexpr const char* kDefaultFont = "Roboto-Regular";

// How a text is drawn; the font names one loaded with LoadFont.
struct ITextStyle {
  static constexpr int kMaxFontName = 64;  // including the terminator

  ITextStyle() { SetFont(kDefaultFont); }
  ITextStyle(float size, IColor fg = kColorBlack, const char* font = kDefaultFont, int align = kAlignCenter,
             int valign = kVAlignMiddle)
      : mSize(size), mFGColor(fg), mAlign(align), mVAlign(valign) {
    SetFont(font);
  }

  void SetFont(const char* font) {
    std::strncpy(mFont, font ? font : "", kMaxFontName - 1);
    mFont[kMaxFontName - 1] = '\0';
  }

  char mFont[kMaxFontName] = {};
  float mSize = 14.f;
  IColor mFGColor = kColorBlack;
  IColor mTextEntryBGColor = kColorWhite;
  IColor mTextEntryFGColor = kColorBlack;
  float mAngle = 0.f;  // degrees, 0 is horizontal
  int mAlign = kAlignCenter;
  int mVAlign = kVAlignMiddle;
};

}  // namespace igraphics
