#include <gtest/gtest.h>

#include <cmath>

#include "host/ModuleFixtures.h"
#include "host/ReportFigures.h"
#include "host/TestFiles.h"
#include "host/cli/GainReductionPlot.h"

#ifndef _WIN32
#include <cairo.h>
#endif

// render --plot: a PNG whose gain-reduction curves show what the report's statistics say.
namespace {

using hosttest::Figures;
using Plot = tbhost::GainReductionPlot;

#ifdef _WIN32
TEST(GainReductionPlot, TheWindowsBuildRendersAndSaysItCannotDraw) {
  std::string why;
  EXPECT_FALSE(Plot::Available(why));
  hosttest::ScopedTempDir dir;
  hosttest::WriteFloatWav(dir.File("in.wav"), 1, 48000, std::vector<double>(4800, 0.25));
  const hosttest::HostRun r =
      hosttest::RunInProcessHost({"render", dir.File("in.wav"), dir.File("out.wav"), "--plot", dir.File("p.png")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("warning: the plot is not available in the Windows build"), std::string::npos) << r.err;
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"in.wav", "out.wav"}));
}
#else

// Six seconds, loud in seconds 2, 3 and 5 and nearly silent elsewhere.
std::vector<double> Steps(int rate) {
  std::vector<double> out;
  uint32_t noise = 1;
  for (int i = 0; i < 6 * rate; ++i) {
    const int second = i / rate;
    const double level = (second == 2 || second == 3 || second == 5) ? 0.9 : 0.003;
    noise = noise * 1664525u + 1013904223u;
    const double v = level * (0.7 * std::sin(6.283185307179586 * 220.0 * i / rate) +
                              0.3 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0));
    out.push_back(v);
    out.push_back(v);
  }
  return out;
}

TEST(GainReductionPlot, ItsCurvesShowTheReductionTheReportStates) {
  std::string why;
  ASSERT_TRUE(Plot::Available(why)) << why;
  hosttest::ScopedTempDir dir;
  constexpr int kRate = 48000;
  hosttest::WriteFloatWav(dir.File("in.wav"), 2, kRate, Steps(kRate));
  const hosttest::HostRun r = hosttest::RunInProcessHost(
      {"render", dir.File("in.wav"), dir.File("out.wav"), "--set", "Compressor Threshold=0dB", "--set",
       "Limit Level=8dB", "--plot", dir.File("plot.png"), "--report-json", dir.File("report.json")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<uint8_t> bytes = hosttest::ReadBytes(dir.File("report.json"));
  const std::string json(bytes.begin(), bytes.end());

  cairo_surface_t* png = cairo_image_surface_create_from_png(dir.File("plot.png").c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), Plot::kWidth);
  EXPECT_EQ(cairo_image_surface_get_height(png), Plot::kHeight);
  const unsigned char* pixels = cairo_image_surface_get_data(png);
  const int stride = cairo_image_surface_get_stride(png);
  const auto rgb = [&](int x, int y) {
    return *reinterpret_cast<const uint32_t*>(pixels + y * stride + x * 4) & 0xFFFFFF;
  };

  tbhost::PlotData whole;
  whole.slices.resize(1);
  whole.slices[0].compressorMaxDb = Figures(json, "compressorMaxDb").at(0);
  whole.slices[0].limiterMaxDb = Figures(json, "limiterMaxDb").at(0);
  const double range = Plot::ReductionRangeDb(whole);
  int reducedSeconds = 0, quietSeconds = 0;
  for (const auto& [prefix, colour] : {std::pair{"compressor", Plot::kCompressorRgb}, {"limiter", Plot::kLimiterRgb}}) {
    const std::vector<double> avg = Figures(json, std::string(prefix) + "AverageDb");
    const std::vector<double> max = Figures(json, std::string(prefix) + "MaxDb");
    ASSERT_EQ(avg.size(), 7u) << "the whole file and six seconds";
    for (int s = 0; s < 6; ++s) {
      SCOPED_TRACE(std::string(prefix) + " in second " + std::to_string(s));
      // The deepest curve pixel in the second's columns, leaving out the columns where the
      // curve steps from one second's level to the next.
      int deepest = -1;
      const int first = Plot::kLeft + s * Plot::kColumns / 6 + 3, last = Plot::kLeft + (s + 1) * Plot::kColumns / 6 - 3;
      for (int x = first; x < last; ++x)
        for (int y = Plot::kReductionTop; y <= Plot::kReductionBottom + 1; ++y)
          if (rgb(x, y) == colour) deepest = std::max(deepest, y);
      if (avg[static_cast<size_t>(s + 1)] >= 1.0) {
        ++reducedSeconds;
        EXPECT_GE(deepest, Plot::ReductionRow(0.5 * avg[static_cast<size_t>(s + 1)], range));
        EXPECT_LE(deepest, Plot::ReductionRow(max[static_cast<size_t>(s + 1)], range) + 2);
      } else if (max[static_cast<size_t>(s + 1)] < 0.05) {
        ++quietSeconds;
        // On the 0 dB line, or hidden there under the other curve.
        EXPECT_LE(deepest, Plot::ReductionRow(0.0, range) + 2) << "the curve stays on the 0 dB line";
      }
    }
  }
  EXPECT_GE(reducedSeconds, 6) << "both sections reduce in the loud seconds";
  EXPECT_GE(quietSeconds, 2) << "and neither does in the quiet ones";
  cairo_surface_destroy(png);
}
#endif

}  // namespace
