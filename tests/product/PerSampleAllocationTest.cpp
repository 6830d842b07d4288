#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "product/Biquad.h"
#include "product/DelayLine.h"
#include "product/HalfbandFilter.h"
#include "product/MeterBallistics.h"
#include "product/ParamSmoother.h"
#include "product/RangeMap.h"
#include "product/Saturate.h"
#include "product/compressor.h"
#include "support/AllocationCounter.h"

namespace {

// Everything the audio chain does per sample and per block, run under the allocation counter.
TEST(PerSampleAllocation, NoBuildingBlockAllocatesWhileProcessing) {
  auto comp = std::make_unique<compressor>();
  auto follower = std::make_unique<envFollower>();
  auto biquad = std::make_unique<Biquad>();
  auto up = std::make_unique<HalfbandFilter>();
  auto delay = std::make_unique<DelayLine>();
  auto smoother = std::make_unique<ParamSmoother>();
  auto meter = std::make_unique<MeterBallistics>(1.0);
  auto map = std::make_unique<RangeMap>(0.0, 1.0, 500.0, 5000.0);

  double sink = 0.0;
  testsupport::AllocationScope scope;
  comp->Setup(0, 10.0, 100.0, 0.0, 48000.0);
  follower->Setup(0, 5.0, 50.0, 1.0, 48000.0);
  up->Clear();
  delay->Rewind();
  smoother->SetCutoff(48000.0);
  smoother->SetState(0.0);
  for (int block = 0; block < 4; ++block) {
    biquad->SetBiquad(kHighShelf, 120.0 / 48000.0, 0.207, 3.0);
    biquad->SetBiquadAndClear(kPeak, 1500.0 / 48000.0, 0.207, -2.0);
    biquad->SetType(kHighpass);
    biquad->SetFc(10.0 / 48000.0);
    biquad->SetQ(0.8);
    biquad->SetPeakGain(0.0);
    for (int n = 0; n < 512; ++n) {
      const double x = Saturate(std::sin(0.01 * n));
      comp->SetAttack(10.0);
      comp->SetRelease(smoother->Process(map->Map(std::fabs(x))));
      comp->SetHold(0.0);
      comp->SetRatio(4.0);
      comp->SetThreshold(-20.0);
      comp->SetKneeFactor(2.0);
      sink += comp->Process(biquad->Process(x));
      sink += follower->Process(x);
      sink += up->Process(delay->Process(x, 64));
      sink += meter->Process(1.0 - std::exp(comp->mGainDb * 0.1151292546497), 48000.0);
    }
  }
  EXPECT_EQ(scope.Count(), 0);
  EXPECT_TRUE(std::isfinite(sink));
}

}  // namespace
