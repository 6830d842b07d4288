#include <gtest/gtest.h>

#include <algorithm>

#include "host/FakePlugin.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/AudioFile.h"
#include "host/cli/HostRenderer.h"
#include "host/cli/RenderCommand.h"

namespace {

using hosttest::FakePlugin;

struct Rendered {
  bool ok = false;
  std::string error;
  hosttest::ReferenceWav wav;
  tbhost::RenderResult result;
};

Rendered Render(FakePlugin& plugin, const std::string& in, const std::string& key, const std::string& out,
                tbhost::RenderOptions options) {
  Rendered r;
  tbhost::RenderRequest request{in, out, key, options};
  r.ok = tbhost::RenderCommand::Run(request, plugin, nullptr, r.result, r.error);
  if (r.ok) r.wav = hosttest::ReadWav(out);
  return r;
}

TEST(HostRenderer, InitialisesThenSetsThenPreRollsOneSecondBeforeTheFile) {
  hosttest::ScopedTempDir dir;
  hosttest::WritePcm16(dir.File("in.wav"), 2, 44100, hosttest::Interleave({hosttest::TestSignal(1000, 0.5, 1),
                                                                           hosttest::TestSignal(1000, 0.5, 2)}));
  FakePlugin plugin;
  tbhost::RenderOptions options;
  options.settings = {{1, 1.0}, {0, 2.0}};
  const Rendered r = Render(plugin, dir.File("in.wav"), "", dir.File("out.wav"), options);
  ASSERT_TRUE(r.ok) << r.error;

  ASSERT_GE(plugin.mLog.size(), 3u);
  EXPECT_EQ(plugin.mLog[0], "init 44100 2 nokey");
  EXPECT_EQ(plugin.mLog[1], "set 1 1");
  EXPECT_EQ(plugin.mLog[2], "set 0 2");
  // 44100 frames of pre-roll in 512-frame blocks (86 whole ones and the rest), then the file
  // (1000 frames) and the 128-frame latency tail, which continue the block sequence afresh.
  std::vector<int> expected(86, 512);
  expected.push_back(44100 - 86 * 512);
  expected.push_back(512);
  expected.push_back(512);
  expected.push_back(1000 + 128 - 1024);
  EXPECT_EQ(plugin.mBlockSizes, expected);
  EXPECT_EQ(r.wav.Frames(), 1000);
  EXPECT_EQ(r.result.latency, 128);
}

TEST(HostRenderer, AlignsTheOutputWithTheInputOrKeepsTheLatency) {
  hosttest::ScopedTempDir dir;
  const auto left = hosttest::TestSignal(3001, 0.5, 3), right = hosttest::TestSignal(3001, 0.4, 4);
  hosttest::WritePcm16(dir.File("in.wav"), 2, 48000, hosttest::Interleave({left, right}));
  for (int block : {1, 64, 100, 4096}) {
    SCOPED_TRACE("block " + std::to_string(block));
    tbhost::RenderOptions options;
    options.blockSize = block;
    options.settings = {{0, 1.0}};
    FakePlugin aligned;
    const Rendered a = Render(aligned, dir.File("in.wav"), "", dir.File("a.wav"), options);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(hosttest::Channel(a.wav, 0), left);
    EXPECT_EQ(hosttest::Channel(a.wav, 1), right);

    options.keepLatency = true;
    FakePlugin kept;
    const Rendered k = Render(kept, dir.File("in.wav"), "", dir.File("k.wav"), options);
    ASSERT_TRUE(k.ok) << k.error;
    std::vector<int64_t> delayed(64, 0);
    delayed.insert(delayed.end(), left.begin(), left.end() - 64);
    EXPECT_EQ(hosttest::Channel(k.wav, 0), delayed);
    EXPECT_EQ(k.wav.Frames(), 3001);
  }
}

TEST(HostRenderer, AFileShorterThanTheLatencyStillComesOutWhole) {
  hosttest::ScopedTempDir dir;
  const auto mono = hosttest::TestSignal(50, 0.5, 5);
  hosttest::WritePcm16(dir.File("in.wav"), 1, 48000, mono);
  tbhost::RenderOptions options;
  options.settings = {{0, 2.0}};
  FakePlugin plugin;
  const Rendered r = Render(plugin, dir.File("in.wav"), "", dir.File("out.wav"), options);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(hosttest::Channel(r.wav, 0), mono);
}

TEST(HostRenderer, KeyChannelsAreAveragedOntoTheSingleKeyInputAndEndInSilence) {
  hosttest::ScopedTempDir dir;
  const int frames = 1500, keyFrames = 700;
  const auto main = hosttest::TestSignal(frames, 0.2, 6);
  std::vector<int64_t> keyL(keyFrames), keyR(keyFrames);
  for (int i = 0; i < keyFrames; ++i) {
    keyL[static_cast<size_t>(i)] = 4 * i;
    keyR[static_cast<size_t>(i)] = -2 * i + 1000;
  }
  hosttest::WritePcm16(dir.File("in.wav"), 1, 48000, main);
  hosttest::WritePcm16(dir.File("key.wav"), 2, 48000, hosttest::Interleave({keyL, keyR}));
  tbhost::RenderOptions options;
  options.blockSize = 256;
  options.settings = {{1, 1.0}};
  FakePlugin plugin;
  const Rendered r = Render(plugin, dir.File("in.wav"), dir.File("key.wav"), dir.File("out.wav"), options);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(plugin.mLog[0], "init 48000 1 key");
  ASSERT_EQ(r.wav.channels, 1);
  const auto out = hosttest::Channel(r.wav, 0);
  ASSERT_EQ(out.size(), main.size());
  for (int i = 0; i < frames; ++i) {
    const int64_t key = i < keyFrames ? (keyL[static_cast<size_t>(i)] + keyR[static_cast<size_t>(i)]) / 2 : 0;
    ASSERT_EQ(out[static_cast<size_t>(i)], main[static_cast<size_t>(i)] + key) << "frame " << i;
  }
}

TEST(HostRenderer, RejectsMoreThanTwoChannelsAndMismatchedRates) {
  tbhost::AudioFileFormat main = tbhost::AudioFileFormat::Wav(48000, 3, tbhost::SampleKind::kInteger, 16);
  std::string error;
  EXPECT_FALSE(tbhost::HostRenderer::CheckInputs(main, nullptr, error));
  EXPECT_NE(error.find("3 channels"), std::string::npos) << error;
  main.channels = 2;
  const tbhost::AudioFileFormat key = tbhost::AudioFileFormat::Wav(44100, 1, tbhost::SampleKind::kInteger, 16);
  EXPECT_FALSE(tbhost::HostRenderer::CheckInputs(main, &key, error));
  EXPECT_NE(error.find("44100"), std::string::npos) << error;
  EXPECT_TRUE(tbhost::HostRenderer::CheckInputs(main, nullptr, error));
}

}  // namespace
