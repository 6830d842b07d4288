#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "host/FakePlugin.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/DemoClip.h"
#include "host/cli/DemoCommand.h"
#include "host/cli/GainReductionPlot.h"
#include "host/cli/LoudnessMeter.h"
#include "host/cli/HostMain.h"

namespace {

double RmsDb(const std::vector<float>& clip, double from, double to) {
  const size_t a = static_cast<size_t>(from * tbhost::DemoClip::kSampleRate) * 2;
  const size_t b = static_cast<size_t>(to * tbhost::DemoClip::kSampleRate) * 2;
  double sum = 0.0;
  for (size_t i = a; i < b; ++i) sum += static_cast<double>(clip[i]) * clip[i];
  return 10.0 * std::log10(sum / static_cast<double>(b - a));
}

TEST(DemoClip, IsTheSameEveryTimeAndHasQuietAndLoudPassages) {
  const std::vector<float> clip = tbhost::DemoClip::Synthesise();
  ASSERT_EQ(clip.size(), static_cast<size_t>(tbhost::DemoClip::kSeconds * tbhost::DemoClip::kSampleRate * 2));
  EXPECT_EQ(clip, tbhost::DemoClip::Synthesise());
  float peak = 0.0f;
  for (float v : clip) peak = std::max(peak, std::fabs(v));
  EXPECT_NEAR(20.0 * std::log10(peak), -1.0, 1e-3);
  const double intro = RmsDb(clip, 0.0, 2.0), loud = RmsDb(clip, 4.0, 8.0), breakdown = RmsDb(clip, 8.0, 8.9);
  EXPECT_GT(loud - intro, 12.0) << "intro " << intro << " dB, loud bars " << loud << " dB";
  EXPECT_GT(loud - breakdown, 12.0) << "breakdown " << breakdown << " dB";
  // Transients: the loud bars' peak stands well above their RMS (drums, not a dense wall).
  float loudPeak = 0.0f;
  for (size_t i = 4 * 48000 * 2; i < 8 * 48000 * 2; ++i) loudPeak = std::max(loudPeak, std::fabs(clip[i]));
  EXPECT_GT(20.0 * std::log10(loudPeak) - loud, 9.0);
  // Both channels carry signal and differ (panned parts).
  double difference = 0.0;
  for (size_t i = 0; i < clip.size(); i += 2) difference += std::fabs(clip[i] - clip[i + 1]);
  EXPECT_GT(difference, 1.0);
}

TEST(DemoCommand, WritesBothFilesAndPrintsTheSummary) {
  hosttest::ScopedTempDir dir;
  const std::string out = dir.File("demo dir");
  std::ostringstream text, err;
  // The stand-in plug-in knows none of the demo's parameters, so it gets a table that does.
  tbhost::HostEnvironment env{text, err, nullptr,
                              [](std::string&) -> std::unique_ptr<tbhost::PluginInstance> {
                                return std::make_unique<hosttest::FakePlugin>(tbhost::DemoCommand::Setting());
                              },
                              nullptr};
  ASSERT_EQ(tbhost::RunHost({"demo", out}, env), 0) << err.str();
  const hosttest::ReferenceWav in = hosttest::ReadWav(dir.File("demo dir/demo-input.wav"));
  const hosttest::ReferenceWav rendered = hosttest::ReadWav(dir.File("demo dir/demo-output.wav"));
  EXPECT_EQ(in.channels, 2);
  EXPECT_EQ(in.sampleRate, 48000u);
  EXPECT_EQ(in.validBits, 24);
  EXPECT_EQ(in.Frames(), 480000);
  EXPECT_EQ(rendered.ints, in.ints);  // the stand-in passes the clip through
  const std::string summary = text.str();
  for (const char* needle : {"demo-input.wav", "demo-output.wav", "Levels (dBFS)", "input", "output",
                             "compressor dB", "limiter dB", "0-1 s", "9-10 s", "whole clip", "--set Ratio=3:1"})
    EXPECT_NE(summary.find(needle), std::string::npos) << needle << " missing from:\n" << summary;
  EXPECT_EQ(summary.find("10-11 s"), std::string::npos) << "the latency tail is not a second of the clip";
  std::string why;
  if (tbhost::LoudnessMeter::Available(why)) {
    EXPECT_NE(summary.find("integrated"), std::string::npos) << summary;
    EXPECT_NE(summary.find("dBTP"), std::string::npos) << summary;
  } else {
    EXPECT_NE(summary.find(why), std::string::npos) << summary;
  }
  EXPECT_EQ(std::filesystem::exists(dir.Path() / "demo dir" / "demo-plot.png"), tbhost::GainReductionPlot::Available(why));
}

}  // namespace
