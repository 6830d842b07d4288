#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "host/cli/LoudnessMeter.h"

// Loudness and peaks against the EBU's test signals, synthesised here: EBU Tech 3341 (loudness)
// and 3342 (loudness range), and a sine whose samples all miss its crests.
namespace {

constexpr double kTwoPi = 6.283185307179586;

// Stereo, the same in both channels: `level` (peak, linear) of a sine, one per piece.
struct Piece {
  double seconds;
  double peakDbfs;
  double hz;
  double phase = 0.0;
};

bool Measure(int rate, const std::vector<Piece>& pieces, tbhost::LoudnessFigures& f, std::string& why) {
  if (!tbhost::LoudnessMeter::Available(why)) return false;
  std::string error;
  auto meter = tbhost::LoudnessMeter::Create(2, rate, error);
  EXPECT_TRUE(meter) << error;
  if (!meter) return false;
  int64_t n = 0;
  for (const Piece& p : pieces) {
    const double amplitude = std::pow(10.0, p.peakDbfs / 20.0);
    std::vector<float> block;
    for (int64_t i = 0; i < static_cast<int64_t>(p.seconds * rate); ++i, ++n) {
      const float v = static_cast<float>(amplitude * std::sin(kTwoPi * p.hz * static_cast<double>(n) / rate + p.phase));
      block.push_back(v);
      block.push_back(v);
      if (block.size() == 2 * 1000) {  // fed in pieces, as a file is read
        EXPECT_TRUE(meter->Add(block.data(), 1000));
        block.clear();
      }
    }
    EXPECT_TRUE(meter->Add(block.data(), static_cast<int64_t>(block.size() / 2)));
  }
  f = meter->Figures();
  return true;
}

TEST(LoudnessMeter, ReadsTheEbuSineAtMinus23) {
  for (int rate : {44100, 48000}) {
    SCOPED_TRACE(rate);
    tbhost::LoudnessFigures f;
    std::string why;
    if (!Measure(rate, {{20.0, -23.0, 1000.0}}, f, why)) GTEST_SKIP() << why;
    EXPECT_NEAR(f.integratedLufs, -23.0, 0.1);
    EXPECT_NEAR(f.samplePeakDbfs, -23.0, 0.01);
    EXPECT_NEAR(f.truePeakDbtp, -23.0, 0.1);
    EXPECT_LT(f.loudnessRangeLu, 0.1);
  }
}

TEST(LoudnessMeter, ReadsTheRangeOfTwoLevels) {
  // Tech 3342 case 1: 20 s at -20 dBFS then 20 s at -30 dBFS have a range of 10 LU.
  tbhost::LoudnessFigures f;
  std::string why;
  if (!Measure(48000, {{20.0, -20.0, 1000.0}, {20.0, -30.0, 1000.0}}, f, why)) GTEST_SKIP() << why;
  EXPECT_NEAR(f.loudnessRangeLu, 10.0, 1.0);
}

TEST(LoudnessMeter, FindsThePeakBetweenTheSamples) {
  // A sine at a quarter of the sample rate, sampled 45 degrees off its crests: every sample
  // lies at 0.707 of the peak, so the true peak is 3 dB above the sample peak.
  tbhost::LoudnessFigures f;
  std::string why;
  if (!Measure(48000, {{2.0, -6.0, 12000.0, kTwoPi / 8.0}}, f, why)) GTEST_SKIP() << why;
  EXPECT_NEAR(f.samplePeakDbfs, -6.0 - 3.01, 0.02);
  EXPECT_GT(f.truePeakDbtp, f.samplePeakDbfs + 2.0);
  EXPECT_NEAR(f.truePeakDbtp, -6.0, 0.6);
}

TEST(LoudnessMeter, SilenceHasNoLoudnessAndTheWindowsBuildSaysSo) {
  tbhost::LoudnessFigures f;
  std::string why;
  if (!Measure(48000, {{1.0, -200.0, 1000.0}}, f, why)) {
#ifdef _WIN32
    EXPECT_NE(why.find("not available in the Windows build"), std::string::npos) << why;
    std::string error;
    EXPECT_FALSE(tbhost::LoudnessMeter::Create(2, 48000, error));
    EXPECT_EQ(error, why);
    return;
#else
    FAIL() << "the Linux build measures loudness: " << why;
#endif
  }
  EXPECT_TRUE(std::isinf(f.integratedLufs) && f.integratedLufs < 0) << f.integratedLufs;
}

}  // namespace
