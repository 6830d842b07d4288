#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "product/Tollenbrook.h"

namespace {

struct TargetSnapshot {
  double values[10];
  int32_t counts[2];
  bool operator==(const TargetSnapshot&) const = default;
};

TargetSnapshot Snapshot(const ProcessingTargets& t) {
  return {{t.mThresholdTarget, t.mLimitTarget, t.mGainTarget, t.mMixTarget, t.mRatioTarget, t.mKneeFactorTarget,
           t.mHighShelfGain, t.mMidPeakGain, t.mHighPassHz, t.mBypassValue},
          {t.mOversampleCount, t.mOversampleLatency}};
}

// Moves a parameter the way a knob does: normalised, through the editor route.
void Turn(Tollenbrook& plug, int idx, int value) {
  const iplug::IParam* p = plug.GetParam(idx);
  plug.SetParamFromEditor(idx, (value - p->GetMin()) / (p->GetMax() - p->GetMin()));
  ASSERT_EQ(plug.GetParam(idx)->Value(), value);
}

void ExpectTable(Tollenbrook& plug, int idx, const std::function<double(const ProcessingTargets&)>& target,
                 const std::function<double(int)>& expected) {
  const int max = static_cast<int>(plug.GetParam(idx)->GetMax());
  for (int i = max; i >= 0; --i) {  // downwards: the default is usually at the top
    Turn(plug, idx, i);
    EXPECT_DOUBLE_EQ(target(plug.Targets()), expected(i)) << "parameter " << idx << " value " << i;
  }
}

}  // namespace

TEST(TollenbrookMapping, TargetsHoldTheDefaultsSettingsFromConstruction) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  const ProcessingTargets& t = plug.Targets();
  EXPECT_EQ(t.mThresholdTarget, 0.0) << "\"10dB\" drives the compressor at 0 dB";
  EXPECT_EQ(t.mLimitTarget, 4.0) << "\"15dB\": limiter threshold -8 dB";
  EXPECT_EQ(t.mGainTarget, 1.0);
  EXPECT_EQ(t.mMixTarget, 22.0);
  EXPECT_EQ(t.mRatioTarget, 3.0);
  EXPECT_EQ(t.mKneeFactorTarget, 1.0);
  EXPECT_EQ(t.mHighShelfGain, -1.5);
  EXPECT_EQ(t.mMidPeakGain, -2.0);
  EXPECT_EQ(t.mHighPassHz, 20.0);
  EXPECT_EQ(t.mBypassValue, 1.0);
  EXPECT_EQ(t.mOversampleCount, 0);
  EXPECT_EQ(t.mOversampleLatency, 0);
}

TEST(TollenbrookMapping, ThresholdLimitGainAndMixFollowTheirFormulas) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  ExpectTable(plug, kParamCompThreshold, [](auto& t) { return t.mThresholdTarget.Load(); },
              [](int i) { return -60.0 + 4.0 * i; });
  ExpectTable(plug, kParamLimitLevel, [](auto& t) { return t.mLimitTarget.Load(); },
              [](int i) { return 15.0 - 0.5 * i; });
  ExpectTable(plug, kParamGain, [](auto& t) { return t.mGainTarget.Load(); },
              [](int i) { return std::pow(10.0, i / 20.0); });
  ExpectTable(plug, kParamMix, [](auto& t) { return t.mMixTarget.Load(); }, [](int i) { return double(i); });
  Turn(plug, kParamLimitLevel, 0);
  EXPECT_EQ(-2.0 * plug.Targets().mLimitTarget, -30.0) << "\"4dB\" puts the limiter at -30 dB";
  Turn(plug, kParamLimitLevel, 22);
  EXPECT_EQ(-2.0 * plug.Targets().mLimitTarget, -8.0);
  Turn(plug, kParamGain, 20);
  EXPECT_DOUBLE_EQ(plug.Targets().mGainTarget, 10.0);
}

TEST(TollenbrookMapping, RatioComesWithAKneeAndTheDetectorFiltersWithTheirSettings) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  const double ratio[] = {1.5, 2, 3, 4, 6}, knee[] = {2, 1.5, 1, 0.8, 0.6};
  ExpectTable(plug, kParamRatio, [](auto& t) { return t.mRatioTarget.Load(); }, [&](int i) { return ratio[i]; });
  ExpectTable(plug, kParamRatio, [](auto& t) { return t.mKneeFactorTarget.Load(); }, [&](int i) { return knee[i]; });
  const double high[] = {-7, -4.5, -1.5, 1.5, 4.5}, mid[] = {-8, -5, -2, 3, 6}, hz[] = {20, 50, 80, 160, 360};
  ExpectTable(plug, kParamHigh, [](auto& t) { return t.mHighShelfGain.Load(); }, [&](int i) { return high[i]; });
  ExpectTable(plug, kParamMid, [](auto& t) { return t.mMidPeakGain.Load(); }, [&](int i) { return mid[i]; });
  ExpectTable(plug, kParamHighPass, [](auto& t) { return t.mHighPassHz.Load(); }, [&](int i) { return hz[i]; });
}

TEST(TollenbrookMapping, BypassAndOversampling) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  ExpectTable(plug, kParamBypass, [](auto& t) { return t.mBypassValue.Load(); }, [](int i) { return double(i); });
  Turn(plug, kParamOversample, 1);
  EXPECT_EQ(plug.Targets().mOversampleCount, 2);
  EXPECT_EQ(plug.Targets().mOversampleLatency, 64);
  Turn(plug, kParamOversample, 0);
  EXPECT_EQ(plug.Targets().mOversampleCount, 0);
  EXPECT_EQ(plug.Targets().mOversampleLatency, 0);
}

TEST(TollenbrookMapping, RecoverySideChainAndMetersSetNoTarget) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  Turn(plug, kParamRatio, 0);  // away from the defaults, so a stray write would show
  Turn(plug, kParamMix, 5);
  const TargetSnapshot before = Snapshot(plug.Targets());
  for (int idx : {kParamCompRecovery, kParamLevelRecovery}) {
    Turn(plug, idx, 5);
    Turn(plug, idx, 0);
  }
  Turn(plug, kParamExtSidechain, 1);
  plug.GetParam(kParamLimiterMeter)->Set(1.0);
  plug.OnParamChange(kParamLimiterMeter);
  plug.OnParamChange(kParamCompMeter);
  plug.OnParamChange(-1);
  plug.OnParamChange(15);
  EXPECT_TRUE(Snapshot(plug.Targets()) == before);
}

TEST(TollenbrookMapping, HostAndStateChangesReachTheTargetsToo) {
  Tollenbrook plug{iplug::InstanceInfo{}};
  plug.GetParam(kParamCompThreshold)->SetNormalized(0.0);
  plug.OnParamChange(kParamCompThreshold, iplug::ParamSource::kHost, -1);
  EXPECT_EQ(plug.Targets().mThresholdTarget, -60.0);
}
