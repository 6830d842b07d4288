#pragma once

namespace artwork {

// The needle meters show the fraction v of the signal that a section removes. Their scale
// is printed in decibels of gain reduction, dB = -20 log10(1 - v), and the needle rests at
// the right-hand end like the gain-reduction meters of studio compressors, swinging left
// as the reduction grows.
class MeterScale {
public:
  static constexpr int kFrames = 101;
  static constexpr double kSweepDeg = 100.0;

  static double ValueForFrame(int frame) { return frame / double(kFrames - 1); }  // 0-based frame
  static double ValueForDb(double reductionDb);
  static double DbForValue(double value);  // infinite at 1
  // Clockwise from straight up, around the needle's pivot.
  static double NeedleAngleDeg(double value) { return kSweepDeg / 2 - kSweepDeg * value; }
};

}  // namespace artwork
