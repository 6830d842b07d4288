#pragma once
#include <chrono>

namespace igraphics {

// Milliseconds on a monotonic clock; the time base of animations and frame times.
inline double SteadyClockMs() {
  using namespace std::chrono;
  return static_cast<double>(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count()) / 1e6;
}

}  // namespace igraphics
