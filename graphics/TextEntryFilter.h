#pragma once

#include "IPlug/IParam.h"

namespace igraphics {

// Which characters the platform's edit box takes while a parameter's value is typed into it:
// the ones the parameter's text reading can use, refused as they are typed rather than after
// a commit. Digits, "+" and "-" for switches, integers and lists; also "." for continuous
// values; anything for other kinds and when no parameter is edited. Backspace always passes:
// it edits the text, it is not typed into it.
//
// Threads: any (it reads only the parameter's kind).
class TextEntryFilter {
public:
  static constexpr char32_t kBackspace = 8;

  static bool Accepts(const iplug::IParam* param, char32_t c);
};

}  // namespace igraphics
