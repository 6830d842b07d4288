// Linux reads every format libsndfile reads and writes the output in the input's own format.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sndfile.h>

#include <sstream>

#include "host/FakePlugin.h"
#include "host/TestFiles.h"
#include "host/WavFixtures.h"
#include "host/cli/HostMain.h"

namespace {

std::vector<int> Signal(int frames, int channels) {
  const auto a = hosttest::TestSignal(frames, 0.5, 31), b = hosttest::TestSignal(frames, 0.3, 32);
  std::vector<int> out;
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) out.push_back(static_cast<int>((c ? b : a)[static_cast<size_t>(i)]) * 65536);
  return out;
}

bool WriteWithSndfile(const std::string& path, int format, int channels, const std::vector<int>& samples) {
  SF_INFO info{};
  info.samplerate = 32000;
  info.channels = channels;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
  const bool ok = sf_writef_int(f, samples.data(), frames) == frames;
  sf_close(f);
  return ok;
}

TEST(SndfileFormats, OutputKeepsTheInputsContainerAndEncoding) {
  const struct {
    const char* name;
    int format;
    int channels;
  } cases[] = {
      {"in.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2},
      {"in.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1},
      {"in.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16, 2},
      {"in.w64", SF_FORMAT_W64 | SF_FORMAT_FLOAT, 2},
      {"in.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    hosttest::ScopedTempDir dir;
    const std::vector<int> samples = Signal(5000, c.channels);
    ASSERT_TRUE(WriteWithSndfile(dir.File(c.name), c.format, c.channels, samples));
    std::ostringstream out, err;
    tbhost::HostEnvironment env{out, err, nullptr,
                                [](std::string&) -> std::unique_ptr<tbhost::PluginInstance> {
                                  return std::make_unique<hosttest::FakePlugin>();
                                },
                                nullptr};
    const std::string rendered = dir.File(std::string("out-") + c.name);
    ASSERT_EQ(tbhost::RunHost({"render", dir.File(c.name), rendered}, env), 0) << err.str();

    SF_INFO info{};
    SNDFILE* f = sf_open(rendered.c_str(), SFM_READ, &info);
    ASSERT_TRUE(f) << sf_strerror(nullptr);
    EXPECT_EQ(info.format & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK), c.format);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(info.samplerate, 32000);
    std::vector<int> back(samples.size());
    EXPECT_EQ(sf_readf_int(f, back.data(), 5000), 5000);
    sf_close(f);
    EXPECT_EQ(back, samples);  // the stand-in plug-in passes the signal through
  }
}

}  // namespace
#endif
