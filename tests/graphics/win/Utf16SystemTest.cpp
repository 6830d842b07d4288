#include <gtest/gtest.h>

#include <windows.h>

#include <iterator>
#include <random>
#include <string>

#include "graphics/Utf16Text.h"
#include "support/TestSeed.h"

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

// The system's own converters are the reference. Random UTF-16 units, pairs, unpaired
// surrogates and characters of every UTF-8 length among them, convert to UTF-8 as the system
// converts them, and that (well-formed) UTF-8 converts back as the system converts it. (For
// ill-formed UTF-8 the systems differ among themselves in how many replacements they make.)
TEST(Utf16System, ConversionsAgreeWithTheSystem) {
  std::mt19937 rng(testsupport::TestSeed("Utf16System", "TEXT_SEED"));
  const wchar_t pool[] = {L'a', 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0xFFFF};
  for (int round = 0; round < 3000; ++round) {
    std::wstring units(static_cast<size_t>(round % 16), L'\0');
    for (wchar_t& u : units) u = pool[std::uniform_int_distribution<size_t>(0, std::size(pool) - 1)(rng)];
    const std::string utf8 = SystemUtf8(units);
    ASSERT_EQ(ToUtf8(units.c_str()), utf8) << "round " << round;
    ASSERT_EQ(ToWide(utf8.c_str()), SystemWide(utf8)) << "round " << round;
  }
}
