#pragma once
#include <string>
#include <vector>

#include "host/ReferenceWav.h"

namespace hosttest {

// 16-bit PCM test files: samples given as integers, read back as integers.
void WritePcm16(const std::string& path, int channels, int sampleRate, const std::vector<int64_t>& interleaved);
ReferenceWav ReadWav(const std::string& path);

// Interleaves channels of equal length.
std::vector<int64_t> Interleave(const std::vector<std::vector<int64_t>>& channels);
std::vector<int64_t> Channel(const ReferenceWav& wav, int channel);

// Deterministic noise-like 16-bit signal of `frames` samples at about `amplitude` of full scale.
std::vector<int64_t> TestSignal(int frames, double amplitude, uint32_t seed);

}  // namespace hosttest
