#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "IPlug/IPlugProcessor.h"
#include "support/AllocationCounter.h"

using iplug::ChannelLayout;
using iplug::IPlugProcessor;
using iplug::kInput;
using iplug::kOutput;
using iplug::MidiMessage;
using iplug::TextBuffer;

namespace {

constexpr const char* kProductIO = "1-1 1.1-1 1.2-1 1.2-2 2.1-1 2.1-2 2-2 2.2-2";

iplug::PluginConfig ProcessorConfig(const char* io, int latency = 0) {
  iplug::PluginConfig config;
  config.mChannelIOStr = io;
  config.mLatency = latency;
  return config;
}

class TestProcessor : public IPlugProcessor {
public:
  explicit TestProcessor(const char* io, int latency = 0) : IPlugProcessor(ProcessorConfig(io, latency)) {}

  bool EmitMidi(const MidiMessage& msg) override {
    mEmitted.push_back(msg.mStatus);
    return msg.mStatus != 0;
  }
  void ResetProcessing() override { ++mResets; }
  void ProcessAudioBlock(double** inputs, double** outputs, int nFrames) override {
    mLastFrames = nFrames;
    if (mCaptureInputs) {
      for (int c = 0; c < NChannels(kInput); ++c) mCaptured[c].assign(inputs[c], inputs[c] + nFrames);
    }
    IPlugProcessor::ProcessAudioBlock(inputs, outputs, nFrames);
  }

  std::vector<int> mEmitted;
  int mResets = 0;
  int mLastFrames = -1;
  bool mCaptureInputs = false;
  std::vector<double> mCaptured[8];
};

struct ParsedIO {
  std::vector<ChannelLayout> configs;
  int n = 0, maxIn = 0, maxOut = 0, maxInBuses = 0, maxOutBuses = 0;
};

ParsedIO Parse(const char* io) {
  ParsedIO p;
  p.n = IPlugProcessor::ParseIOConfigs(io, p.configs, p.maxIn, p.maxOut, p.maxInBuses, p.maxOutBuses);
  return p;
}

std::vector<int> Buses(const ChannelLayout& layout, iplug::Direction dir) {
  std::vector<int> counts;
  for (const auto& bus : layout.mBuses[dir]) {
    EXPECT_EQ(bus.mDirection, dir);
    counts.push_back(bus.mNChannels);
  }
  return counts;
}

uint32_t TestSeed() {
  const uint32_t seed = std::random_device{}();
  std::printf("random seed %u\n", seed);
  return seed;
}

}  // namespace

// ---- channel configurations ----

TEST(ParseIOConfigs, TheProductsStringGivesEightConfigurations) {
  const ParsedIO p = Parse(kProductIO);
  ASSERT_EQ(p.n, 8);
  ASSERT_EQ(p.configs.size(), 8u);
  const std::vector<std::vector<int>> ins = {{1}, {1, 1}, {1, 2}, {1, 2}, {2, 1}, {2, 1}, {2}, {2, 2}};
  const std::vector<std::vector<int>> outs = {{1}, {1}, {1}, {2}, {1}, {2}, {2}, {2}};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(Buses(p.configs[i], kInput), ins[i]) << "configuration " << i;
    EXPECT_EQ(Buses(p.configs[i], kOutput), outs[i]) << "configuration " << i;
  }
  EXPECT_EQ(p.maxIn, 4);
  EXPECT_EQ(p.maxOut, 2);
  EXPECT_EQ(p.maxInBuses, 2);
  EXPECT_EQ(p.maxOutBuses, 1);

  TestProcessor proc(kProductIO);
  EXPECT_EQ(proc.NChannels(kInput), 4);
  EXPECT_EQ(proc.NChannels(kOutput), 2);
  EXPECT_EQ(proc.NIOConfigs(), 8);
}

