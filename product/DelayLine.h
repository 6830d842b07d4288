#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Fixed delay of up to kCapacity samples, held by value so the owner never allocates.
class DelayLine {
public:
  static constexpr int32_t kCapacity = 44100;

  DelayLine() = default;

  // Audio thread. Allocates nothing, takes no lock.
  // Returns the sample written `length` calls earlier (zeros or older contents at first).
  double Process(double x, int32_t length) {
    // A longer delay than the buffer holds would run past its end; it is cut to the buffer.
    if (length > kCapacity) length = kCapacity;
    if (mIndex >= length) mIndex = 0;
    const double y = mBuffer[static_cast<std::size_t>(mIndex)];
    mBuffer[static_cast<std::size_t>(mIndex)] = static_cast<double>(mGain) * x;
    ++mIndex;
    mLastOutput = y;
    return y;
  }

  // Audio thread (at reset). Allocates nothing, takes no lock.
  // Restarts at the head of the buffer; the buffer keeps its contents.
  void Rewind();

  int32_t Index() const { return mIndex; }
  double LastOutput() const { return mLastOutput; }
  float Gain() const { return mGain; }
  // Main thread before processing, or audio thread. Allocates nothing, takes no lock.
  void SetGain(float gain) { mGain = gain; }

private:
  int32_t mIndex = 0;
  double mLastOutput = 0.0;
  std::array<double, kCapacity> mBuffer{};
  float mGain = 1.0f;
};
