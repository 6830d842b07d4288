#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "product/MusicSignal.h"
#include "product/TollenbrookHostRig.h"
#include "support/AllocationCounter.h"

using namespace chaintest;

namespace {

constexpr int kBlock = 256;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::unique_ptr<RecordingTollenbrook> Fresh(int oversample) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  HostSetsParam(*plug, kParamOversample, oversample);
  HostSetsParam(*plug, kParamCompThreshold, 0);  // working hard: long memories in the sections
  plug->ResetProcessing();
  return plug;
}

// Samples that are not numbers, in the main input and in the key, are heard as silence: the
// outputs stay finite, and from the next block on the plug-in is a fresh instance that heard
// only what came after.
TEST(NonFiniteInput, IsSilenceAndThePlugInStartsAfresh) {
  for (int oversample : {0, 1}) {
    for (int external : {0, 1}) {
      auto plug = Fresh(oversample);
      HostSetsParam(*plug, kParamExtSidechain, external);
      constexpr int kBlocks = 24;
      HostBuffers b(kBlock * kBlocks);
      MusicSignal music(kBlock * kBlocks, 7);
      for (size_t i = 0; i < music.left.size(); ++i) {
        b.in[0][i] = static_cast<float>(music.left[i]);
        b.in[1][i] = static_cast<float>(music.right[i]);
        b.side[0][i] = b.side[1][i] = static_cast<float>(music.left[i]);
      }
      constexpr int kBad = 8;  // the block with damaged samples
      b.in[0][kBad * kBlock] = kNaN;
      b.in[1][kBad * kBlock + 17] = kInf;
      b.in[0][kBad * kBlock + 100] = -kInf;
      b.side[0][kBad * kBlock + 5] = kNaN;
      for (int k = 0; k < kBlocks; ++k) {
        testsupport::AllocationScope allocations;
        b.Render(*plug, k * kBlock, kBlock);
        ASSERT_EQ(allocations.Count(), 0) << "block " << k;
      }
      for (int c = 0; c < 2; ++c)
        for (float v : b.out[c]) ASSERT_TRUE(std::isfinite(v));

      auto fresh = Fresh(oversample);
      HostSetsParam(*fresh, kParamExtSidechain, external);
      fresh->ResetProcessing();
      HostBuffers after(kBlock * kBlocks);
      for (int c = 0; c < 2; ++c) {
        after.in[c] = b.in[c];
        after.side[c] = b.side[c];
      }
      for (int k = kBad + 1; k < kBlocks; ++k) after.Render(*fresh, k * kBlock, kBlock);
      for (int c = 0; c < 2; ++c)
        for (size_t i = (kBad + 1) * kBlock; i < b.out[c].size(); ++i)
          ASSERT_EQ(b.out[c][i], after.out[c][i]) << "oversample " << oversample << " key " << external << " at " << i;
    }
  }
}

// In the host's bypass the damaged samples pass as silence too.
TEST(NonFiniteInput, TheBypassPassesThemAsSilence) {
  auto plug = Fresh(0);
  HostBuffers b(kBlock);
  b.in[0][3] = kNaN;
  b.in[1][4] = -kInf;
  b.in[0][5] = 0.25f;
  b.Render(*plug, 0, kBlock, /*bypassed=*/true);
  EXPECT_EQ(b.out[0][3], 0.0f);
  EXPECT_EQ(b.out[1][4], 0.0f);
  EXPECT_EQ(b.out[0][5], 0.25f);
}

}  // namespace
