#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "host/cli/AudioFile.h"

namespace {

using hosttest::ReferenceWav;
using tbhost::AudioFile;
using tbhost::SampleKind;

struct WavCase {
  const char* name;
  uint16_t formatTag;
  uint16_t subFormat;
  uint16_t containerBits;
  uint16_t validBits;
  uint16_t channels;
};

// Every sample format the host reads and writes in a WAVE file, plain and extensible.
const WavCase kCases[] = {
    {"pcm8", 1, 1, 8, 8, 2},          {"pcm16", 1, 1, 16, 16, 2},        {"pcm16_mono", 1, 1, 16, 16, 1},
    {"pcm24", 1, 1, 24, 24, 2},       {"pcm32", 1, 1, 32, 32, 2},        {"float32", 3, 3, 32, 32, 2},
    {"float64", 3, 3, 64, 64, 2},     {"ext_pcm16", 0xFFFE, 1, 16, 16, 2}, {"ext_pcm24", 0xFFFE, 1, 24, 24, 2},
    {"ext_pcm32", 0xFFFE, 1, 32, 32, 2}, {"ext_float32", 0xFFFE, 3, 32, 32, 2}, {"ext_float64", 0xFFFE, 3, 64, 64, 2},
};

// Samples that survive the host's float buffers exactly: integers of up to 24 significant bits
// (32-bit samples in steps of 256), full scale at both ends, and floats beyond full scale.
ReferenceWav MakeReference(const WavCase& c, uint32_t seed) {
  ReferenceWav w;
  w.formatTag = c.formatTag;
  w.subFormat = c.subFormat;
  w.containerBits = c.containerBits;
  w.validBits = c.validBits;
  w.channels = c.channels;
  w.sampleRate = 44100;
  w.channelMask = c.channels == 2 ? 3 : 4;
  w.hasFact = c.formatTag != 1;
  std::mt19937 rng(seed);
  const int frames = 1237;
  const int intBits = w.IsFloat() ? 16 : c.validBits;  // the integer range is used for PCM only
  const int64_t lo = -(int64_t{1} << (intBits - 1));
  const int64_t hi = (int64_t{1} << (intBits - 1)) - 1;
  const int64_t grain = intBits > 24 ? int64_t{1} << (intBits - 24) : 1;
  for (int i = 0; i < frames * c.channels; ++i) {
    if (w.IsFloat()) {
      const float f = i == 0 ? 0.0f : i == 1 ? -1.0f : i == 2 ? 1.75f : std::uniform_real_distribution<float>(-1.5f, 1.5f)(rng);
      w.floats.push_back(f);
    } else {
      int64_t q = i == 0 ? lo : i == 1 ? hi - (grain - 1) : i == 2 ? 0 : std::uniform_int_distribution<int64_t>(lo, hi)(rng);
      q = q / grain * grain;
      w.ints.push_back(q);
    }
  }
  return w;
}

float Expected(const ReferenceWav& w, size_t i) {
  if (w.IsFloat()) return static_cast<float>(w.floats[i]);
  return static_cast<float>(static_cast<double>(w.ints[i]) / std::ldexp(1.0, w.validBits - 1));
}

std::vector<float> ReadAll(AudioFile& file, int chunk) {
  std::vector<float> all;
  std::vector<float> buf(static_cast<size_t>(chunk * file.Format().channels));
  for (;;) {
    const int64_t n = file.ReadFrames(buf.data(), chunk);
    EXPECT_GE(n, 0) << file.LastError();
    if (n <= 0) break;
    all.insert(all.end(), buf.begin(), buf.begin() + n * file.Format().channels);
  }
  return all;
}

class WavRoundTrip : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavRoundTrip, ReadsTheExactSamplesAndWritesThemBack) {
  const WavCase& c = GetParam();
  const uint32_t seed = 20240 + c.containerBits + c.formatTag;
  SCOPED_TRACE(std::string(c.name) + " seed " + std::to_string(seed));
  hosttest::ScopedTempDir dir;
  const ReferenceWav ref = MakeReference(c, seed);
  const std::string in = dir.File(std::string("in+") + c.name + ".wav");
  hosttest::WriteBytes(in, ref.Encode());

  std::string error;
  std::unique_ptr<AudioFile> reader = AudioFile::OpenForReading(in, error);
  ASSERT_TRUE(reader) << error;
  const tbhost::AudioFileFormat format = reader->Format();
  EXPECT_EQ(format.channels, c.channels);
  EXPECT_EQ(format.sampleRate, 44100);
  EXPECT_EQ(format.frames, ref.Frames());
  EXPECT_EQ(format.kind, ref.IsFloat() ? SampleKind::kFloat : SampleKind::kInteger);
  EXPECT_EQ(format.bits, c.validBits);
  const std::vector<float> samples = ReadAll(*reader, 100);
  ASSERT_EQ(samples.size(), ref.Frames() * c.channels);
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(samples[i], Expected(ref, i)) << "sample " << i;
  reader.reset();