TEST(ParseIOConfigs, ZeroCountsMakeNoBus) {
  const ParsedIO p = Parse("0-2");
  ASSERT_EQ(p.n, 1);
  EXPECT_TRUE(Buses(p.configs[0], kInput).empty());
  EXPECT_EQ(Buses(p.configs[0], kOutput), std::vector<int>{2});
  EXPECT_EQ(p.maxIn, 0);
  EXPECT_EQ(p.maxOut, 2);
  TestProcessor proc("0-2");
  EXPECT_EQ(proc.NChannels(kInput), 0);
  EXPECT_EQ(proc.NChannels(kOutput), 2);
}

TEST(ParseIOConfigs, WildcardsAreBusesOfMinus64Channels) {
  const ParsedIO p = Parse("*-*");
  ASSERT_EQ(p.n, 1);
  EXPECT_EQ(Buses(p.configs[0], kInput), std::vector<int>{-64});
  EXPECT_EQ(Buses(p.configs[0], kOutput), std::vector<int>{-64});
  EXPECT_EQ(p.maxIn, 0);
  EXPECT_EQ(p.maxOut, 0);
  TestProcessor proc("*-*");
  EXPECT_EQ(proc.NChannels(kInput), 0);
  EXPECT_EQ(proc.NChannels(kOutput), 0);
  EXPECT_EQ(proc.MaxChannelsForBus(kInput, 0), -1);
  EXPECT_EQ(proc.MaxChannelsForBus(kOutput, 0), -1);
  EXPECT_TRUE(proc.LegalIO(-64, -64));
}

TEST(ParseIOConfigs, MalformedTextNeitherCrashesNorInventsChannels) {
  EXPECT_EQ(Parse("2").n, 0) << "a token without '-' is no configuration";
  EXPECT_EQ(Parse("").n, 0);
  EXPECT_EQ(Parse(nullptr).n, 0);

  ParsedIO p = Parse("  2 1-1   2-2 ");
  ASSERT_EQ(p.n, 2) << "stray tokens and repeated spaces are skipped";
  EXPECT_EQ(Buses(p.configs[1], kInput), std::vector<int>{2});

  p = Parse("x-y 1.0.2-2 99999999999-1 1-2-3 -2");
  ASSERT_EQ(p.n, 5);
  EXPECT_TRUE(Buses(p.configs[0], kInput).empty());
  EXPECT_TRUE(Buses(p.configs[0], kOutput).empty());
  EXPECT_EQ(Buses(p.configs[1], kInput), (std::vector<int>{1, 2}));
  EXPECT_TRUE(Buses(p.configs[2], kInput).empty()) << "an absurd count reads as 0";
  EXPECT_EQ(Buses(p.configs[3], kOutput), std::vector<int>{2}) << "the output side is read as a number";
  EXPECT_TRUE(Buses(p.configs[4], kInput).empty());
  EXPECT_EQ(Buses(p.configs[4], kOutput), std::vector<int>{2});
  EXPECT_EQ(p.maxIn, 3);
}

TEST(IPlugProcessor, LegalIOFindsTheFirstConfigurationWithTheseTotals) {
  TestProcessor proc(kProductIO);
  EXPECT_TRUE(proc.LegalIO(3, 2));
  EXPECT_FALSE(proc.LegalIO(4, 1));
  EXPECT_TRUE(proc.LegalIO(-1, 1));
  EXPECT_TRUE(proc.LegalIO(1, -1));
  EXPECT_TRUE(proc.LegalIO(4, 2));
  EXPECT_FALSE(proc.LegalIO(5, 2));
  EXPECT_FALSE(proc.LegalIO(0, 2));
  EXPECT_TRUE(proc.LegalIO(-1, -1));
  TestProcessor none("");
  EXPECT_FALSE(none.LegalIO(-1, -1));
}

