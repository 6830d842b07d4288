#include "host/cli/VST3Text.h"

#include <algorithm>
#include <climits>

#include "IPlug/TextBuffer.h"
#include "IPlug/VST3/VST3Text.h"

namespace tbhost {

// The host and the plug-in's binding speak the same interface: one conversion serves both.
std::string Utf8FromVST3(const int16_t* text, size_t capacity) {
  iplug::TextBuffer utf8;
  iplug::Utf16ToUtf8(text, static_cast<int>(std::min<size_t>(capacity, INT_MAX)), utf8);
  return utf8.Get();
}

void VST3FromUtf8(const std::string& text, int16_t* out, size_t capacity) {
  iplug::Utf8ToUtf16(text.c_str(), out, static_cast<int>(std::min<size_t>(capacity, INT_MAX)));
}

}  // namespace tbhost
