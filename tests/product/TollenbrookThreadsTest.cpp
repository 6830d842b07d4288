#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>

#include "product/MusicSignal.h"
#include "product/TollenbrookHostRig.h"

using namespace chaintest;

namespace {

// The three threads of a running instance at once: a host thread automating parameters, the
// audio thread rendering blocks and the editor's thread running the service tick. Built in
// every flavour; under ThreadSanitizer it proves the threads share nothing but atomics and
// the rings.
TEST(TollenbrookThreads, ParameterChangesAudioAndServiceTicksRunTogether) {
  auto plug = std::make_unique<RecordingTollenbrook>();
  const uint32_t seed = static_cast<uint32_t>(std::random_device{}());
  std::printf("seed %u\n", seed);
  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::atomic<long> changes{0};
  std::atomic<bool> finite{true};

  std::thread host([&] {
    std::mt19937 rng(seed);
    const int maxValue[kNumParams] = {15, 22, 20, 22, 4, 4, 4, 4, 5, 5, 1, 1, 0, 0, 1};
    while (!stop.load(std::memory_order_relaxed)) {
      const int idx = std::uniform_int_distribution<int>(0, kNumParams - 1)(rng);
      if (idx == kParamLimiterMeter || idx == kParamCompMeter) continue;
      HostSetsParam(*plug, idx, std::uniform_int_distribution<int>(0, maxValue[idx])(rng));
      changes.fetch_add(1, std::memory_order_relaxed);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  std::thread audio([&] {
    HostBuffers b(1024);
    MusicSignal m(1024, seed);
    for (size_t i = 0; i < 1024; ++i) {
      b.in[0][i] = static_cast<float>(m.left[i]);
      b.in[1][i] = static_cast<float>(m.right[i]);
      b.side[0][i] = b.in[1][i];
    }
    int k = 0;
    while (!stop.load(std::memory_order_relaxed)) {
      const int n = 1 + (k++ * 131) % 1024;
      b.Render(*plug, 0, n);
      for (int i = 0; i < n; ++i)
        if (!std::isfinite(b.out[0][static_cast<size_t>(i)])) finite = false;
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });
  std::thread editor([&] {
    while (!stop.load(std::memory_order_relaxed)) {
      plug->ServiceQueues();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });

  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  stop = true;
  host.join();
  audio.join();
  editor.join();
  plug->ServiceQueues();

  EXPECT_GT(blocks.load(), 20);
  EXPECT_GT(changes.load(), 20);
  EXPECT_TRUE(finite.load());
  bool sawMeters = false;
  for (const auto& d : plug->mDelivered) {
    if (d.paramIdx == kParamLimiterMeter || d.paramIdx == kParamCompMeter) {
      sawMeters = true;
      EXPECT_GE(d.value, 0.0);
      EXPECT_LE(d.value, 1.1);
    }
  }
  EXPECT_TRUE(sawMeters);
}

}  // namespace
