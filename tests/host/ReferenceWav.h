#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace hosttest {

// A deliberately plain RIFF WAVE writer and reader, independent of the host's own code, that
// the back ends are checked against. Integer samples are kept as integers (q, not scaled),
// float samples as doubles.
struct ReferenceWav {
  uint16_t formatTag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
  uint16_t subFormat = 1;  // encoding of an extensible file
  uint16_t channels = 2;
  uint32_t sampleRate = 48000;
  uint16_t containerBits = 16;
  uint16_t validBits = 16;
  uint32_t channelMask = 0;
  std::vector<int64_t> ints;       // interleaved integer samples
  std::vector<double> floats;      // interleaved float samples
  bool hasFact = false;

  bool IsFloat() const { return (formatTag == 0xFFFE ? subFormat : formatTag) == 3; }
  int64_t Frames() const { return static_cast<int64_t>((IsFloat() ? floats.size() : ints.size()) / channels); }

  std::vector<uint8_t> Encode() const;
  // Parses RIFF/WAVE/fmt/data; false if the bytes are not such a file.
  static bool Decode(const std::vector<uint8_t>& bytes, ReferenceWav& out, std::string& why);
};

}  // namespace hosttest
