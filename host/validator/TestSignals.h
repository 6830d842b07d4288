#pragma once
#include <cstdint>
#include <random>

namespace tbvalidate {

// The signals the validator plays through a plug-in.
enum class Signal {
  kNoise,    // white noise at full scale
  kSilence,  // digital zero
  kSquare,   // a 100 Hz square wave at full scale: the largest steps a file can hold
  kSine,     // a 1 kHz sine at half scale
  kImpulse,  // one sample of 0.5 at the block's first frame, silence after
};

const char* SignalName(Signal signal);

// Writes n samples of `signal` starting at frame `start` of the stream, at rate fs. Noise
// comes from `rng`, so a seed replays it.
void FillSignal(Signal signal, float* out, int n, int64_t start, double fs, std::mt19937_64& rng);

// The largest magnitude in n samples.
double Peak(const float* samples, int n);

}  // namespace tbvalidate
