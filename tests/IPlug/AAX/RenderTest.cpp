#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "AAXTestRig.h"
#include "ProbePlugin.h"
#include "host/aax/Transport.h"
#include "support/AllocationCounter.h"

namespace {

using aaxtest::HostedPlug;
using aaxtest::ProbePlugin;
using aaxtest::RawContext;

struct Probe {
  explicit Probe(AAX_EStemFormat format, aaxtest::ProbeOptions options = {})
      : hosted(new ProbePlugin(options), 48000.0f, format),
        context(*hosted.plug, AAX_StemFormatChannelCount(format), AAX_StemFormatChannelCount(format)) {
    context.FillInputs(10.0f);
    context.SetLength(64);
  }
  ProbePlugin& plug() { return *hosted.plug; }
  HostedPlug<ProbePlugin> hosted;
  RawContext context;
};

// ---- channels ----------------------------------------------------------------------------------

TEST(RenderChannels, AMonoInsertTakesItsKeyOnChannelTwo) {
  Probe p(AAX_eStemFormat_Mono);
  p.context.SetSideChain(1);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  const ProbePlugin::Block& block = p.plug().mBlocks[0];
  EXPECT_EQ(block.nFrames, 64);
  EXPECT_TRUE(block.connected[0]);
  EXPECT_FALSE(block.connected[1]);
  EXPECT_TRUE(block.connected[2]);
  EXPECT_FALSE(block.connected[3]);
  EXPECT_EQ(block.firstSample[0], 10.0f);
  EXPECT_EQ(block.firstSample[1], 0.0f);
  EXPECT_EQ(block.firstSample[2], 11.0f) << "host buffer 1 is the key";
  EXPECT_EQ(p.context.Output(0)[0], 20.0f);
  EXPECT_EQ(p.context.Output(0)[63], 2.0f * (10.0f + 0.063f));
}

TEST(RenderChannels, AStereoInsertTakesItsKeyOnChannelTwoToo) {
  Probe p(AAX_eStemFormat_Stereo);
  p.context.SetSideChain(2);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  const ProbePlugin::Block& block = p.plug().mBlocks[0];
  EXPECT_TRUE(block.connected[0] && block.connected[1] && block.connected[2]);
  EXPECT_FALSE(block.connected[3]);
  EXPECT_EQ(block.firstSample[0], 10.0f);
  EXPECT_EQ(block.firstSample[1], 11.0f);
  EXPECT_EQ(block.firstSample[2], 12.0f);
  EXPECT_EQ(p.context.Output(1)[0], 22.0f);
}

TEST(RenderChannels, WithoutARoutedKeyTheSideChainChannelStaysSilent) {
  // 0 routes no key; an index past the main inputs, a negative one or a missing buffer is
  // taken the same way rather than read.
  for (int32_t index : {0, 3, 4, -1, std::numeric_limits<int32_t>::max()}) {
    Probe p(AAX_eStemFormat_Stereo);
    p.context.SetSideChain(index);
    p.context.Render();
    ASSERT_EQ(p.plug().mBlocks.size(), 1u) << index;
    EXPECT_FALSE(p.plug().mBlocks[0].connected[2]) << index;
    EXPECT_EQ(p.plug().mBlocks[0].firstSample[2], 0.0f) << index;
  }
  Probe p(AAX_eStemFormat_Stereo);
  p.context.SetField(kIPlugAAXField_SideChainIn, nullptr);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  EXPECT_FALSE(p.plug().mBlocks[0].connected[2]);
}

TEST(RenderChannels, AKeyRemovedBetweenBlocksIsNotHeardAgain) {
  Probe p(AAX_eStemFormat_Stereo);
  p.context.SetSideChain(2);
  p.context.Render();
  p.context.SetSideChain(0);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 2u);
  EXPECT_EQ(p.plug().mBlocks[1].firstSample[2], 0.0f);
}

// ---- bypass, block size, transport ---------------------------------------------------------------

