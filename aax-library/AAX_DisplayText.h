#pragma once
// Helpers the display delegates share.
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <type_traits>

#include "aax-library/AAX_CString.h"

namespace aax_display {

// Reads a number the way a standard stream does ("12.5dB" reads 12.5), in the classic locale
// so that a host's language settings do not change what a text means.
inline bool ReadNumber(const AAX_CString& text, double* value) {
  std::istringstream stream(text.StdString());
  stream.imbue(std::locale::classic());
  double number = 0.0;
  if (!(stream >> number)) return false;
  *value = number;
  return true;
}

// Integral types keep the truncated number, clamped to their range (a cast of an out-of-range
// double would be undefined).
template <typename T>
T FromNumber(double number) {
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    constexpr double low = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double high = static_cast<double>(std::numeric_limits<T>::max());
    if (!(number >= low)) return std::numeric_limits<T>::min();
    if (number > high) return std::numeric_limits<T>::max();
  }
  return static_cast<T>(number);
}

// A negative maximum counts as 0.
inline uint32_t MaxChars(int32_t maxNumChars) { return maxNumChars > 0 ? static_cast<uint32_t>(maxNumChars) : 0u; }

}  // namespace aax_display
