#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>

#include "graphics/Utf16Text.h"

using namespace igraphics;

namespace {

std::wstring SystemWide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

std::string SystemUtf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

}  // namespace

// The system's own converters are the reference: well-formed text of every encoded length
// both ways, and any sequence of UTF-16 units, unpaired surrogates included. (For ill-formed
// UTF-8 the systems differ among themselves in how many replacements they make.)
TEST(Utf16System, ConversionsAgreeWithTheSystem) {
  const uint32_t seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 rng(seed);
  const std::pair<char32_t, char32_t> ranges[] = {
      {0x01, 0x7F}, {0x80, 0x7FF}, {0x800, 0xD7FF}, {0xE000, 0xFFFF}, {0x10000, 0x10FFFF}};
  for (int round = 0; round < 3000; ++round) {
    std::wstring wide;
    for (int i = 0; i < round % 16; ++i) {
      const auto& [lo, hi] = ranges[std::uniform_int_distribution<int>(0, 4)(rng)];
      const char32_t c = std::uniform_int_distribution<uint32_t>(lo, hi)(rng);
      if (c < 0x10000) {
        wide += static_cast<wchar_t>(c);
      } else {
        wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      }
    }
    const std::string utf8 = SystemUtf8(wide);
    ASSERT_EQ(ToUtf8(wide.c_str()), utf8) << "seed " << seed << " round " << round;
    ASSERT_EQ(ToWide(utf8.c_str()), SystemWide(utf8)) << "seed " << seed << " round " << round;

    std::wstring units(static_cast<size_t>(round % 12), L'\0');
    const wchar_t unitPool[] = {L'a', 0x7FF, 0x800, 0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};
    for (wchar_t& u : units) u = unitPool[std::uniform_int_distribution<size_t>(0, 9)(rng)];
    ASSERT_EQ(ToUtf8(units.c_str()), SystemUtf8(units)) << "seed " << seed << " round " << round;
  }
}