// Engaging the master bypass crossfades from the processing to the input over 10 ms; once
// through, a bypassed block passes the input and runs nothing else.
TEST(RenderBypass, TheMasterBypassCrossfadesThenPassesTheInputAndRunsNothingElse) {
  Probe p(AAX_eStemFormat_Stereo);
  constexpr int kFade = 480;  // 10 ms at 48 kHz
  ASSERT_EQ(p.hosted.Effect().SetParameterNormalizedValue("", 1.0), 0);
  for (int block = 0; block * 64 < kFade; ++block) {
    p.context.Render();
    for (int i = 0; i < 64; ++i) {
      const double weight = std::max(0.0, 1.0 - static_cast<double>(block * 64 + i + 1) / kFade);  // processing
      const float in = p.context.Input(0)[static_cast<size_t>(i)];
      ASSERT_FLOAT_EQ(p.context.Output(0)[static_cast<size_t>(i)], static_cast<float>(in * (1.0 + weight)))
          << block << " " << i;
    }
  }
  p.plug().mBlocks.clear();
  aaxhost::Transport transport;
  transport.SetTempo(90.0);
  p.context.UseTransport(transport.View());
  p.plug().QueueMidiFromEditor(iplug::MidiMessage{0, 0x90, 60, 100});
  const double tempoBefore = p.plug().GetTimeInfo().mTempo;
  p.context.Render();

  EXPECT_TRUE(p.plug().mBlocks.empty());
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 64; ++i) ASSERT_EQ(p.context.Output(c)[static_cast<size_t>(i)], p.context.Input(c)[static_cast<size_t>(i)]);
  EXPECT_EQ(p.plug().GetTimeInfo().mTempo, tempoBefore) << "no transport in a bypassed block";
  EXPECT_TRUE(p.plug().mMidiIn.empty());
  iplug::MidiMessage queued;
  EXPECT_TRUE(p.plug().PopMidiFromEditor(queued)) << "the editor's MIDI waits for a processed block";

  // Back from the bypass the processing runs at once and fades in.
  ASSERT_EQ(p.hosted.Effect().SetParameterNormalizedValue("", 0.0), 0);
  p.plug().QueueMidiFromEditor(queued);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  EXPECT_EQ(p.plug().mBlocks[0].timeInfo.mTempo, 90.0);
  ASSERT_EQ(p.plug().mMidiIn.size(), 1u);
  EXPECT_EQ(p.plug().mMidiIn[0].mData1, 60);
  EXPECT_FLOAT_EQ(p.context.Output(0)[0], p.context.Input(0)[0] * (1.0f + 1.0f / kFade));
}

// A block longer than the scratch buffers (and longer than 65536 frames) is rendered piece by
// piece: every output sample is written, the processing never grows past its reserve, and
// nothing is allocated.
TEST(RenderBlockSize, ABlockLongerThanAnyBufferIsRenderedInPieces) {
  constexpr int kFrames = 70001;
  HostedPlug<ProbePlugin> hosted(new ProbePlugin(), 48000.0f, AAX_eStemFormat_Stereo);
  RawContext context(*hosted.plug, 2, 2, kFrames);
  context.FillInputs(1.0f);
  context.FillOutputs(7.0f);
  context.SetLength(kFrames);
  hosted.plug->mBlocks.reserve(64);
  hosted.plug->mLog.reserve(8);
  {
    testsupport::AllocationScope allocations;
    context.Render();
    EXPECT_EQ(allocations.Count(), 0);
  }
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < kFrames; ++i)
      ASSERT_EQ(context.Output(c)[static_cast<size_t>(i)], 2.0f * context.Input(c)[static_cast<size_t>(i)]) << c << " " << i;
  const int pieces = (kFrames + iplug::IPlugProcessor::kPreallocatedFrames - 1) / iplug::IPlugProcessor::kPreallocatedFrames;
  ASSERT_EQ(hosted.plug->mBlocks.size(), static_cast<size_t>(pieces));
  EXPECT_EQ(hosted.plug->mBlocks.back().nFrames, kFrames - (pieces - 1) * iplug::IPlugProcessor::kPreallocatedFrames);
  EXPECT_EQ(hosted.plug->GetBlockSize(), iplug::IPlugProcessor::kPreallocatedFrames);
  EXPECT_EQ(hosted.plug->mBlocks[1].firstSample[0], context.Input(0)[iplug::IPlugProcessor::kPreallocatedFrames]);
}

