#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/AudioFile.h"
#include "host/cli/ParamInfo.h"
#include "host/cli/PluginInstance.h"
#include "host/cli/RenderObserver.h"

namespace tbhost {

struct RenderOptions {
  static constexpr int kDefaultBlockSize = 512;
  static constexpr int kMaxBlockSize = 65536;

  int blockSize = kDefaultBlockSize;
  bool keepLatency = false;               // leave the output delayed by the plug-in's latency
  std::vector<ParamSetting> settings;     // applied in order, as host parameter changes
};

struct RenderResult {
  int64_t framesWritten = 0;
  int latency = 0;            // the plug-in's latency at the end of the render
  int64_t clippedSamples = 0; // samples that did not fit the output's integer format
  std::vector<std::string> warnings;  // about the input files (TruncationWarning); the render stands

  // Main thread. After a render into `output`: the warning lines about the inputs and about
  // clipped samples, if any. Warnings leave the render standing.
  void PrintWarnings(const std::string& output, std::ostream& err) const;
};

// Plays a file through one plug-in instance the way a host with a running transport would:
// the host's initialisation (sample rate, reset), the settings as parameter changes, one second
// of silence in render-size blocks whose output is discarded, then the file, block by block.
// The output is aligned with the input by dropping the first `latency` frames and rendering as
// many frames of silence after the input's end, unless the latency is to be kept.
// Main thread; the plug-in's audio calls run on it too.
class HostRenderer {
public:
  HostRenderer(PluginInstance& plugin, const RenderOptions& options) : mPlugin(plugin), mOptions(options) {}

  // Checks that the files can be rendered together (channel counts, sample rates).
  static bool CheckInputs(const AudioFileFormat& main, const AudioFileFormat* key, std::string& error);

  // `key` may be null (no side-chain input connected). Writes as many frames as `main` holds.
  bool Render(AudioFile& main, AudioFile* key, AudioFile& out, RenderObserver* observer, RenderResult& result,
              std::string& error);

private:
  struct Progress {
    RenderObserver* observer = nullptr;
    int64_t done = 0;
    int64_t total = 0;
  };

  void Prepare(int channels, bool withKey);
  bool PreRoll(int64_t frames);
  // Reads the next block of the input, padded with the latency tail's silence after its end;
  // returns its length (0 when nothing is left) or -1 on a read error.
  int NextInputBlock(AudioFile& main, std::string& error);
  bool ReadKey(AudioFile& key, int nFrames, std::string& error);
  void ProcessBlock(int nFrames);
  bool WriteOutput(AudioFile& out, int first, int nFrames, std::string& error);
  // Counts rendered frames; false when the observer asks to stop.
  bool Advance(int nFrames);

  PluginInstance& mPlugin;
  RenderOptions mOptions;
  int mBlock = RenderOptions::kDefaultBlockSize;
  int mChannels = 0;
  std::vector<float> mInterleaved;
  std::vector<std::vector<float>> mIn;
  std::vector<std::vector<float>> mOut;
  std::vector<float> mKey;
  std::vector<float> mKeyInterleaved;
  bool mKeyEnded = false;
  bool mMainEnded = false;
  int64_t mTailLeft = 0;
  Progress mProgress;
};

}  // namespace tbhost