TEST(IPlugProcessor, FindIOConfigMatchesBusByBus) {
  TestProcessor proc(kProductIO);
  const int stereoMonoSc[] = {2, 1};
  const int stereo[] = {2};
  const int mono[] = {1};
  const int stereoSc[] = {2, 2};
  EXPECT_EQ(proc.FindIOConfig(stereoMonoSc, stereo), 5);
  EXPECT_EQ(proc.FindIOConfig(stereoMonoSc, mono), 4);
  EXPECT_EQ(proc.FindIOConfig(mono, mono), 0);
  EXPECT_EQ(proc.FindIOConfig(stereoSc, stereo), 7);
  EXPECT_EQ(proc.FindIOConfig(stereo, mono), -1);
  EXPECT_EQ(proc.FindIOConfig({}, {}), -1);
}

TEST(IPlugProcessor, BusCountsAndChannelsPerBus) {
  TestProcessor proc(kProductIO);
  int idx = -1;
  EXPECT_EQ(proc.MaxBusCount(kInput, &idx), 2);
  EXPECT_EQ(idx, 7) << "ties go to the later configuration";
  EXPECT_EQ(proc.MaxBusCount(kOutput, &idx), 1);
  EXPECT_EQ(idx, 7);
  EXPECT_EQ(proc.MaxChannelsForBus(kInput, 0), 2);
  EXPECT_EQ(proc.MaxChannelsForBus(kInput, 1), 2);
  EXPECT_EQ(proc.MaxChannelsForBus(kInput, 2), 0);
  EXPECT_EQ(proc.MaxChannelsForBus(kOutput, 0), 2);
  EXPECT_EQ(proc.MaxChannelsForBus(kOutput, 1), 0);

  TestProcessor sc("1.1-1 2-2");
  EXPECT_EQ(sc.MaxChannelsForBus(kInput, 1), 1) << "a configuration without the bus counts 0";
  TestProcessor none("");
  EXPECT_EQ(none.MaxBusCount(kInput, &idx), 0);
  EXPECT_EQ(idx, 0);
  EXPECT_EQ(none.MaxChannelsForBus(kInput, 0), 0);
}

TEST(IPlugProcessor, BusDisplayNames) {
  TestProcessor proc(kProductIO);
  TextBuffer name;
  auto nameOf = [&](iplug::Direction dir, int bus, int n) {
    proc.BusDisplayName(dir, bus, n, name);
    return std::string(name.Get());
  };
  EXPECT_EQ(nameOf(kInput, 0, 1), "Input");
  EXPECT_EQ(nameOf(kInput, 0, 2), "Main");
  EXPECT_EQ(nameOf(kInput, 1, 2), "Aux");
  EXPECT_EQ(nameOf(kInput, 2, 3), "Input 2");
  EXPECT_EQ(nameOf(kOutput, 0, 1), "Output");
  EXPECT_EQ(nameOf(kOutput, 1, 3), "Output 1");
}

// ---- construction and accessors ----

TEST(IPlugProcessor, StartsAt48kWithNoBlockAndDefaultTransport) {
  TestProcessor proc(kProductIO, 7);
  EXPECT_EQ(proc.GetSampleRate(), 48000.0);
  EXPECT_EQ(proc.GetBlockSize(), 0);
  EXPECT_EQ(proc.GetLatency(), 7);
  EXPECT_EQ(proc.ConnectedChannelCount(kInput), 0);
  const iplug::TimeInfo& t = proc.GetTimeInfo();
  EXPECT_EQ(t.mTempo, 120.0);
  EXPECT_EQ(t.mSamplePos, -1.0);
  EXPECT_EQ(t.mPPQPos, -1.0);
  EXPECT_EQ(t.mCycleStart, -1.0);
  EXPECT_EQ(t.mNumerator, 4);
  EXPECT_FALSE(t.mTransportIsRunning);
  for (int c = 0; c < 4; ++c) EXPECT_NE(proc.ChannelData(kInput)[c], nullptr);

  EXPECT_EQ(proc.BeatLengthInSamples(), 24000.0);
  iplug::TimeInfo slow;
  slow.mTempo = 90.0;
  proc.SetTimeInfo(slow);
  proc.SetSampleRate(44100.0);
  EXPECT_DOUBLE_EQ(proc.BeatLengthInSamples(), 44100.0 * 60.0 / 90.0);
  slow.mTempo = 0.0;
  proc.SetTimeInfo(slow);
  EXPECT_EQ(proc.BeatLengthInSamples(), 0.0);
}