TEST(RenderBlockSize, ALongerBlockThanAnyBeforeResetsFirst) {
  Probe p(AAX_eStemFormat_Stereo);
  p.plug().mLog.clear();
  p.context.SetLength(512);
  p.context.Render();
  EXPECT_TRUE(p.plug().mLog.empty()) << "512 is the size made at construction";
  p.context.SetLength(1024);
  p.context.Render();
  EXPECT_EQ(p.plug().mLog, std::vector<std::string>{"reset 1024"});
  EXPECT_EQ(p.plug().GetBlockSize(), 1024);
  p.context.SetLength(256);
  p.context.Render();
  EXPECT_EQ(p.plug().mLog.size(), 1u) << "a shorter block changes nothing";
  EXPECT_EQ(p.plug().GetBlockSize(), 1024);
  ASSERT_EQ(p.plug().mBlocks.size(), 3u);
  EXPECT_EQ(p.plug().mBlocks[1].nFrames, 1024);
  EXPECT_EQ(p.plug().mBlocks[2].nFrames, 256);
  EXPECT_EQ(p.context.Output(0)[1023], 2.0f * (10.0f + 1.023f));
}

TEST(RenderTransport, TheSnapshotComesFromTheTransportNode) {
  Probe p(AAX_eStemFormat_Stereo);
  aaxhost::Transport transport;
  transport.SetTempo(96.5);
  transport.SetMeter(7, 8);
  transport.SetPlaying(true);
  transport.SetTickPosition(-960000);
  transport.SetSamplePosition(48000);
  transport.SetLoop(true, 2 * 960000, 6 * 960000 + 480000);
  p.context.UseTransport(transport.View());
  p.context.Render();
  transport.SetTickPosition(3 * 960000 + 240000);
  transport.SetLoop(false, 0, 0);
  p.context.Render();

  ASSERT_EQ(p.plug().mBlocks.size(), 2u);
  const iplug::TimeInfo& first = p.plug().mBlocks[0].timeInfo;
  EXPECT_EQ(first.mTempo, 96.5);
  EXPECT_EQ(first.mNumerator, 7);
  EXPECT_EQ(first.mDenominator, 8);
  EXPECT_TRUE(first.mTransportIsRunning);
  EXPECT_EQ(first.mPPQPos, 0.0) << "a position before the start reads as the start";
  EXPECT_EQ(first.mSamplePos, 48000.0);
  EXPECT_TRUE(first.mTransportLoopEnabled);
  EXPECT_EQ(first.mCycleStart, 2.0);
  EXPECT_EQ(first.mCycleEnd, 6.5);
  EXPECT_EQ(first.mLastBar, -1.0);
  EXPECT_EQ(p.plug().mBlocks[1].timeInfo.mPPQPos, 3.25);
  EXPECT_FALSE(p.plug().mBlocks[1].timeInfo.mTransportLoopEnabled);
}

TEST(RenderTransport, WithoutATransportNodeTheDefaultsStand) {
  Probe p(AAX_eStemFormat_Stereo);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  const iplug::TimeInfo& info = p.plug().mBlocks[0].timeInfo;
  EXPECT_EQ(info.mTempo, 120.0);
  EXPECT_EQ(info.mPPQPos, -1.0);
  EXPECT_EQ(info.mSamplePos, -1.0);
  EXPECT_FALSE(info.mTransportIsRunning);
  EXPECT_EQ(info.mNumerator, 4);
}

// ---- MIDI ----------------------------------------------------------------------------------------

TEST(RenderMidi, OutgoingMessagesInTimeOrderThenSysexInPacketsOfFour) {
  Probe p(AAX_eStemFormat_Stereo, aaxtest::ProbeOptions{.sendsMIDI = true});
  p.context.UseMidiNodes();
  p.plug().mEmitOnProcess = {{30, 0x90, 64, 1}, {5, 0x80, 62, 0}, {30, 0xB0, 7, 99}};
  const uint8_t sysex[10] = {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7};
  p.plug().QueueSysexFromEditor(iplug::SysexMessage{17, 10, sysex});
  p.context.Render();

  const std::vector<AAX_CMidiPacket> posted = p.context.MidiOut().TakePosted();
  ASSERT_EQ(posted.size(), 6u);
  const uint32_t times[] = {5, 30, 30, 17, 17, 17};
  const uint32_t lengths[] = {3, 3, 3, 4, 4, 2};
  const unsigned char firstBytes[] = {0x80, 0x90, 0xB0, 0xF0, 4, 8};
  for (size_t i = 0; i < posted.size(); ++i) {
    EXPECT_EQ(posted[i].mTimestamp, times[i]) << i;
    EXPECT_EQ(posted[i].mLength, lengths[i]) << i;
    EXPECT_EQ(posted[i].mData[0], firstBytes[i]) << i;
    EXPECT_EQ(posted[i].mIsImmediate, 1) << i;
  }
  EXPECT_EQ(posted[2].mData[2], 99);
  EXPECT_EQ(posted[5].mData[1], 0xF7);

  p.context.Render();
  EXPECT_TRUE(p.context.MidiOut().TakePosted().empty()) << "each message goes out once";
}

