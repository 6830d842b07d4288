#pragma once
#include "product/Biquad.h"

// A biquad taken eight samples at a time. The section is linear, so its eight outputs are sums
// of the eight inputs and the state at the start, each with a fixed weight, and the state after
// the eight follows from the state before and the last two inputs and outputs. The batch loops
// then compute a block's outputs side by side and carry the state across eight samples in two
// steps, where the per-sample recursion waits for eight dependent steps; the result is the same
// linear map, rounded differently (a few units in the last place of the state).
struct BiquadBlockForm {
  static constexpr int kFrames = 8;
  // fromInput[j][k]: the share of input j in output k (0 for k < j).
  alignas(64) double fromInput[kFrames][kFrames];
  // Output k for a unit z1 (or z2) at the start and no input.
  alignas(64) double fromZ1[kFrames];
  alignas(64) double fromZ2[kFrames];
  // The state after eight samples of silence from the state before: {z1, z2}' = carry {z1, z2}.
  double carry[2][2];
};

// Audio thread (when coefficients change) or main thread. Allocates nothing, takes no lock.
// The block form of the section with these coefficients (the state in `s` is ignored).
BiquadBlockForm BlockFormOf(const Biquad::Snapshot& s);