TEST(IPlugProcessor, MidiDefaultsPassMessagesOnAndListsSendEveryMessage) {
  TestProcessor proc(kProductIO);
  proc.HandleMidiInput(MidiMessage{0, 0x90, 1, 2});
  EXPECT_EQ(proc.mEmitted, std::vector<int>{0x90});
  const MidiMessage list[] = {{0, 0x80, 0, 0}, {0, 0, 0, 0}, {0, 0xB0, 0, 0}};
  EXPECT_FALSE(proc.EmitMidiList(list)) << "one failed";
  EXPECT_EQ(proc.mEmitted, (std::vector<int>{0x90, 0x80, 0, 0xB0})) << "and the rest were still sent";
  EXPECT_TRUE(proc.EmitMidiList({}));
  EXPECT_FALSE(proc.EmitSysex(iplug::SysexMessage{}));
}

// ---- channels and host buffers ----

TEST(IPlugProcessor, HostPointersGoToConnectedChannelsInOrderAndTheOthersReadSilence) {
  TestProcessor proc(kProductIO);
  proc.ResizeScratchBuffers(8);
  proc.mCaptureInputs = true;
  std::vector<float> main(8), side(8), outL(8, 99.f), outR(8, 99.f);
  for (int f = 0; f < 8; ++f) {
    main[f] = 0.25f * f;
    side[f] = -1.0f - f;
  }
  // A mono track with a side chain on input channel 2.
  proc.ConnectChannels(kInput, 0, 1, true);
  proc.ConnectChannels(kInput, 1, 3, false);
  proc.ConnectChannels(kInput, 2, 1, true);
  EXPECT_EQ(proc.ConnectedChannelCount(kInput), 2);
  float* inputs[] = {main.data(), side.data()};
  proc.AttachHostBuffers(kInput, 0, 4, inputs, 8);
  proc.ConnectChannels(kOutput, 0, 2, true);
  float* outputs[] = {outL.data(), outR.data()};
  proc.AttachHostBuffers(kOutput, 0, 2, outputs, 8);
  proc.ProcessHostBuffers(8);

  for (int f = 0; f < 8; ++f) {
    EXPECT_EQ(proc.mCaptured[0][f], main[f]);
    EXPECT_EQ(proc.mCaptured[1][f], 0.0) << "disconnected: its own silent scratch";
    EXPECT_EQ(proc.mCaptured[2][f], side[f]) << "the next host pointer, without a gap";
    EXPECT_EQ(proc.mCaptured[3][f], 0.0);
    EXPECT_EQ(outL[f], main[f]) << "assigned, not added to the old contents";
    EXPECT_EQ(outR[f], 0.0f) << "output 1 copies the silent input 1";
  }
  EXPECT_EQ(proc.ChannelData(kInput)[1], proc.ChannelData(kInput)[1]);
  EXPECT_NE(proc.ChannelData(kInput)[1], proc.ChannelData(kInput)[3]) << "each channel has its own scratch";
}

TEST(IPlugProcessor, AChannelThatIsDisconnectedAgainDoesNotReplayItsLastBlock) {
  TestProcessor proc("2.2-2");
  proc.ResizeScratchBuffers(4);
  proc.mCaptureInputs = true;
  std::vector<float> a(4, 0.5f), b(4, 0.5f), c(4, 0.75f), d(4, 0.75f), out(4), out2(4);
  float* all[] = {a.data(), b.data(), c.data(), d.data()};
  float* outs[] = {out.data(), out2.data()};
  proc.ConnectChannels(kInput, 0, 4, true);
  proc.AttachHostBuffers(kInput, 0, 4, all, 4);
  proc.ConnectChannels(kOutput, 0, 2, true);
  proc.AttachHostBuffers(kOutput, 0, 2, outs, 4);
  proc.ProcessHostBuffers(4);
  EXPECT_EQ(proc.mCaptured[2][0], 0.75);

  proc.ConnectChannels(kInput, 2, 2, false);  // the side chain goes away
  proc.AttachHostBuffers(kInput, 0, 4, all, 4);
  proc.ProcessHostBuffers(4);
  for (int f = 0; f < 4; ++f) EXPECT_EQ(proc.mCaptured[2][f], 0.0);
  EXPECT_EQ(proc.mCaptured[0][0], 0.5);
}

