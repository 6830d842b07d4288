#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <regex>
#include <string>

#include "IPlug/LV2/FloatWav.h"
#include "IPlug/LV2/LilvRig.h"
#include "IPlug/LV2/ToolRun.h"
#include "host/ReferenceWav.h"
#include "host/TestFiles.h"
#include "product/MusicSignal.h"

// The LV2 bundle renders what the AAX module renders: lilv, the reference host library, and
// lv2apply against tollenbrook-host render with the same settings and input. Both paths carry
// 32-bit floats at their edges, so they agree to within 1e-6.
namespace {

using lv2test::Channels;
using lv2test::Settings;

constexpr int kRate = 48000;
constexpr int kFrames = 72000;  // 1.5 s
constexpr double kTolerance = 1e-6;

Channels Music(int channels) {
  const chaintest::MusicSignal music(kFrames, 11);
  Channels out(static_cast<size_t>(channels));
  for (int c = 0; c < channels; ++c)
    out[static_cast<size_t>(c)].assign(c == 0 ? music.left.begin() : music.right.begin(),
                                       c == 0 ? music.left.end() : music.right.end());
  return out;
}

// A key that comes and goes every quarter second, unlike the music it keys.
std::vector<float> Key() {
  const chaintest::MusicSignal music(kFrames, 23, 1.0);
  std::vector<float> key(music.left.begin(), music.left.end());
  for (size_t i = 0; i < key.size(); ++i) key[i] *= (i / 12000) % 2 ? 1.0f : 0.05f;
  return key;
}

struct HostRender {
  Channels out;
  int latency = -1;
};

HostRender RenderWithHost(const hosttest::ScopedTempDir& dir, const Channels& in, const std::vector<float>* key,
                          const Settings& settings) {
  std::vector<std::string> args = {lv2test::HostProgram(), "render", dir.File("in.wav"), dir.File("host.wav")};
  lv2test::WriteFloatWav(args[2], in, kRate);
  if (key) {
    lv2test::WriteFloatWav(dir.File("key.wav"), {*key}, kRate);
    args.insert(args.end(), {"--sidechain", dir.File("key.wav")});
  }
  for (const auto& [name, value] : settings) args.insert(args.end(), {"--set", name + "=" + std::to_string(int(value))});
  const lv2test::ToolRun run = lv2test::RunTool(args);
  EXPECT_EQ(run.status, 0) << run.output;
  HostRender r;
  r.out = lv2test::ReadFloatWav(args[3]);
  std::smatch m;
  if (std::regex_search(run.output, m, std::regex("latency (\\d+) samples"))) r.latency = std::stoi(m[1]);
  return r;
}

struct Case {
  const char* what;
  int channels;
  bool keyed;
  Settings settings;
  int latency;
  bool switchedOut = false;  // "Bypass" at 0: the input passes
};

const Case kCases[] = {
    {"defaults", 2, false, {}, 0},
    {"every parameter moved",
     2,
     true,
     {{"Compressor Threshold", 3}, {"Limit Level", 5}, {"Gain", 4}, {"Mix", 15}, {"Ratio", 4}, {"High", 0},
      {"Mid", 4}, {"High Pass Filter", 3}, {"Compressor Recovery Time", 4}, {"Level Recovery Time", 5},
      {"External Sidechain", 1}, {"Oversample", 1}},
     64},
    {"oversampling", 2, false, {{"Oversample", 1}, {"Compressor Threshold", 4}, {"Ratio", 3}}, 64},
    {"side chain", 2, true, {{"External Sidechain", 1}, {"Limit Level", 0}, {"Compressor Threshold", 2}}, 0},
    {"mono", 1, true, {{"Compressor Threshold", 2}, {"Ratio", 3}, {"Compressor Recovery Time", 5}}, 0},
    {"bypass", 2, false, {{"Bypass", 0}, {"Oversample", 1}}, 0, true},
};

TEST(LV2Render, AgreesWithTheHostRender) {
  const std::vector<float> key = Key();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    hosttest::ScopedTempDir dir;
    const Channels in = Music(c.channels);
    const HostRender host = RenderWithHost(dir, in, c.keyed ? &key : nullptr, c.settings);
    const char* uri = c.channels == 1 ? lv2test::kMonoURI : lv2test::kStereoURI;
    const lv2test::RenderResult lv2 = lv2test::Render(uri, in, c.keyed ? &key : nullptr, c.settings, kRate);
    const double difference = lv2test::MaxDifference(lv2.out, host.out);
    std::printf("  %-22s largest difference from tollenbrook-host render: %.3g\n", c.what, difference);
    EXPECT_LE(difference, kTolerance);
    EXPECT_EQ(lv2.latency, c.latency);
    EXPECT_EQ(host.latency, c.latency);
    // The processing is in: the output is not the input (less the offset that "Bypass" leaves).
    if (c.switchedOut) {
      EXPECT_LT(lv2test::MaxDifference(lv2.out, in), 1e-12);
    } else {
      EXPECT_GT(lv2test::MaxDifference(lv2.out, in), 0.01);
    }
  }
}

