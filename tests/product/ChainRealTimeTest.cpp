#include <gtest/gtest.h>

#include <memory>
#include <mutex>

#include "product/TollenbrookChain.h"
#include "product/ChainTestSupport.h"
#include "support/LockCounter.h"
#include "product/MusicSignal.h"
#include "support/AllocationCounter.h"

using namespace chaintest;

namespace {

TEST(ChainRealTime, TheLockCounterSeesAMutex) {
  if (!locktest::Available()) GTEST_SKIP() << "lock counting needs Linux without sanitizers";
  std::mutex m;
  locktest::LockScope scope;
  m.lock();
  m.unlock();
  EXPECT_EQ(scope.Count(), 1);
}

// Every path through the chain (reset, oversampling, automatic recovery, glides, side chain,
// bypass, odd block sizes) allocates nothing and takes no lock.
TEST(ChainRealTime, ProcessingAllocatesNothingAndTakesNoLock) {
  auto chain = std::make_unique<TollenbrookChain>();
  StereoRun run(5000);
  MusicSignal m(5000, 11, 2.0);
  run.in[0] = m.left;
  run.in[1] = m.right;
  run.in[2] = m.right;
  ParamValues v = kDefaultValues;
  testsupport::AllocationScope allocations;
  locktest::LockScope locks;
  chain->Reset(48000.0, SettingsFor(v));
  for (int step = 0; step < 24; ++step) {
    v[kParamOversample] = step % 2;
    v[kParamCompRecovery] = step % 6;
    v[kParamLevelRecovery] = (step + 3) % 6;
    v[kParamExtSidechain] = (step / 4) % 2;
    v[kParamBypass] = step % 7 == 6 ? 0 : 1;
    v[kParamCompThreshold] = step % 16;
    v[kParamMix] = (step * 5) % 23;
    const int n = 1 + (step * 613) % 5000;
    auto in = run.Inputs(0);
    auto out = run.Outputs(0);
    chain->Process(in.data(), out.data(), n, 48000.0, SettingsFor(v));
    if (step == 12) chain->Reset(96000.0, SettingsFor(v));
  }
  EXPECT_EQ(allocations.Count(), 0);
  EXPECT_EQ(locks.Count(), 0);
}

}  // namespace
