#pragma once
#include "IPlug/TextBuffer.h"

namespace igraphics {

// Sets a text buffer from a C string (null counts as empty). An empty buffer reads as a
// shared "" literal, so setting it from "" would look like setting it from its own text;
// an empty text therefore just resets the buffer.
inline void AssignText(iplug::TextBuffer& buffer, const char* text) {
  if (text && text[0]) {
    buffer.Set(text);
  } else {
    buffer = iplug::TextBuffer();
  }
}

}  // namespace igraphics
