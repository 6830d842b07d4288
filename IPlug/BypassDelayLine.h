#pragma once
#include <vector>

namespace iplug {

// Delays the bypassed signal by the plug-in's latency, so that switching the processing out
// does not move the audio in time. Channel c occupies samples c*L .. c*L+L-1 of the buffer,
// L being the delay length. The capacity is reserved at construction: changing the length
// later (from the audio thread, at the end of a block) never allocates.
class BypassDelayLine {
public:
  // Main thread. Allocates room for lengths up to maxLength samples per input channel.
  BypassDelayLine(int nInputs, int nOutputs, int maxLength);

  // Any thread that owns the processor; allocates nothing. Sets the length (clamped to
  // 0 .. MaxLength), clears the buffer and restarts at position 0. Returns the length set.
  int SetLength(int length);

  // Audio thread. Allocates nothing. Outputs c < min(inputs, outputs) receive input c
  // delayed by exactly Length() samples; the other outputs receive silence. An output may
  // be the same buffer as its input.
  void Process(double* const* inputs, double* const* outputs, int nFrames);
  // Audio thread. Allocates nothing. Takes the inputs into the line as Process would, without
  // producing output: the line stays filled while the plug-in processes.
  void Feed(const double* const* inputs, int nFrames);

  int Length() const { return mLength; }
  int MaxLength() const { return mMaxLength; }
  int NInputs() const { return mNInputs; }
  int NOutputs() const { return mNOutputs; }
  int WritePosition() const { return mWritePos; }

private:
  std::vector<double> mBuffer;
  int mNInputs;
  int mNOutputs;
  int mMaxLength;
  int mWritePos = 0;
  int mLength = 0;
};

}  // namespace iplug
