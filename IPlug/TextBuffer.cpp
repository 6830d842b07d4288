#include "IPlug/TextBuffer.h"

#include <cstdio>
#include <cstring>

namespace iplug {

const char* TextBuffer::Get() const {
  return mBuffer.Size() > 0 ? static_cast<const char*>(mBuffer.Data()) : "";
}

int TextBuffer::GetLength() const { return static_cast<int>(std::strlen(Get())); }

char* TextBuffer::Reserve(int length) {
  // The terminator lives inside the used size, so Get() never reads past it.
  return static_cast<char*>(mBuffer.Resize(length + 1, false));
}

void TextBuffer::Set(const char* text, int maxLen) {
  if (!text) text = "";
  // With a limit the text need not be terminated within it (chunk bytes are not), so the
  // search for the terminator stops at the limit.
  size_t len;
  if (maxLen >= 0) {
    const void* nul = std::memchr(text, '\0', static_cast<size_t>(maxLen));
    len = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : static_cast<size_t>(maxLen);
  } else {
    len = std::strlen(text);
  }
  // Setting from our own text. An empty buffer owns no text: its "" may be the very
  // literal the caller passes, and copying that would recurse forever.
  if (mBuffer.Size() > 0 && text >= Get() && text <= Get() + GetLength()) {
    TextBuffer copy(text, static_cast<int>(len));
    *this = copy;
    return;
  }
  char* p = Reserve(static_cast<int>(len));
  if (!p || mBuffer.Size() != static_cast<int>(len) + 1) return;
  std::memcpy(p, text, len);
  p[len] = '\0';
}

void TextBuffer::Append(const char* text, int maxLen) {
  if (!text || !*text) return;
  TextBuffer tail(text, maxLen);
  const int oldLen = GetLength();
  const int addLen = tail.GetLength();
  char* p = Reserve(oldLen + addLen);
  if (!p || mBuffer.Size() != oldLen + addLen + 1) return;
  std::memcpy(p + oldLen, tail.Get(), static_cast<size_t>(addLen) + 1);
}

void TextBuffer::SetFormattedV(int maxLen, const char* format, va_list args) {
  if (maxLen < 0) maxLen = 0;
  char* p = Reserve(maxLen);
  if (!p || mBuffer.Size() != maxLen + 1) return;
  std::vsnprintf(p, static_cast<size_t>(maxLen) + 1, format, args);
  // Give back the unused room so the used size tracks the text.
  Reserve(static_cast<int>(std::strlen(p)));
}

void TextBuffer::AppendFormattedV(int maxLen, const char* format, va_list args) {
  TextBuffer tail;
  tail.SetFormattedV(maxLen, format, args);
  Append(tail.Get());
}

void TextBuffer::SetFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SetFormattedV(maxLen, format, args);
  va_end(args);
}

void TextBuffer::AppendFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormattedV(maxLen, format, args);
  va_end(args);
}

bool TextBuffer::operator==(const char* text) const { return std::strcmp(Get(), text ? text : "") == 0; }

}  // namespace iplug
