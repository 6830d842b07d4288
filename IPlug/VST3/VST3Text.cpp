#include "IPlug/VST3/VST3Text.h"

#include <string>

namespace iplug {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The next code point of UTF-8 text; advances `at`.
char32_t NextCodePoint(const unsigned char*& at) {
  const unsigned char lead = *at++;
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    cp = lead & 0x07;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < more; ++i) {
    if ((*at & 0xC0) != 0x80) return kReplacement;  // a cut sequence; the terminator stays
    cp = (cp << 6) | (*at++ & 0x3F);
  }
  const bool overlong = (more == 1 && cp < 0x80) || (more == 2 && cp < 0x800) || (more == 3 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

void Utf8ToUtf16(const char* text, int16_t* out, int capacity) {
  if (!out || capacity <= 0) return;
  int n = 0;
  const auto* at = reinterpret_cast<const unsigned char*>(text ? text : "");
  while (*at) {
    const char32_t cp = NextCodePoint(at);
    const int units = cp >= 0x10000 ? 2 : 1;
    if (n + units >= capacity) break;
    if (units == 2) {
      out[n++] = static_cast<int16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out[n++] = static_cast<int16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out[n++] = static_cast<int16_t>(cp);
    }
  }
  out[n] = 0;
}

void Utf16ToUtf8(const int16_t* text, int capacity, TextBuffer& out) {
  std::string utf8;
  for (int i = 0; text && i < capacity && text[i] != 0; ++i) {
    const char32_t unit = static_cast<uint16_t>(text[i]);
    char32_t cp = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const char32_t low = i + 1 < capacity ? static_cast<uint16_t>(text[i + 1]) : 0;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else {
        cp = kReplacement;
      }
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(utf8, cp);
  }
  out.Set(utf8.c_str());
}

}  // namespace iplug
