#pragma once
#include <cstdarg>

#include "IPlug/GrowableBuffer.h"

namespace iplug {

// The framework's growable NUL-terminated text (granularity 128).
// An empty buffer reads as "". Formatting with a limit n keeps at most n characters.
class TextBuffer {
public:
  TextBuffer() = default;
  explicit TextBuffer(const char* text, int maxLen = -1) { Set(text, maxLen); }

  const char* Get() const;
  int GetLength() const;
  bool Empty() const { return GetLength() == 0; }

  // Copies at most maxLen characters of text (all of it when maxLen is negative).
  void Set(const char* text, int maxLen = -1);
  void Append(const char* text, int maxLen = -1);
  // printf-style; the result is cut at maxLen characters.
  void SetFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void AppendFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void SetFormattedV(int maxLen, const char* format, va_list args);
  void AppendFormattedV(int maxLen, const char* format, va_list args);

  bool operator==(const char* text) const;

private:
  char* Reserve(int length);

  GrowableBuffer mBuffer{GrowableBuffer::kTextGranularity};
};

}  // namespace iplug
