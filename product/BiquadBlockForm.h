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

// The block of eight a section run in block form is in the middle of. Outputs are formed from
// the state at the block's start and the block's inputs alone, so they are the same wherever
// the host's blocks begin and end; the section's own state stays the one at the block's start
// until the block is whole.
struct PartialBlock {
  int count = 0;                                // inputs of the current block seen (0 to 7)
  double input[BiquadBlockForm::kFrames] = {};  // those inputs, zeros after them

  // Audio thread. Allocates nothing, takes no lock. Whether every input seen is zero.
  bool Quiet() const {
    for (double x : input)
      if (x != 0.0) return false;
    return true;
  }
  // Audio thread. Allocates nothing, takes no lock. Takes the section's state through the
  // inputs seen, one step each (before the section changes or runs sample by sample); their
  // outputs were given already.
  void Resolve(Biquad& section) {
    for (int k = 0; k < count; ++k) section.Process(input[k]);
    *this = PartialBlock{};
  }
  // Audio thread. Allocates nothing, takes no lock. n zeros at rest (state and inputs zero):
  // the outputs are zeros and the state stays zero, only the position in the block moves on.
  void SkipZeros(int n) { count = (count + n) % BiquadBlockForm::kFrames; }
};