  const std::string out = dir.File(std::string("out ") + c.name + ".wav");
  std::unique_ptr<AudioFile> writer = AudioFile::CreateForWriting(out, format, error);
  ASSERT_TRUE(writer) << error;
  for (size_t at = 0; at < samples.size(); at += 333 * c.channels) {
    const size_t n = std::min<size_t>(333 * c.channels, samples.size() - at);
    ASSERT_TRUE(writer->WriteFrames(samples.data() + at, static_cast<int64_t>(n / c.channels))) << writer->LastError();
  }
  ASSERT_TRUE(writer->Close()) << writer->LastError();
  EXPECT_EQ(writer->ClippedSamples(), 0);
  writer.reset();

  ReferenceWav back;
  std::string why;
  ASSERT_TRUE(ReferenceWav::Decode(hosttest::ReadBytes(out), back, why)) << why;
  EXPECT_EQ(back.formatTag, ref.formatTag);
  EXPECT_EQ(back.subFormat, ref.subFormat);
  EXPECT_EQ(back.channels, ref.channels);
  EXPECT_EQ(back.sampleRate, ref.sampleRate);
  EXPECT_EQ(back.containerBits, ref.containerBits);
  EXPECT_EQ(back.validBits, ref.validBits);
  if (ref.IsFloat()) {
    ASSERT_EQ(back.floats.size(), ref.floats.size());
    for (size_t i = 0; i < ref.floats.size(); ++i) ASSERT_EQ(back.floats[i], ref.floats[i]) << "sample " << i;
  } else {
    ASSERT_EQ(back.ints, ref.ints);
  }
}

INSTANTIATE_TEST_SUITE_P(EverySampleFormat, WavRoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WavCase>& info) { return std::string(info.param.name); });

TEST(AudioFileWrite, RoundsToTheNearestStepAndClipsAtFullScale) {
  hosttest::ScopedTempDir dir;
  std::string error;
  const auto format = tbhost::AudioFileFormat::Wav(48000, 1, SampleKind::kInteger, 16);
  std::unique_ptr<AudioFile> writer = AudioFile::CreateForWriting(dir.File("q.wav"), format, error);
  ASSERT_TRUE(writer) << error;
  const float step = 1.0f / 32768.0f;
  const float in[] = {0.4f * step, 0.6f * step, -0.6f * step, 2.5f * step, -2.5f * step, 1.0f, 1.5f, -1.0f, -3.0f};
  ASSERT_TRUE(writer->WriteFrames(in, 9));
  ASSERT_TRUE(writer->Close());
  EXPECT_EQ(writer->ClippedSamples(), 3);  // 1.0 and 1.5 above the largest step, -3.0 below -1
  ReferenceWav back;
  std::string why;
  ASSERT_TRUE(ReferenceWav::Decode(hosttest::ReadBytes(dir.File("q.wav")), back, why)) << why;
  EXPECT_EQ(back.ints, (std::vector<int64_t>{0, 1, -1, 3, -3, 32767, 32767, -32768, -32768}));
}

TEST(AudioFileRead, RejectsAFileThatIsNotSound) {
  hosttest::ScopedTempDir dir;
  const std::string path = dir.File("notes.wav");
  const std::string text = "These are not the samples you are looking for.\n";
  hosttest::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  std::string error;
  EXPECT_FALSE(AudioFile::OpenForReading(path, error));
  EXPECT_NE(error.find("notes.wav"), std::string::npos) << error;
}

TEST(AudioFileRead, ReadsWhatATruncatedFileHolds) {
  hosttest::ScopedTempDir dir;
  ReferenceWav w;
  for (int i = 0; i < 2000; ++i) w.ints.push_back(i - 1000);
  std::vector<uint8_t> bytes = w.Encode();
  bytes.resize(bytes.size() - 800);  // 400 frames cut off
  const uint32_t riff = static_cast<uint32_t>(bytes.size() - 8);
  std::memcpy(bytes.data() + 4, &riff, 4);  // the RIFF size is often fixed up, the data size not
  const std::string path = dir.File("cut.wav");
  hosttest::WriteBytes(path, bytes);
  std::string error;
  std::unique_ptr<AudioFile> file = AudioFile::OpenForReading(path, error);
  ASSERT_TRUE(file) << error;
  const std::vector<float> samples = ReadAll(*file, 256);
  ASSERT_EQ(samples.size(), 1600u);
  for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(samples[i], (static_cast<float>(i) - 1000.0f) / 32768.0f);
}

TEST(AudioFileRead, NamesOutsideTheCodePageWork) {
  hosttest::ScopedTempDir dir;
  ReferenceWav w;
  w.channels = 1;
  w.ints = {1, -2, 3};
  const std::string path = dir.File("Gr\xC3\xBC\xC3\x9F" "e \xE2\x99\xAA.wav");
  hosttest::WriteBytes(path, w.Encode());
  std::string error;
  std::unique_ptr<AudioFile> file = AudioFile::OpenForReading(path, error);
  ASSERT_TRUE(file) << error;
  EXPECT_EQ(file->Format().frames, 3);
}

}  // namespace
