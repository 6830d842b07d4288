#pragma once
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "product/ChainSettings.h"
#include "product/TollenbrookParams.h"

namespace chaintest {

// The parameter values of the fifteen parameters (12 and 13 unused), defaults first.
using ParamValues = std::array<int, kNumParams>;
inline constexpr ParamValues kDefaultValues{15, 22, 0, 22, 2, 2, 2, 0, 1, 1, 1, 0, 0, 0, 0};
inline constexpr std::array<int, kNumParams> kMaxValues{15, 22, 20, 22, 4, 4, 4, 4, 5, 5, 1, 1, 0, 0, 1};

// What the parameter values select for the chain, written out from the mapping tables.
inline ChainSettings SettingsFor(const ParamValues& v) {
  ChainSettings s;
  s.thresholdTarget = -60.0 + 4.0 * v[kParamCompThreshold];
  s.limitTarget = 15.0 - 0.5 * v[kParamLimitLevel];
  s.gainTarget = std::pow(10.0, 0.05 * v[kParamGain]);
  s.mixTarget = v[kParamMix];
  const double ratios[5] = {1.5, 2.0, 3.0, 4.0, 6.0};
  const double knees[5] = {2.0, 1.5, 1.0, 0.8, 0.6};
  const double shelf[5] = {-7.0, -4.5, -1.5, 1.5, 4.5};
  const double mid[5] = {-8.0, -5.0, -2.0, 3.0, 6.0};
  const double hp[5] = {20.0, 50.0, 80.0, 160.0, 360.0};
  s.ratioTarget = ratios[v[kParamRatio]];
  s.kneeFactorTarget = knees[v[kParamRatio]];
  s.highShelfGain = shelf[v[kParamHigh]];
  s.midPeakGain = mid[v[kParamMid]];
  s.highPassHz = hp[v[kParamHighPass]];
  s.bypassValue = v[kParamBypass];
  s.oversampleCount = v[kParamOversample] != 0 ? 2 : 0;
  s.oversampleLatency = v[kParamOversample] != 0 ? 64 : 0;
  s.compRecovery = v[kParamCompRecovery];
  s.levelRecovery = v[kParamLevelRecovery];
  s.extSidechain = v[kParamExtSidechain];
  return s;
}

// Four input channels and two output channels of a block-wise run.
struct StereoRun {
  std::vector<double> in[4];
  std::vector<double> out[2];
  explicit StereoRun(int frames) {
    for (auto& c : in) c.assign(static_cast<size_t>(frames), 0.0);
    for (auto& c : out) c.assign(static_cast<size_t>(frames), 0.0);
  }
  int Frames() const { return static_cast<int>(in[0].size()); }
  // Channel pointers for a block starting at frame pos.
  std::array<const double*, 4> Inputs(int pos) const {
    return {in[0].data() + pos, in[1].data() + pos, in[2].data() + pos, in[3].data() + pos};
  }
  std::array<double*, 2> Outputs(int pos) { return {out[0].data() + pos, out[1].data() + pos}; }
};

}  // namespace chaintest
