#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/cli/DemoClip.h"
#include "host/cli/FactoryPresets.h"
#include "host/cli/LoudMix.h"
#include "host/cli/PresetAudition.h"

// Every factory preset keeps its output below full scale, between the samples too, on the demo
// clip and on a loud finished mix, as a stereo and as a mono insert, so that a 16- or 24-bit
// file of it does not clip.
namespace {

constexpr double kCeilingDb = -0.3;

struct Level {
  double peakDb, rmsDb;
};

Level Measure(const std::vector<float>& samples) {
  double peak = 0.0, energy = 0.0;
  for (float s : samples) {
    peak = std::max<double>(peak, std::fabs(s));
    energy += static_cast<double>(s) * s;
  }
  return {20.0 * std::log10(peak), 10.0 * std::log10(energy / static_cast<double>(samples.size()))};
}

TEST(FactoryPresetPeaks, EveryPresetStaysBelowFullScaleOnTheDemoClipAndALoudMix) {
  const std::vector<float> demo = tbhost::DemoClip::Synthesise(), loud = tbhost::LoudMix::Synthesise();
  // The loud mix is what a mastering preset meets at its hardest: peaking at -0.4 dBFS and dense.
  const Level demoLevel = Measure(demo), loudLevel = Measure(loud);
  EXPECT_NEAR(loudLevel.peakDb, -0.4, 0.01);
  EXPECT_GT(loudLevel.rmsDb, demoLevel.rmsDb + 8.0);
  EXPECT_GT(loudLevel.rmsDb, loudLevel.peakDb - 12.0);

  const struct {
    const char* name;
    std::vector<float> samples;
    int channels;
  } signals[] = {{"demo clip", demo, 2},
                 {"loud finished mix", loud, 2},
                 {"demo clip, mono", tbhost::PresetAudition::Mono(demo), 1},
                 {"loud finished mix, mono", tbhost::PresetAudition::Mono(loud), 1}};
  bool truePeakMeasured = true;
  for (const tbhost::FactoryPresetFile& file : tbhost::FactoryPresets::Files()) {
    for (const auto& signal : signals) {
      SCOPED_TRACE(file.fileName + " on the " + signal.name);
      tbhost::AuditionFigures f;
      std::string error;
      ASSERT_TRUE(tbhost::PresetAudition::Run(file.bytes, signal.samples, signal.channels,
                                              tbhost::DemoClip::kSampleRate, f, error))
          << error;
      EXPECT_LE(f.samplePeakDbfs, kCeilingDb);
      truePeakMeasured = !std::isnan(f.truePeakDbtp);
      if (truePeakMeasured) {
        EXPECT_LE(f.truePeakDbtp, kCeilingDb);
      }
    }
  }
  // The Windows build has no true-peak meter (no libebur128): there the sample peaks are
  // checked, and the Linux suite checks the true peaks of the same renders.
  if (!truePeakMeasured) GTEST_SKIP() << "true peaks not measured: this build has no true-peak meter";
}

// The mastering preset still does its job after being made safe: the limiter does the work
// and the demo clip comes out louder than it went in.
TEST(FactoryPresetPeaks, TheLoudMasterStillMakesAMixLouder) {
  const auto& files = tbhost::FactoryPresets::Files();
  const auto master = std::find_if(files.begin(), files.end(), [](const auto& f) { return f.fileName == "loud-master.fxp"; });
  ASSERT_NE(master, files.end());
  const std::vector<float> demo = tbhost::DemoClip::Synthesise();
  tbhost::AuditionFigures f;
  std::string error;
  ASSERT_TRUE(tbhost::PresetAudition::Run(master->bytes, demo, 2, tbhost::DemoClip::kSampleRate, f, error)) << error;
  EXPECT_GT(f.rmsDbfs, Measure(demo).rmsDb + 2.0);
  EXPECT_GT(f.reduction.limiterAvgDb, 2.0 * f.reduction.compressorAvgDb);
}

}  // namespace