TEST(RenderMidi, IncomingMessagesReachTheProcessorAndTheEditor) {
  Probe p(AAX_eStemFormat_Stereo, aaxtest::ProbeOptions{.receivesMIDI = true});
  p.context.UseMidiNodes();
  AAX_CMidiPacket note;
  note.mTimestamp = 3;
  note.mLength = 3;
  note.mData[0] = 0x90;
  note.mData[1] = 60;
  note.mData[2] = 100;
  p.context.MidiIn().SetIncoming({note});
  p.plug().mLog.clear();
  p.context.Render();
  ASSERT_EQ(p.plug().mMidiIn.size(), 1u);
  EXPECT_EQ(p.plug().mMidiIn[0].mOffset, 3);
  EXPECT_EQ(p.plug().mMidiIn[0].mStatus, 0x90);
  EXPECT_EQ(p.plug().mMidiIn[0].mData2, 100);
  p.plug().ServiceQueues();
  EXPECT_EQ(p.plug().mLog, std::vector<std::string>{"editor midi 144"});
}

TEST(RenderMidi, APlugInThatSendsNothingPostsNothing) {
  Probe p(AAX_eStemFormat_Stereo);
  p.context.UseMidiNodes();
  p.plug().mEmitOnProcess = {{0, 0x90, 64, 1}};
  p.context.Render();
  EXPECT_TRUE(p.context.MidiOut().TakePosted().empty());
}

// ---- contexts the plug-in cannot use -------------------------------------------------------------

struct DamagedContext : ::testing::Test {
  Probe p{AAX_eStemFormat_Stereo};
  static constexpr float kUntouched = 7.0f;

  void SetUp() override { p.context.FillOutputs(kUntouched); }
  bool OutputsUntouched() {
    for (int c = 0; c < 2; ++c)
      for (float v : p.context.Output(c))
        if (v != kUntouched) return false;
    return true;
  }
  bool FirstFramesSilent(int frames) {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < frames; ++i)
        if (p.context.Output(c)[static_cast<size_t>(i)] != 0.0f) return false;
    return p.context.Output(0)[static_cast<size_t>(frames)] == kUntouched;
  }
};

TEST_F(DamagedContext, WithoutPrivateDataTheContextIsSkipped) {
  p.context.SetField(kIPlugAAXField_PrivateData, nullptr);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_TRUE(OutputsUntouched());

  // Private data the plug-in never prepared (the host cleared it) is no instance either.
  alignas(8) unsigned char cleared[8] = {};
  p.context.SetField(kIPlugAAXField_PrivateData, cleared);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
}

TEST_F(DamagedContext, NullContextsAndRangesAreWalkedPast) {
  RawContext second(p.plug(), 2, 2);
  second.SetLength(32);
  void* contexts[3] = {nullptr, p.context.Get(), second.Get()};
  AAX_CIPlugParameters::AlgorithmCallback(contexts, contexts + 3);
  EXPECT_EQ(p.plug().mBlocks.size(), 2u) << "both real contexts are rendered, in order";
  ASSERT_EQ(p.plug().mBlocks.size(), 2u);
  EXPECT_EQ(p.plug().mBlocks[1].nFrames, 32);
  AAX_CIPlugParameters::AlgorithmCallback(nullptr, contexts + 3);
  AAX_CIPlugParameters::AlgorithmCallback(contexts, nullptr);
  AAX_CIPlugParameters::AlgorithmCallback(contexts + 3, contexts);  // end before begin
  EXPECT_EQ(p.plug().mBlocks.size(), 2u);
}

TEST_F(DamagedContext, LengthsThatCannotBeRenderedLeaveEveryBufferAlone) {
  for (int32_t length : {0, -1, -512, iplug::IPlugAAX::kMaxRenderFrames + 1, std::numeric_limits<int32_t>::max(),
                         std::numeric_limits<int32_t>::min()}) {
    p.context.SetLength(length);
    p.context.Render();
    EXPECT_TRUE(p.plug().mBlocks.empty()) << length;
    EXPECT_TRUE(OutputsUntouched()) << length;
  }
  p.context.SetField(kIPlugAAXField_BufferLength, nullptr);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_EQ(p.plug().GetBlockSize(), 512) << "nothing was sized for them";
}