TEST(IPlugProcessor, DisconnectedOutputsLeaveTheirHostBufferAlone) {
  TestProcessor proc("1-2");
  proc.ResizeScratchBuffers(4);
  std::vector<float> in(4, 1.0f), outL(4, 5.f), outR(4, 5.f);
  float* ins[] = {in.data()};
  float* outs[] = {outL.data(), outR.data()};
  proc.ConnectChannels(kInput, 0, 1, true);
  proc.AttachHostBuffers(kInput, 0, 1, ins, 4);
  proc.ConnectChannels(kOutput, 0, 2, true);
  proc.AttachHostBuffers(kOutput, 0, 2, outs, 4);
  proc.ConnectChannels(kOutput, 1, 1, false);
  proc.ProcessHostBuffers(4);
  EXPECT_EQ(outL[3], 1.0f);
  EXPECT_EQ(outR[3], 5.0f);
}

TEST(IPlugProcessor, DoublePrecisionHostBuffersAreUsedInPlace) {
  TestProcessor proc("2-2");
  proc.ResizeScratchBuffers(4);
  std::vector<double> inL{1, 2, 3, 4}, inR{5, 6, 7, 8}, outL(4), outR(4);
  std::vector<float> staleFloat(4, -3.f);
  float* floatOuts[] = {staleFloat.data(), staleFloat.data()};
  proc.ConnectChannels(kInput, 0, 2, true);
  proc.ConnectChannels(kOutput, 0, 2, true);
  proc.AttachHostBuffers(kOutput, 0, 2, floatOuts, 4);  // an earlier float block
  double* ins[] = {inL.data(), inR.data()};
  double* outs[] = {outL.data(), outR.data()};
  proc.AttachHostBuffers(kInput, 0, 2, ins);
  proc.AttachHostBuffers(kOutput, 0, 2, outs);
  EXPECT_EQ(proc.ChannelData(kInput)[0], inL.data());
  proc.ProcessHostBuffers(4);
  EXPECT_EQ(outR, inR);
  EXPECT_EQ(staleFloat[0], -3.f) << "no conversion into an old float buffer";
}

TEST(IPlugProcessor, TheBlockSizeOnlyGrowsAndGrowingResetsOnce) {
  TestProcessor proc(kProductIO);
  proc.ResizeScratchBuffers(512);
  EXPECT_FALSE(proc.GrowBlockSize(256));
  EXPECT_EQ(proc.GetBlockSize(), 512);
  EXPECT_EQ(proc.mResets, 0);
  EXPECT_TRUE(proc.GrowBlockSize(1024));
  EXPECT_EQ(proc.GetBlockSize(), 1024);
  EXPECT_EQ(proc.mResets, 1);
  EXPECT_FALSE(proc.GrowBlockSize(1024));
  EXPECT_EQ(proc.mResets, 1);
}

TEST(IPlugProcessor, ABlockLongerThanTheScratchIsCutAndTheRestSilenced) {
  TestProcessor proc("1-1");
  proc.ResizeScratchBuffers(16);
  std::vector<float> in(24, 1.0f), out(24, 9.0f);
  float* ins[] = {in.data()};
  float* outs[] = {out.data()};
  proc.ConnectChannels(kInput, 0, 1, true);
  proc.ConnectChannels(kOutput, 0, 1, true);
  proc.AttachHostBuffers(kInput, 0, 1, ins, 24);
  proc.AttachHostBuffers(kOutput, 0, 1, outs, 24);
  proc.ProcessHostBuffers(24);
  EXPECT_EQ(proc.mLastFrames, 16);
  EXPECT_EQ(out[15], 1.0f);
  for (int f = 16; f < 24; ++f) EXPECT_EQ(out[f], 0.0f);
}

