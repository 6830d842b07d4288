// The Windows reader's RIFF WAVE parsing on any bytes: the same header parser and sample
// decoder the multimedia-file reader uses, run on memory. Whatever the bytes, a layout it
// accepts lies within the file, and its frames decode.
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/RiffWaveParser.h"
#include "host/cli/WaveSampleCodec.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
constexpr int64_t kBlockFrames = 1024;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tbhost::RiffWaveLayout layout;
  std::string error;
  if (!tbhost::RiffWaveParser::Parse(data, static_cast<int64_t>(size), layout, error)) {
    fuzz::Require(!error.empty(), "a refusal says why");
    return 0;
  }
  const tbhost::WaveFormat& format = layout.format;
  fuzz::Require(format.mChannels > 0 && format.mBlockAlign > 0, "an accepted header has channels and frames");
  fuzz::Require(layout.dataOffset >= 0 && layout.frames >= 0 &&
                    layout.dataOffset + layout.frames * format.mBlockAlign <= static_cast<int64_t>(size),
                "the frames lie within the file");
  const tbhost::WaveSampleCodec codec(format);
  std::vector<float> block(static_cast<size_t>(kBlockFrames) * format.mChannels);
  for (int64_t frame = 0; frame < layout.frames; frame += kBlockFrames) {
    const int64_t n = std::min(kBlockFrames, layout.frames - frame);
    codec.Decode(data + layout.dataOffset + frame * format.mBlockAlign, n * format.mChannels, block.data());
  }
  return 0;
}
