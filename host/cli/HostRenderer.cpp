#include "host/cli/HostRenderer.h"

#include <algorithm>
#include <cmath>

namespace tbhost {

bool HostRenderer::CheckInputs(const AudioFileFormat& main, const AudioFileFormat* key, std::string& error) {
  if (main.channels < 1 || main.channels > 2) {
    error = "the input has " + std::to_string(main.channels) +
            " channels; the plug-in is a mono or stereo insert (1 or 2 channels)";
    return false;
  }
  if (key && key->sampleRate != main.sampleRate) {
    error = "the side-chain file runs at " + std::to_string(key->sampleRate) + " Hz, the input at " +
            std::to_string(main.sampleRate) + " Hz; they must match";
    return false;
  }
  return true;
}

bool HostRenderer::Render(AudioFile& main, AudioFile* key, AudioFile& out, RenderObserver* observer,
                          RenderResult& result, std::string& error) {
  const AudioFileFormat& format = main.Format();
  if (!CheckInputs(format, key ? &key->Format() : nullptr, error)) return false;
  if (observer) observer->OnStart(format);
  Prepare(format.channels, key != nullptr);
  if (!mPlugin.Initialise(format.sampleRate, mChannels, key != nullptr, error)) return false;
  for (const ParamSetting& s : mOptions.settings) mPlugin.SetParameter(s.index, s.value);

  const int64_t preRoll = std::llround(static_cast<double>(format.sampleRate));
  mProgress = Progress{observer, 0, preRoll + std::max<int64_t>(format.frames, 0)};
  if (!PreRoll(preRoll)) {
    error = "interrupted";
    return false;
  }

  // The latency is settled once the settings have been rendered; it cannot change afterwards
  // because nothing moves the parameters during the file.
  int64_t toDrop = mOptions.keepLatency ? 0 : mPlugin.Latency();
  mTailLeft = toDrop;
  mMainEnded = false;
  mProgress.total += mTailLeft;
  result = RenderResult{};
  for (int64_t position = 0; !mMainEnded || mTailLeft > 0;) {
    const int n = NextInputBlock(main, error);
    if (n < 0 || (key && !ReadKey(*key, n, error))) return false;
    if (n == 0) continue;
    ProcessBlock(n);
    if (observer) observer->OnFileBlock(mPlugin, position, n);
    position += n;
    const int skip = static_cast<int>(std::min<int64_t>(toDrop, n));
    toDrop -= skip;
    if (!WriteOutput(out, skip, n - skip, error)) return false;
    result.framesWritten += n - skip;
    if (!Advance(n)) {
      error = "interrupted";
      return false;
    }
  }
  result.latency = mPlugin.Latency();
  result.clippedSamples = out.ClippedSamples();
  return true;
}

void HostRenderer::Prepare(int channels, bool withKey) {
  mBlock = std::clamp(mOptions.blockSize, 1, RenderOptions::kMaxBlockSize);
  mChannels = channels;
  mInterleaved.assign(static_cast<size_t>(mBlock) * 2, 0.0f);
  mIn.assign(static_cast<size_t>(mChannels), std::vector<float>(static_cast<size_t>(mBlock), 0.0f));
  mOut.assign(static_cast<size_t>(mChannels), std::vector<float>(static_cast<size_t>(mBlock), 0.0f));
  mKey.assign(static_cast<size_t>(mBlock), 0.0f);
  mKeyEnded = !withKey;
}

bool HostRenderer::PreRoll(int64_t frames) {
  for (auto& channel : mIn) std::fill(channel.begin(), channel.end(), 0.0f);
  std::fill(mKey.begin(), mKey.end(), 0.0f);
  for (int64_t left = frames; left > 0;) {
    const int n = static_cast<int>(std::min<int64_t>(left, mBlock));
    ProcessBlock(n);
    left -= n;
    if (!Advance(n)) return false;
  }
  return true;
}

int HostRenderer::NextInputBlock(AudioFile& main, std::string& error) {
  int n = 0;
  if (!mMainEnded) {
    const int64_t got = main.ReadFrames(mInterleaved.data(), mBlock);
    if (got < 0) {
      error = "cannot read the input: " + main.LastError();
      return -1;
    }
    n = static_cast<int>(got);
    for (int c = 0; c < mChannels; ++c) {
      float* channel = mIn[static_cast<size_t>(c)].data();
      for (int i = 0; i < n; ++i) channel[i] = mInterleaved[static_cast<size_t>(i * mChannels + c)];
    }
    mMainEnded = n < mBlock;
  }
  if (mMainEnded && mTailLeft > 0) {
    // Silence after the input's end flushes the frames the latency holds back.
    const int extra = static_cast<int>(std::min<int64_t>(mTailLeft, mBlock - n));
    for (auto& channel : mIn) std::fill_n(channel.begin() + n, extra, 0.0f);
    n += extra;
    mTailLeft -= extra;
  }
  return n;
}

bool HostRenderer::Advance(int nFrames) {
  mProgress.done += nFrames;
  if (!mProgress.observer) return true;
  mProgress.observer->OnProgress(mProgress.done, mProgress.total);
  return !mProgress.observer->Cancelled();
}

bool HostRenderer::ReadKey(AudioFile& key, int nFrames, std::string& error) {
  std::fill_n(mKey.begin(), nFrames, 0.0f);
  if (mKeyEnded) return true;
  const int keyChannels = key.Format().channels;
  mKeyInterleaved.resize(static_cast<size_t>(nFrames) * static_cast<size_t>(keyChannels));
  const int64_t got = key.ReadFrames(mKeyInterleaved.data(), nFrames);
  if (got < 0) {
    error = "cannot read the side-chain file: " + key.LastError();
    return false;
  }
  if (got < nFrames) mKeyEnded = true;
  // The host's key input is a single channel: the file's channels are averaged onto it.
  for (int64_t i = 0; i < got; ++i) {
    double sum = 0.0;
    for (int c = 0; c < keyChannels; ++c) sum += mKeyInterleaved[static_cast<size_t>(i * keyChannels + c)];
    mKey[static_cast<size_t>(i)] = static_cast<float>(sum / keyChannels);
  }
  return true;
}

void HostRenderer::ProcessBlock(int nFrames) {
  const float* inputs[2] = {mIn[0].data(), mChannels > 1 ? mIn[1].data() : nullptr};
  float* outputs[2] = {mOut[0].data(), mChannels > 1 ? mOut[1].data() : nullptr};
  mPlugin.ProcessBlock(inputs, mKey.data(), outputs, nFrames);
}

bool HostRenderer::WriteOutput(AudioFile& out, int first, int nFrames, std::string& error) {
  if (nFrames <= 0) return true;
  for (int c = 0; c < mChannels; ++c)
    for (int i = 0; i < nFrames; ++i)
      mInterleaved[static_cast<size_t>(i * mChannels + c)] = mOut[static_cast<size_t>(c)][static_cast<size_t>(first + i)];
  if (!out.WriteFrames(mInterleaved.data(), nFrames)) {
    error = "cannot write the output: " + out.LastError();
    return false;
  }
  return true;
}

void RenderResult::PrintWarnings(const std::string& output, std::ostream& err) const {
  for (const std::string& warning : warnings) err << "tollenbrook-host: warning: " << warning << std::endl;
  if (clippedSamples <= 0) return;
  err << "tollenbrook-host: warning: " << clippedSamples << " samples clipped in " << output
      << " (its format has no room above full scale)" << std::endl;
}

}  // namespace tbhost