// Every position of a block, vector part and tail, every kind of damage, host floats and host
// doubles (checked on different paths): the processing reads 0 there and is cleared after the
// block; finite extremes are left as they are. A clean float block comes first, so a check
// made on the way in cannot be mistaken for the next block's.
TEST(IPlugProcessor, SamplesThatAreNotFiniteReachTheProcessingAsSilence) {
  const float kinds[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::denorm_min()};
  constexpr int kFrames = 13;
  for (const bool hostDoubles : {false, true}) {
    for (float kind : kinds) {
      for (int at = 0; at < kFrames; ++at) {
        TestProcessor proc("2-2");
        proc.ResizeScratchBuffers(kFrames);
        proc.mCaptureInputs = true;
        std::vector<float> left(kFrames, 0.5f), right(kFrames, -0.5f), outL(kFrames), outR(kFrames);
        float* ins[] = {left.data(), right.data()};
        float* outs[] = {outL.data(), outR.data()};
        proc.ConnectChannels(kInput, 0, 2, true);
        proc.ConnectChannels(kOutput, 0, 2, true);
        proc.AttachHostBuffers(kInput, 0, 2, ins, kFrames);
        proc.AttachHostBuffers(kOutput, 0, 2, outs, kFrames);
        proc.ProcessHostBuffers(kFrames);
        right[static_cast<size_t>(at)] = kind;
        std::vector<double> leftD(left.begin(), left.end()), rightD(right.begin(), right.end());
        double* insD[] = {leftD.data(), rightD.data()};
        if (hostDoubles)
          proc.AttachHostBuffers(kInput, 0, 2, insD);
        else
          proc.AttachHostBuffers(kInput, 0, 2, ins, kFrames);
        proc.ProcessHostBuffers(kFrames);
        const bool finite = std::isfinite(kind);
        const auto where = ::testing::Message() << kind << " at " << at << (hostDoubles ? " doubles" : " floats");
        EXPECT_EQ(proc.mCaptured[1][static_cast<size_t>(at)], finite ? static_cast<double>(kind) : 0.0) << where;
        EXPECT_EQ(proc.mCaptured[1][static_cast<size_t>((at + 1) % kFrames)], -0.5);
        EXPECT_EQ(proc.mResets, finite ? 0 : 1) << where;
        EXPECT_EQ(std::memcmp(&right[static_cast<size_t>(at)], &kind, sizeof kind), 0) << "the host's buffer is left alone";
        const double hostDouble = kind;
        EXPECT_EQ(std::memcmp(&rightD[static_cast<size_t>(at)], &hostDouble, sizeof hostDouble), 0) << "and its doubles";
      }
    }
  }
}

// ---- bypass ----

TEST(IPlugProcessor, BypassWithoutLatencyCopiesMatchingChannelsAndSilencesTheRest) {
  TestProcessor proc("1-2");
  proc.CreateBypassDelayLine();
  proc.ResizeScratchBuffers(4);
  std::vector<float> in{1, 2, 3, 4}, outL(4, 7.f), outR(4, 7.f);
  float* ins[] = {in.data()};
  float* outs[] = {outL.data(), outR.data()};
  proc.ConnectChannels(kInput, 0, 1, true);
  proc.ConnectChannels(kOutput, 0, 2, true);
  proc.AttachHostBuffers(kInput, 0, 1, ins, 4);
  proc.AttachHostBuffers(kOutput, 0, 2, outs, 4);
  proc.PassThroughHostBuffers(4);
  EXPECT_EQ(outL, in);
  EXPECT_EQ(outR, std::vector<float>(4, 0.0f));
  EXPECT_EQ(proc.mLastFrames, -1) << "the processing routine does not run";
}

