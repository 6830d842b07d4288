#include "graphics/Utf16Text.h"

#include <cstdint>

namespace igraphics {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One code point from NUL-terminated UTF-8 at s[i]; i moves past what was read. A byte that
// cannot continue the sequence (a terminator included) is left for the next call.
char32_t DecodeUtf8(const unsigned char* s, size_t& i) {
  const unsigned char lead = s[i++];
  if (lead < 0x80) return lead;
  int more = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // the range allowed for the second byte
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;  // overlong below U+0800
    if (lead == 0xED) hi = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;  // overlong below U+10000
    if (lead == 0xF4) hi = 0x8F;  // past U+10FFFF
  } else {
    return kReplacement;
  }
  for (int k = 0; k < more; ++k) {
    const unsigned char b = s[i];
    if (b < lo || b > hi) return kReplacement;
    cp = (cp << 6) | (b & 0x3F);
    ++i;
    lo = 0x80;
    hi = 0xBF;
  }
  return cp;
}

// One code point from UTF-16 at s[i] (i < end); unpaired surrogates become U+FFFD.
template <typename C16>
char32_t DecodeUtf16(const C16* s, size_t end, size_t& i) {
  const auto u = static_cast<char32_t>(static_cast<uint16_t>(s[i++]));
  if (u >= 0xD800 && u <= 0xDBFF && i < end) {
    const auto low = static_cast<char32_t>(static_cast<uint16_t>(s[i]));
    if (low >= 0xDC00 && low <= 0xDFFF) {
      ++i;
      return 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  return u >= 0xD800 && u <= 0xDFFF ? kReplacement : u;
}

template <typename C16>
size_t Utf16End(const C16* s, int length) {
  size_t n = 0;
  while ((length < 0 || n < static_cast<size_t>(length)) && s[n] != 0) ++n;
  return n;
}

int Utf8Bytes(char32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

// Calls sink with each code point of the text.
template <typename Sink>
void ForEachInUtf8(const char* utf8, Sink&& sink) {
  if (!utf8) return;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8);
  for (size_t i = 0; s[i] != 0;) sink(DecodeUtf8(s, i));
}

template <typename C16, typename Sink>
void ForEachInUtf16(const C16* utf16, int length, Sink&& sink) {
  if (!utf16) return;
  const size_t end = Utf16End(utf16, length);
  for (size_t i = 0; i < end;) sink(DecodeUtf16(utf16, end, i));
}

template <typename C16>
void PutUtf16(char32_t cp, C16* dst, int& n) {
  if (cp < 0x10000) {
    dst[n++] = static_cast<C16>(cp);
  } else {
    dst[n++] = static_cast<C16>(0xD800 + ((cp - 0x10000) >> 10));
    dst[n++] = static_cast<C16>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
}

void PutUtf8(char32_t cp, char* dst, int& n) {
  const int bytes = Utf8Bytes(cp);
  static constexpr unsigned char kLead[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
  for (int k = bytes - 1; k > 0; --k) {
    dst[n + k] = static_cast<char>(0x80 | (cp & 0x3F));
    cp >>= 6;
  }
  dst[n] = static_cast<char>(kLead[bytes] | cp);
  n += bytes;
}

// Empties dst (when it has room for a terminator) and reports the overflow.
template <typename C>
int NothingFits(C* dst, int capacity) {
  if (dst && capacity > 0) dst[0] = 0;
  return -1;
}

template <typename C16>
int ToUtf16Bounded(const char* utf8, C16* dst, int capacity) {
  const int needed = Utf16Length(utf8);
  if (!dst || needed >= capacity) return NothingFits(dst, capacity);
  int n = 0;
  ForEachInUtf8(utf8, [&](char32_t cp) { PutUtf16(cp, dst, n); });
  dst[n] = 0;
  return n;
}

template <typename C16>
int Utf8LengthOf(const C16* utf16, int length) {
  int n = 0;
  ForEachInUtf16(utf16, length, [&](char32_t cp) { n += Utf8Bytes(cp); });
  return n;
}

template <typename C16>
int ToUtf8Bounded(const C16* utf16, int length, char* dst, int capacity) {
  const int needed = Utf8LengthOf(utf16, length);
  if (!dst || needed >= capacity) return NothingFits(dst, capacity);
  int n = 0;
  ForEachInUtf16(utf16, length, [&](char32_t cp) { PutUtf8(cp, dst, n); });
  dst[n] = 0;
  return n;
}

template <typename String>
String ToUtf16String(const char* utf8) {
  String out(static_cast<size_t>(Utf16Length(utf8)), 0);
  int n = 0;
  ForEachInUtf8(utf8, [&](char32_t cp) { PutUtf16(cp, out.data(), n); });
  return out;
}

template <typename C16>
std::string ToUtf8String(const C16* utf16, int length) {
  std::string out(static_cast<size_t>(Utf8LengthOf(utf16, length)), '\0');
  int n = 0;
  ForEachInUtf16(utf16, length, [&](char32_t cp) { PutUtf8(cp, out.data(), n); });
  return out;
}

}  // namespace

int Utf16Length(const char* utf8) {
  int n = 0;
  ForEachInUtf8(utf8, [&](char32_t cp) { n += cp < 0x10000 ? 1 : 2; });
  return n;
}

int Utf8Length(const char16_t* utf16, int length) { return Utf8LengthOf(utf16, length); }

int Utf8ToUtf16(const char* utf8, char16_t* dst, int capacity) { return ToUtf16Bounded(utf8, dst, capacity); }

int Utf16ToUtf8(const char16_t* utf16, int length, char* dst, int capacity) {
  return ToUtf8Bounded(utf16, length, dst, capacity);
}

std::u16string ToUtf16(const char* utf8) { return ToUtf16String<std::u16string>(utf8); }

std::string ToUtf8(const char16_t* utf16, int length) { return ToUtf8String(utf16, length); }

#if defined(_WIN32)
int Utf8ToUtf16(const char* utf8, wchar_t* dst, int capacity) { return ToUtf16Bounded(utf8, dst, capacity); }

int Utf16ToUtf8(const wchar_t* utf16, int length, char* dst, int capacity) {
  return ToUtf8Bounded(utf16, length, dst, capacity);
}

std::wstring ToWide(const char* utf8) { return ToUtf16String<std::wstring>(utf8); }

std::string ToUtf8(const wchar_t* utf16, int length) { return ToUtf8String(utf16, length); }
#endif

}  // namespace igraphics
