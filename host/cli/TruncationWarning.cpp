#include "host/cli/TruncationWarning.h"

#include <cstdio>

namespace tbhost {
namespace {

std::string Length(int64_t frames, int32_t sampleRate) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(frames) / sampleRate);
  return std::to_string(frames) + " frames (" + seconds + " s)";
}

}  // namespace

std::string TruncationWarning::For(const std::string& path, const AudioFileFormat& format) {
  if (format.headerFrames <= format.frames || format.sampleRate <= 0) return {};
  return path + " is shorter than its header says: it holds " + Length(format.frames, format.sampleRate) +
         " of the " + Length(format.headerFrames, format.sampleRate) +
         " its header promises; rendered what it holds";
}

}  // namespace tbhost
