#include "IPlug/BypassDelayLine.h"

#include <algorithm>
#include <cstring>

namespace iplug {

BypassDelayLine::BypassDelayLine(int nInputs, int nOutputs, int maxLength)
    : mNInputs(std::max(nInputs, 0)), mNOutputs(std::max(nOutputs, 0)), mMaxLength(std::max(maxLength, 0)) {
  mBuffer.reserve(static_cast<size_t>(mMaxLength) * static_cast<size_t>(mNInputs));
}

int BypassDelayLine::SetLength(int length) {
  mLength = std::clamp(length, 0, mMaxLength);
  mBuffer.assign(static_cast<size_t>(mLength) * static_cast<size_t>(mNInputs), 0.0);  // within capacity
  mWritePos = 0;
  return mLength;
}

void BypassDelayLine::Process(double* const* inputs, double* const* outputs, int nFrames) {
  if (nFrames <= 0) return;
  const int nDelayed = std::min(mNInputs, mNOutputs);
  const int length = mLength;
  if (length == 0) {
    for (int c = 0; c < nDelayed; ++c)
      if (outputs[c] != inputs[c]) std::memmove(outputs[c], inputs[c], sizeof(double) * static_cast<size_t>(nFrames));
  }
  for (int c = 0; c < nDelayed && length > 0; ++c) {
    const double* in = inputs[c];
    double* out = outputs[c];
    double* line = mBuffer.data() + static_cast<size_t>(c) * static_cast<size_t>(length);
    int pos = mWritePos;
    for (int f = 0; f < nFrames; ++f) {
      const double x = in[f];  // read before writing: the output may alias the input
      out[f] = line[pos];
      line[pos] = x;
      if (++pos == length) pos = 0;
    }
  }
  for (int c = nDelayed; c < mNOutputs; ++c) std::memset(outputs[c], 0, sizeof(double) * static_cast<size_t>(nFrames));
  if (length > 0) mWritePos = static_cast<int>((static_cast<long long>(mWritePos) + nFrames) % length);
}

void BypassDelayLine::Feed(const double* const* inputs, int nFrames) {
  const int length = mLength;
  if (nFrames <= 0 || length == 0) return;
  const int nDelayed = std::min(mNInputs, mNOutputs);
  // Only the last `length` frames can still come out of the line.
  const int skip = std::max(nFrames - length, 0);
  const int start = static_cast<int>((static_cast<long long>(mWritePos) + skip) % length);
  for (int c = 0; c < nDelayed; ++c) {
    double* line = mBuffer.data() + static_cast<size_t>(c) * static_cast<size_t>(length);
    int pos = start;
    for (int f = skip; f < nFrames; ++f) {
      line[pos] = inputs[c][f];
      if (++pos == length) pos = 0;
    }
  }
  mWritePos = static_cast<int>((static_cast<long long>(mWritePos) + nFrames) % length);
}

}  // namespace iplug
