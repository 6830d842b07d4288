#include "graphics/TextEntryFilter.h"

namespace igraphics {

bool TextEntryFilter::Accepts(const iplug::IParam* param, char32_t c) {
  if (!param || c == kBackspace) return true;
  const bool numeral = (c >= U'0' && c <= U'9') || c == U'+' || c == U'-';
  switch (param->Type()) {
    case iplug::IParam::kTypeBool:
    case iplug::IParam::kTypeInt:
    case iplug::IParam::kTypeEnum: return numeral;
    case iplug::IParam::kTypeDouble: return numeral || c == U'.';
    default: return true;
  }
}

}  // namespace igraphics
