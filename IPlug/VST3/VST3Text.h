#pragma once
#include <cstdint>

#include "IPlug/TextBuffer.h"

namespace iplug {

// VST3 texts are UTF-16 in fixed arrays (128 units, v3_str_128); the framework's are UTF-8.
// A text that does not fit is cut at a whole character and always terminated; bytes that are
// not UTF-8 become U+FFFD.
void Utf8ToUtf16(const char* text, int16_t* out, int capacity);
// Reads up to the terminator or `capacity` units, whichever comes first; an unpaired
// surrogate becomes U+FFFD.
void Utf16ToUtf8(const int16_t* text, int capacity, TextBuffer& out);

}  // namespace iplug
