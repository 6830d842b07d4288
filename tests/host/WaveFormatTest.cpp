#include <gtest/gtest.h>

#include <cmath>

#include "host/ReferenceWav.h"
#include "host/cli/SampleConversion.h"
#include "host/cli/WaveFormat.h"

namespace {

using tbhost::WaveFormat;

// The format chunk of a reference file (it follows the 20 bytes of RIFF, WAVE and chunk header).
std::vector<uint8_t> FmtOf(const hosttest::ReferenceWav& w) {
  const std::vector<uint8_t> bytes = w.Encode();
  const uint32_t size = bytes[16] | (bytes[17] << 8);
  return std::vector<uint8_t>(bytes.begin() + 20, bytes.begin() + 20 + size);
}

TEST(WaveFormat, ParsesAndRebuildsEveryReadableHeader) {
  const struct {
    uint16_t tag, sub, container, valid;
  } cases[] = {{1, 1, 8, 8},     {1, 1, 16, 16},     {1, 1, 24, 24},     {1, 1, 32, 32},    {3, 3, 32, 32},
               {3, 3, 64, 64},   {0xFFFE, 1, 24, 20}, {0xFFFE, 1, 32, 24}, {0xFFFE, 3, 32, 32}, {1, 1, 24, 20}};
  for (const auto& c : cases) {
    hosttest::ReferenceWav w;
    w.formatTag = c.tag;
    w.subFormat = c.sub;
    w.containerBits = c.container;
    w.validBits = c.valid;
    w.channels = 2;
    w.channelMask = 3;
    const std::vector<uint8_t> fmt = FmtOf(w);
    WaveFormat parsed;
    std::string error;
    ASSERT_TRUE(WaveFormat::Parse(fmt.data(), fmt.size(), parsed, error)) << error;
    EXPECT_EQ(parsed.mContainerBits, c.container);
    EXPECT_EQ(parsed.mValidBits, c.valid);
    EXPECT_EQ(parsed.mSubFormatTag, c.sub);
    EXPECT_EQ(parsed.Serialise(), fmt) << "tag " << c.tag << " bits " << c.valid;

    const tbhost::AudioFileFormat format = parsed.ToAudioFormat();
    WaveFormat rebuilt;
    ASSERT_TRUE(WaveFormat::FromAudioFormat(format, rebuilt, error)) << error;
    EXPECT_EQ(rebuilt.Serialise(), fmt);
  }
}

TEST(WaveFormat, RefusesEncodingsItCannotReadWithAReason) {
  hosttest::ReferenceWav adpcm;
  adpcm.formatTag = 2;
  adpcm.containerBits = 16;
  auto fmt = FmtOf(adpcm);
  WaveFormat parsed;
  std::string error;
  EXPECT_FALSE(WaveFormat::Parse(fmt.data(), fmt.size(), parsed, error));
  EXPECT_NE(error.find("0x0002"), std::string::npos) << error;

  hosttest::ReferenceWav odd;
  odd.containerBits = 12;
  odd.validBits = 12;
  odd.channels = 2;  // block alignment 3 bytes: 12-bit samples are not stored this way
  fmt = FmtOf(odd);
  EXPECT_FALSE(WaveFormat::Parse(fmt.data(), fmt.size(), parsed, error));

  hosttest::ReferenceWav float16;
  float16.formatTag = 3;
  float16.subFormat = 3;
  float16.containerBits = 16;
  float16.validBits = 16;
  fmt = FmtOf(float16);
  EXPECT_FALSE(WaveFormat::Parse(fmt.data(), fmt.size(), parsed, error));
  EXPECT_NE(error.find("float"), std::string::npos) << error;

  EXPECT_FALSE(WaveFormat::Parse(fmt.data(), 10, parsed, error));
  hosttest::ReferenceWav ext;
  ext.formatTag = 0xFFFE;
  fmt = FmtOf(ext);
  fmt[30] ^= 0x40;  // a foreign GUID
  EXPECT_FALSE(WaveFormat::Parse(fmt.data(), fmt.size(), parsed, error));
}

TEST(SampleConversion, IntegerStepsMapToExactFloatsAndBack) {
  for (int bits : {8, 16, 24}) {
    const int32_t full = 1 << (bits - 1);
    for (int32_t q : {-full, -full + 1, -1, 0, 1, full - 2, full - 1}) {
      const int32_t left = static_cast<int32_t>(static_cast<uint32_t>(q) << (32 - bits));
      const float f = tbhost::IntegerSampleToFloat(left);
      EXPECT_EQ(static_cast<double>(f), static_cast<double>(q) / full);
      bool clipped = true;
      EXPECT_EQ(tbhost::FloatToIntegerSample(f, bits, clipped), q);
      EXPECT_FALSE(clipped);
    }
  }
  bool clipped = false;
  EXPECT_EQ(tbhost::FloatToIntegerSample(std::nanf(""), 16, clipped), 0);
  EXPECT_TRUE(clipped);
  EXPECT_EQ(tbhost::FloatToIntegerSample(-1e30f, 24, clipped), -(1 << 23));
  EXPECT_TRUE(clipped);
  // A float has 24 significant bits, so every float below full scale is a 32-bit step.
  EXPECT_EQ(tbhost::FloatToIntegerSample(0.999999f, 32, clipped), std::ldexp(static_cast<double>(0.999999f), 31));
  EXPECT_FALSE(clipped);
}

}  // namespace
