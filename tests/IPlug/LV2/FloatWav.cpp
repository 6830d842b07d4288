#include "IPlug/LV2/FloatWav.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/ReferenceWav.h"
#include "host/TestFiles.h"

namespace lv2test {

void WriteFloatWav(const std::string& path, const Channels& ch, int sampleRate) {
  hosttest::ReferenceWav w;
  w.formatTag = 3;
  w.subFormat = 3;
  w.channels = static_cast<uint16_t>(ch.size());
  w.sampleRate = static_cast<uint32_t>(sampleRate);
  w.containerBits = 32;
  w.validBits = 32;
  w.hasFact = true;
  for (size_t i = 0; i < ch[0].size(); ++i)
    for (const auto& c : ch) w.floats.push_back(c[i]);
  hosttest::WriteBytes(path, w.Encode());
}

Channels ReadFloatWav(const std::string& path) {
  hosttest::ReferenceWav w;
  std::string why;
  if (!hosttest::ReferenceWav::Decode(hosttest::ReadBytes(path), w, why) || !w.IsFloat()) return {};
  Channels ch(w.channels);
  for (size_t i = 0; i < w.floats.size(); ++i) ch[i % w.channels].push_back(static_cast<float>(w.floats[i]));
  return ch;
}

double MaxDifference(const Channels& a, const Channels& b) {
  if (a.size() != b.size() || a.empty()) return std::numeric_limits<double>::infinity();
  double worst = 0.0;
  for (size_t c = 0; c < a.size(); ++c) {
    if (a[c].size() != b[c].size()) return std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < a[c].size(); ++i) worst = std::max(worst, std::fabs(double(a[c][i]) - double(b[c][i])));
  }
  return worst;
}

}  // namespace lv2test
