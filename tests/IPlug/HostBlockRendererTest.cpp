#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "IPlug/HostBlockRenderer.h"
#include "support/AllocationCounter.h"

using iplug::HostBlock;
using iplug::HostBlockRenderer;
using iplug::IPlugProcessor;
using iplug::kInput;
using iplug::kOutput;

namespace {

iplug::PluginConfig Config(const char* io) {
  iplug::PluginConfig config;
  config.mChannelIOStr = io;
  return config;
}

// Output c is input c plus ten times the side-chain channel's input, so the key's route shows.
class KeyedProcessor : public IPlugProcessor {
public:
  explicit KeyedProcessor(const char* io) : IPlugProcessor(Config(io)) {
    ConnectChannels(kInput, 0, NChannels(kInput), true);
    ConnectChannels(kOutput, 0, NChannels(kOutput), true);
    ResizeScratchBuffers(512);
  }
  bool EmitMidi(const iplug::MidiMessage&) override { return true; }
  void ProcessAudioBlock(double** inputs, double** outputs, int nFrames) override {
    ++mCalls;
    const int key = MaxChannelsForBus(kInput, 0);
    for (int c = 0; c < NChannels(kOutput); ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = (c < key ? inputs[c][i] : 0.0) + (key < NChannels(kInput) ? 10.0 * inputs[key][i] : 0.0);
  }
  int mCalls = 0;
};

struct Buffers {
  std::vector<std::vector<float>> in, out;
  std::vector<float> key;
  std::vector<const float*> inPtr;
  std::vector<float*> outPtr;
  // Room for at least one frame, so that a block of none still has buffers.
  Buffers(int nIn, int nOut, int frames)
      : in(nIn, std::vector<float>(std::max(frames, 1))), out(nOut, std::vector<float>(std::max(frames, 1), 7.f)),
        mFrames(frames) {
    key.assign(std::max(frames, 1), 0.f);
    for (int c = 0; c < nIn; ++c) {
      for (int i = 0; i < frames; ++i) in[c][i] = static_cast<float>((i % 97) + c) / 128.f;
      inPtr.push_back(in[c].data());
    }
    for (auto& o : out) outPtr.push_back(o.data());
    for (int i = 0; i < frames; ++i) key[i] = static_cast<float>(i % 5) / 64.f;
  }
  HostBlock Block(bool withKey) const {
    return HostBlock{inPtr.data(), static_cast<int>(inPtr.size()), withKey ? key.data() : nullptr, outPtr.data(),
                     static_cast<int>(outPtr.size()), mFrames};
  }
  int mFrames;
};

}  // namespace

// Every frame of a block, however long, is input plus the key where one arrives; blocks past the
// preallocation are rendered in pieces without allocating, and the hook sees each piece.
TEST(HostBlockRenderer, RendersEveryFrameInPiecesWithTheKeyOnItsChannel) {
  struct Case {
    const char* io;
    int nIn, nOut, frames;
    bool key;
  };
  for (const Case& c : {Case{"1-1 1.1-1 2-2 2.2-2", 2, 2, 10000, true}, Case{"1-1 1.1-1 2-2 2.2-2", 1, 1, 300, false},
                        Case{"2-2", 2, 2, IPlugProcessor::kPreallocatedFrames + 1, false}, Case{"2-2", 2, 2, 0, false}}) {
    SCOPED_TRACE(std::string(c.io) + " " + std::to_string(c.frames));
    KeyedProcessor processor(c.io);
    HostBlockRenderer renderer(processor);
    Buffers b(c.nIn, c.nOut, c.frames);
    std::vector<int> offsets;
    offsets.reserve(8);
    testsupport::AllocationScope counter;
    const auto outcome = renderer.Render(b.Block(c.key), false, [&](int offset, int) { offsets.push_back(offset); });
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(outcome, HostBlockRenderer::Outcome::kRendered);
    const int piece = IPlugProcessor::kPreallocatedFrames;
    EXPECT_EQ(static_cast<int>(offsets.size()), c.frames == 0 ? 1 : (c.frames + piece - 1) / piece);
    for (size_t k = 0; k < offsets.size(); ++k) EXPECT_EQ(offsets[k], static_cast<int>(k) * piece);
    for (int ch = 0; ch < c.nOut; ++ch)
      for (int i = 0; i < c.frames; ++i)
        ASSERT_FLOAT_EQ(b.out[ch][i], b.in[ch][i] + (c.key ? 10.f * b.key[i] : 0.f)) << "channel " << ch << " frame " << i;
  }
}

// A missing main input silences the block; a missing output leaves every buffer alone.
TEST(HostBlockRenderer, MissingBuffersSilenceOrSkipTheBlock) {
  KeyedProcessor processor("1-1 1.1-1 2-2 2.2-2");
  HostBlockRenderer renderer(processor);
  Buffers b(2, 2, 64);
  b.inPtr[1] = nullptr;
  EXPECT_EQ(renderer.Render(b.Block(true), false, [](int, int) {}), HostBlockRenderer::Outcome::kSilenced);
  for (const auto& out : b.out)
    for (float s : out) ASSERT_EQ(s, 0.f);
  Buffers c(2, 2, 64);
  c.outPtr[1] = nullptr;
  EXPECT_EQ(renderer.Render(c.Block(true), false, [](int, int) {}), HostBlockRenderer::Outcome::kSkipped);
  for (float s : c.out[0]) ASSERT_EQ(s, 7.f);
  EXPECT_EQ(processor.mCalls, 0);
}

// A key that stops arriving leaves its channel silent; when the layout changes back it returns.
TEST(HostBlockRenderer, FollowsTheLayoutFromBlockToBlock) {
  KeyedProcessor processor("1-1 1.1-1 2-2 2.2-2");
  HostBlockRenderer renderer(processor);
  Buffers b(2, 2, 32);
  for (bool key : {true, false, true, false}) {
    std::fill(b.out[0].begin(), b.out[0].end(), 7.f);
    renderer.Render(b.Block(key), false, [](int, int) {});
    EXPECT_FLOAT_EQ(b.out[0][3], b.in[0][3] + (key ? 10.f * b.key[3] : 0.f)) << "key " << key;
  }
  Buffers mono(1, 1, 32);
  renderer.Render(mono.Block(false), false, [](int, int) {});
  EXPECT_FLOAT_EQ(mono.out[0][5], mono.in[0][5]);
  EXPECT_FALSE(processor.IsChannelConnected(kOutput, 1)) << "one output bus: the second output is not the host's";
}
