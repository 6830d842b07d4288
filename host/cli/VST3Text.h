#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tbhost {

// The UTF-16 texts of VST3 interfaces (fixed arrays of 16-bit units, ended by a zero unit or
// by their size) to and from the host's UTF-8. Any thread.
std::string Utf8FromVST3(const int16_t* text, size_t capacity);
// Writes `text` into a zero-ended array of `capacity` units, cut short to fit.
void VST3FromUtf8(const std::string& text, int16_t* out, size_t capacity);

}  // namespace tbhost
