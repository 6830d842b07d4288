#include "host/WavFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/TestFiles.h"

namespace hosttest {

void WritePcm16(const std::string& path, int channels, int sampleRate, const std::vector<int64_t>& interleaved) {
  ReferenceWav w;
  w.channels = static_cast<uint16_t>(channels);
  w.sampleRate = static_cast<uint32_t>(sampleRate);
  w.ints = interleaved;
  WriteBytes(path, w.Encode());
}

ReferenceWav ReadWav(const std::string& path) {
  ReferenceWav w;
  std::string why;
  EXPECT_TRUE(ReferenceWav::Decode(ReadBytes(path), w, why)) << path << ": " << why;
  return w;
}

std::vector<int64_t> Interleave(const std::vector<std::vector<int64_t>>& channels) {
  std::vector<int64_t> out;
  for (size_t i = 0; i < channels[0].size(); ++i)
    for (const auto& c : channels) out.push_back(c[i]);
  return out;
}

std::vector<int64_t> Channel(const ReferenceWav& wav, int channel) {
  std::vector<int64_t> out;
  for (size_t i = static_cast<size_t>(channel); i < wav.ints.size(); i += wav.channels) out.push_back(wav.ints[i]);
  return out;
}

std::vector<int64_t> TestSignal(int frames, double amplitude, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<int64_t> out(static_cast<size_t>(frames));
  double smooth = 0.0;
  for (int i = 0; i < frames; ++i) {
    smooth = 0.7 * smooth + 0.3 * u(rng);
    const double tone = std::sin(2.0 * 3.141592653589793 * 440.0 * i / 48000.0);
    out[static_cast<size_t>(i)] = std::llround(amplitude * 32767.0 * (0.6 * tone + 0.4 * smooth));
  }
  return out;
}

}  // namespace hosttest
