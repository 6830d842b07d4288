#pragma once
#include <bit>
#include <cstdint>

// One-pole low-pass that glides control values toward their targets.
class ParamSmoother {
public:
  ParamSmoother();

  // Audio thread (once per block). Allocates nothing, takes no lock.
  // A 10 Hz corner at the given sample rate.
  void SetCutoff(double fs);

  // Audio thread. Allocates nothing, takes no lock.
  double Process(double target) {
    mZ = mA * mZ + mB * target;
    // Zero and subnormal states (all-zero exponent field) are flushed so the recursion never
    // runs on subnormal numbers.
    if ((std::bit_cast<uint64_t>(mZ) & kExponentMask) == 0) mZ = 0.0;
    return mZ;
  }

  // Audio thread (at reset). Allocates nothing, takes no lock. Jumps to a value without gliding.
  void SetState(double z) { mZ = z; }

  double A() const { return mA; }
  double B() const { return mB; }
  double State() const { return mZ; }

private:
  static constexpr uint64_t kExponentMask = 0x7FF0000000000000ull;

  double mA;
  double mB;
  double mZ = 0.0;
};