// Any block length, 0 included, up to the bound and past it, with the outputs written into
// the input buffers: the same samples as plain 512-frame blocks.
TEST(LV2Render, DoesNotDependOnBlockLengthsOrInPlaceBuffers) {
  const Channels in = Music(2);
  const std::vector<float> key = Key();
  const Settings settings = {{"Oversample", 1}, {"External Sidechain", 1}, {"Compressor Threshold", 3}};
  const lv2test::RenderResult plain = lv2test::Render(lv2test::kStereoURI, in, &key, settings, kRate);
  lv2test::RenderOptions options;
  options.blocks = {0, 1, 17, 512, 0, 4096, 333, 9000, 64};
  options.maxBlock = 4096;
  options.inPlace = true;
  const lv2test::RenderResult varied = lv2test::Render(lv2test::kStereoURI, in, &key, settings, kRate, options);
  EXPECT_EQ(lv2test::MaxDifference(plain.out, varied.out), 0.0);
  EXPECT_EQ(varied.latency, 64);
}

// The host's bypass passes the input through, delayed by the latency the plug-in reported,
// so the aligned output is the input itself once the 10 ms crossfade from the processing (loud,
// at "Gain" 10) has passed; the crossfade starts from the processed signal, so nothing steps.
TEST(LV2Render, HostBypassPassesTheInputThroughAtTheReportedLatency) {
  const Channels in = Music(2);
  lv2test::RenderOptions options;
  options.afterPreRoll = {{"Enabled", 0}};
  const lv2test::RenderResult r =
      lv2test::Render(lv2test::kStereoURI, in, nullptr, {{"Oversample", 1}, {"Gain", 10}}, kRate, options);
  const lv2test::RenderResult processed =
      lv2test::Render(lv2test::kStereoURI, in, nullptr, {{"Oversample", 1}, {"Gain", 10}}, kRate, {});
  EXPECT_EQ(r.latency, 64);
  const size_t faded = static_cast<size_t>(kRate / 100) - static_cast<size_t>(r.latency);
  for (size_t c = 0; c < 2; ++c) {
    // The first aligned frame is 64 frames into the fade: still mostly the processed signal.
    EXPECT_LT(std::fabs(r.out[c][0] - processed.out[c][0]), std::fabs(r.out[c][0] - in[c][0]) / 4) << "no step";
    for (size_t i = faded; i < in[c].size(); ++i) ASSERT_EQ(r.out[c][i], in[c][i]) << c << " " << i;
  }
}

// lv2apply feeds the file's channels to the plug-in's audio inputs in order: left, right and
// the key. One second of silence in front stands for the host's pre-roll.
TEST(LV2Apply, ProcessesAFileAsTheHostRenders) {
  if (lv2test::SanitizedBuild()) GTEST_SKIP() << "lv2apply cannot load a sanitizer build";
  hosttest::ScopedTempDir dir;
  const Channels music = Music(2);
  Channels in(3);
  for (size_t c = 0; c < 2; ++c) {
    in[c].assign(kRate, 0.0f);
    in[c].insert(in[c].end(), music[c].begin(), music[c].end());
  }
  in[2].assign(in[0].size(), 0.0f);
  lv2test::WriteFloatWav(dir.File("apply-in.wav"), in, kRate);
  const lv2test::ToolRun run =
      lv2test::RunTool({"lv2apply", "-i", dir.File("apply-in.wav"), "-o", dir.File("apply-out.wav"), "-c",
                        "compressor_threshold", "3", "-c", "ratio", "4", "-c", "gain", "2", lv2test::kStereoURI});
  ASSERT_EQ(run.status, 0) << run.output;
  Channels applied = lv2test::ReadFloatWav(dir.File("apply-out.wav"));
  ASSERT_EQ(applied.size(), 2u);
  for (auto& c : applied) c.erase(c.begin(), c.begin() + std::min<size_t>(kRate, c.size()));

  const HostRender host =
      RenderWithHost(dir, music, nullptr, {{"Compressor Threshold", 3}, {"Ratio", 4}, {"Gain", 2}});
  const double difference = lv2test::MaxDifference(applied, host.out);
  std::printf("  lv2apply: largest difference from tollenbrook-host render: %.3g\n", difference);
  EXPECT_LE(difference, kTolerance);
  EXPECT_GT(lv2test::MaxDifference(applied, music), 0.01);
}

}  // namespace