TEST_F(DamagedContext, MissingOutputsLeaveEverythingAlone) {
  p.context.SetField(kIPlugAAXField_AudioOut, nullptr);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());

  float* outputs[2] = {p.context.Output(0).data(), nullptr};
  p.context.SetField(kIPlugAAXField_AudioOut, outputs);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_TRUE(OutputsUntouched());
}

TEST_F(DamagedContext, MissingInputsSilenceTheBlock) {
  p.context.SetField(kIPlugAAXField_AudioIn, nullptr);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_TRUE(FirstFramesSilent(64));

  p.context.FillOutputs(kUntouched);
  float* inputs[3] = {p.context.Input(0).data(), nullptr, p.context.Input(2).data()};
  p.context.SetField(kIPlugAAXField_AudioIn, inputs);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_TRUE(FirstFramesSilent(64));
}

TEST_F(DamagedContext, AnUninitialisedInstanceRendersSilence) {
  ASSERT_EQ(p.hosted.Effect().Uninitialize(), 0);
  p.context.Render();
  EXPECT_TRUE(p.plug().mBlocks.empty());
  EXPECT_TRUE(FirstFramesSilent(64));
}

// The stem formats of an instance never change: a query that fails is answered by the last
// one that worked, and the block is rendered in full.
TEST_F(DamagedContext, AFailedStemFormatQueryKeepsTheLastLayout) {
  p.context.Render();
  p.context.FillOutputs(kUntouched);
  p.hosted.instance.GetController().FailStemFormatQueries(true);
  p.context.SetSideChain(2);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 2u);
  EXPECT_EQ(p.plug().mBlocks[1].firstSample[2], 12.0f);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 64; ++i)
      ASSERT_EQ(p.context.Output(c)[static_cast<size_t>(i)], 2.0f * p.context.Input(c)[static_cast<size_t>(i)]);
}

// A host that never answered the query: the layout read at initialisation is kept; without
// that either, the smallest layout (one channel each way) is rendered, so no buffer that may
// not exist is written.
TEST(RenderStemFormats, WithoutAnyAnswerTheSmallestLayoutIsRendered) {
  for (bool answeredAtInit : {true, false}) {
    aaxhost::CallLog log;
    aaxhost::Instance instance(log, nullptr);
    instance.GetController().SetStemFormats(AAX_eStemFormat_Stereo, AAX_eStemFormat_Stereo);
    instance.GetController().FailStemFormatQueries(!answeredAtInit);
    auto* plug = new ProbePlugin();
    ASSERT_EQ(instance.Adopt(static_cast<AAX_CIPlugParameters*>(plug)->GetPrivateUnknown()), 0);
    instance.GetController().FailStemFormatQueries(true);
    RawContext context(*plug, 2, 2);
    context.FillInputs(10.0f);
    context.FillOutputs(7.0f);
    context.SetLength(64);
    context.Render();
    EXPECT_EQ(context.Output(0)[0], 20.0f) << answeredAtInit;
    EXPECT_EQ(context.Output(1)[0], answeredAtInit ? 22.0f : 7.0f) << answeredAtInit;
  }
}

// A plug-in without a side chain registers no side-chain field: its contexts end before that
// field, and it must not be read.
TEST(RenderChannels, WithoutASideChainItsFieldIsNeverRead) {
  HostedPlug<ProbePlugin> hosted(new ProbePlugin(aaxtest::ProbeOptions{.channelIO = "1-1 2-2"}), 48000.0f);
  RawContext context(*hosted.plug, 2, 2);
  context.FillInputs(10.0f);
  context.SetLength(64);
  context.SetField(kIPlugAAXField_SideChainIn, reinterpret_cast<void*>(uintptr_t{8}));  // past the context
  context.Render();
  ASSERT_EQ(hosted.plug->mBlocks.size(), 1u);
  EXPECT_EQ(context.Output(1)[0], 22.0f);
}

TEST_F(DamagedContext, AStemFormatBeyondThePlugInIsHeldToItsChannels) {
  // A host announcing 5.1 gets what the plug-in has: two channels in, two out.
  p.hosted.instance.GetController().SetStemFormats(AAX_eStemFormat_5_1, AAX_eStemFormat_5_1);
  p.context.SetSideChain(2);
  p.context.Render();
  ASSERT_EQ(p.plug().mBlocks.size(), 1u);
  EXPECT_EQ(p.plug().mBlocks[0].firstSample[1], 11.0f);
  EXPECT_EQ(p.context.Output(1)[0], 22.0f);
}

}  // namespace
