#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

#include "TollenbrookHostRig.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "product/TollenbrookParams.h"
#include "support/TestParentWindow.h"

// The product's own editor, opened through its factory (the editor's child window on Windows,
// the headless drawing context elsewhere),
// fed by the audio chain of the same instance.
namespace {

using chaintest::HostBuffers;

igraphics::IControl* MeterControl(igraphics::IGraphics& g, int paramIdx) {
  for (int i = 0; i < g.NControls(); ++i)
    if (g.GetControl(i)->GetParamIdx() == paramIdx) return g.GetControl(i);
  return nullptr;
}

class TollenbrookEditor : public ::testing::Test {
protected:
  void SetUp() override {
    mPlug = std::make_unique<Tollenbrook>(iplug::InstanceInfo{});
    mPlug->SetSampleRate(48000.0);
    mPlug->ResetProcessing();
    mPlug->OpenEditor(tbtest::TestParentWindow());
    if (!mPlug->GetUI() || !mPlug->GetUI()->WindowIsOpen()) GTEST_SKIP() << "no OpenGL context available for the editor here";
  }
  void TearDown() override {
    if (mPlug) mPlug->CloseEditor();
  }
  igraphics::IGraphics& G() { return *mPlug->GetUI(); }

  std::unique_ptr<Tollenbrook> mPlug;
};

}  // namespace

TEST_F(TollenbrookEditor, OpensWithItsLayout) {
  EXPECT_EQ(G().NControls(), 16) << "background and the fifteen controls";
  EXPECT_NE(G().GetCornerResizer(), nullptr);
  EXPECT_EQ(G().NBubbleControls(), 1);
  EXPECT_EQ(G().Width(), 378);
  EXPECT_EQ(G().Height(), 591);
  EXPECT_EQ(G().GetControl(0)->GetParamIdx(), igraphics::kNoParameter) << "the background comes first";
  // No audio has run yet: both needles stand at full deflection, not at the meter
  // parameters' stored zeros.
  EXPECT_EQ(MeterControl(G(), kParamLimiterMeter)->GetValue(), 1.0);
  EXPECT_EQ(MeterControl(G(), kParamCompMeter)->GetValue(), 1.0);
}

TEST_F(TollenbrookEditor, MetersFollowTheAudioOnlyThroughTheServiceTick) {
  igraphics::IControl* limiterMeter = MeterControl(G(), kParamLimiterMeter);
  igraphics::IControl* compMeter = MeterControl(G(), kParamCompMeter);
  ASSERT_NE(limiterMeter, nullptr);
  ASSERT_NE(compMeter, nullptr);
  const double limiterBefore = limiterMeter->GetValue();
  const double compBefore = compMeter->GetValue();

  // A loud tone into a low threshold and the lowest limit level: both sections reduce gain.
  chaintest::HostSetsParam(*mPlug, kParamCompThreshold, 0);
  chaintest::HostSetsParam(*mPlug, kParamLimitLevel, 0);
  mPlug->ServiceQueues();
  const int frames = 48000;
  HostBuffers buffers(frames);
  for (int i = 0; i < frames; ++i) {
    const float s = static_cast<float>(0.9 * std::sin(2.0 * 3.141592653589793 * 220.0 * i / 48000.0));
    buffers.in[0][static_cast<size_t>(i)] = s;
    buffers.in[1][static_cast<size_t>(i)] = s;
  }
  std::thread audio([&] {
    for (int pos = 0; pos < frames; pos += 512) buffers.Render(*mPlug, pos, std::min(512, frames - pos));
  });
  audio.join();
  EXPECT_EQ(limiterMeter->GetValue(), limiterBefore) << "nothing reaches a control from the audio thread";
  EXPECT_EQ(compMeter->GetValue(), compBefore);

  mPlug->ServiceQueues();  // the editor thread's 20 ms tick
  const auto meters = mPlug->LastBlockMeters();
  EXPECT_GT(meters.limiterMeter, 0.01);
  EXPECT_GT(meters.compMeter, 0.01);
  EXPECT_DOUBLE_EQ(limiterMeter->GetValue(), meters.limiterMeter);
  EXPECT_DOUBLE_EQ(compMeter->GetValue(), meters.compMeter);
}

TEST_F(TollenbrookEditor, SizeAndScaleTravelInTheStateAndSurviveReopening) {
  G().Resize(567, 886, 1.5f, true);
  iplug::ByteChunk state;
  ASSERT_TRUE(mPlug->SerializeState(state));
  int32_t width = 0, height = 0;
  float scale = 0;
  int pos = state.Read(width, 0);
  pos = state.Read(height, pos);
  state.Read(scale, pos);
  EXPECT_EQ(width, 567);
  EXPECT_EQ(height, 886);
  EXPECT_EQ(scale, 1.5f);
  EXPECT_EQ(state.Size(), 132);

  mPlug->CloseEditor();
  mPlug->OpenEditor(tbtest::TestParentWindow());
  ASSERT_NE(mPlug->GetUI(), nullptr);
  ASSERT_TRUE(G().WindowIsOpen()) << "the editor opens again (its layout runs only in an open window)";
  EXPECT_EQ(G().Width(), 567);
  EXPECT_EQ(G().Height(), 886);
  EXPECT_EQ(G().GetDrawScale(), 1.5f);
  EXPECT_EQ(G().NControls(), 16);

  Tollenbrook other(iplug::InstanceInfo{});
  EXPECT_GE(other.UnserializeState(state, 0), 0);
  other.OpenEditor(tbtest::TestParentWindow());
  ASSERT_NE(other.GetUI(), nullptr);
  EXPECT_EQ(other.GetUI()->Width(), 567) << "a restored state sizes the next editor";
  EXPECT_EQ(other.GetUI()->GetDrawScale(), 1.5f);
  other.CloseEditor();
}
