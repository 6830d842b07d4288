#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/GainReductionStats.h"
#include "host/cli/WaveEnvelope.h"

namespace tbhost {

// What a plot of one render shows: the input's and the output's waveform envelopes, and the
// gain reduction of the compressor and of the limiter over the same time.
struct PlotData {
  std::string title;     // the files
  std::string subtitle;  // the settings
  int sampleRate = 0;
  int64_t frames = 0;
  WaveEnvelope input;    // GainReductionPlot::kColumns columns
  WaveEnvelope output;
  bool reductionAvailable = false;
  // Gain reduction in equal slices of the file, as many as the plot has columns or fewer.
  std::vector<GainReductionStats::Window> slices;
};

// A picture of what the plug-in did to a file, drawn with Cairo into a PNG: the settings in the
// title, the waveform envelopes above (input grey, output blue) and below them the deepest gain
// reduction of each section per column, in dB downwards from a 0 dB line at the top of its
// panel. The Windows build has no Cairo and draws nothing.
// Any thread; one plot at a time per call.
class GainReductionPlot {
public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;
  static constexpr int kLeft = 72;
  static constexpr int kRight = 1256;
  static constexpr int kColumns = kRight - kLeft;
  static constexpr int kWaveTop = 88;
  static constexpr int kWaveBottom = 340;
  static constexpr int kReductionTop = 384;
  static constexpr int kReductionBottom = 672;
  // Curve colours, 0xRRGGBB; the curves are drawn without anti-aliasing in exactly these.
  static constexpr uint32_t kCompressorRgb = 0xE87D0D;
  static constexpr uint32_t kLimiterRgb = 0xC41A4D;

  // False with `why` set when this build cannot draw.
  static bool Available(std::string& why);
  // Writes the PNG (under a temporary name, renamed when complete).
  static bool Write(const std::string& path, const PlotData& data, std::string& error);

  // The depth of the reduction panel in dB: a round figure at or beyond the deepest reduction.
  static double ReductionRangeDb(const PlotData& data);
  // The pixel row of `db` of reduction in a panel `rangeDb` deep.
  static int ReductionRow(double db, double rangeDb);
  // The slice of the file that column `column` (0 to kColumns - 1) shows, or -1 for none.
  static int SliceOfColumn(const PlotData& data, int column);
};

}  // namespace tbhost