TEST(IPlugProcessor, BypassWithLatencyDelaysEachChannelByExactlyTheLatency) {
  const uint32_t seed = TestSeed();
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> sample(-1.f, 1.f);
  for (int latency : {1, 7, 64, 300}) {
    TestProcessor proc("2-2");
    proc.CreateBypassDelayLine();
    proc.ResizeScratchBuffers(128);
    proc.UpdateLatency(latency);
    ASSERT_EQ(proc.GetBypassDelayLine()->Length(), latency);
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
      in[c].resize(2000);
      for (float& s : in[c]) s = sample(rng);
      out[c].assign(2000, 99.f);
    }
    proc.ConnectChannels(kInput, 0, 2, true);
    proc.ConnectChannels(kOutput, 0, 2, true);
    std::uniform_int_distribution<int> blockLength(1, 128);
    for (int pos = 0; pos < 2000;) {
      const int n = std::min(blockLength(rng), 2000 - pos);
      float* ins[] = {in[0].data() + pos, in[1].data() + pos};
      float* outs[] = {out[0].data() + pos, out[1].data() + pos};
      proc.AttachHostBuffers(kInput, 0, 2, ins, n);
      proc.AttachHostBuffers(kOutput, 0, 2, outs, n);
      proc.PassThroughHostBuffers(n);
      pos += n;
    }
    for (int c = 0; c < 2; ++c)
      for (int f = 0; f < 2000; ++f)
        ASSERT_EQ(out[c][f], f < latency ? 0.0f : in[c][f - latency]) << "latency " << latency << " channel " << c
                                                                       << " frame " << f << " seed " << seed;
  }
}

TEST(IPlugProcessor, LatencyBeyondTheDelayCapacityIsHeldAtTheCapacity) {
  TestProcessor proc("1-1");
  proc.CreateBypassDelayLine(100);
  proc.UpdateLatency(500);
  EXPECT_EQ(proc.GetLatency(), 500) << "the host is still told the real latency";
  EXPECT_EQ(proc.GetBypassDelayLine()->Length(), 100);
  proc.UpdateLatency(-5);
  EXPECT_EQ(proc.GetLatency(), 0);
  EXPECT_EQ(proc.GetBypassDelayLine()->Length(), 0);
}

TEST(IPlugProcessor, TheRenderPathAndLatencyChangesAllocateNothing) {
  TestProcessor proc("1.2-2");
  proc.CreateBypassDelayLine();
  proc.ResizeScratchBuffers(512);
  std::vector<float> in(2048, 0.5f), side(2048, 0.25f), outL(2048), outR(2048);
  float* ins[] = {in.data(), side.data()};
  float* outs[] = {outL.data(), outR.data()};
  const MidiMessage midi{0, 0x90, 1, 1};
  proc.mEmitted.reserve(8);

  testsupport::AllocationScope scope;
  for (int block = 0; block < 4; ++block) {
    const int n = block == 3 ? 2048 : 256;
    proc.GrowBlockSize(n);  // within the preallocated capacity
    proc.ConnectChannels(kInput, 0, 1, true);
    proc.ConnectChannels(kInput, 1, 2, false);
    proc.ConnectChannels(kInput, 1, 1, true);
    proc.AttachHostBuffers(kInput, 0, 3, ins, n);
    proc.ConnectChannels(kOutput, 0, 2, true);
    proc.AttachHostBuffers(kOutput, 0, 2, outs, n);
    proc.ProcessHostBuffers(n);
    proc.UpdateLatency(64);
    proc.PassThroughHostBuffers(n);
    proc.UpdateLatency(0);
    proc.PassThroughHostBuffers(n);
    proc.HandleMidiInput(midi);
  }
  EXPECT_EQ(scope.Count(), 0);
  EXPECT_EQ(proc.GetBlockSize(), 2048);
}
