#pragma once
#include <random>
#include <string>
#include <vector>

class AAX_IACFEffectParameters;

namespace tbvalidate {

// One host parameter as a host learns it through the effect-parameters interface.
struct HostParam {
  std::string id;
  std::string name;
  int steps = 0;             // number of steps the host offers (2 for a switch)
  bool automatable = false;
  double defaultNormalized = 0.0;
  bool masterBypass = false;

  // The normalised value of step k of `steps`.
  double StepValue(int k) const { return steps > 1 ? static_cast<double>(k) / (steps - 1) : 0.0; }
};

// The plug-in's host parameters, the master bypass among them.
// Main thread.
std::vector<HostParam> ReadHostParams(const AAX_IACFEffectParameters& effect);

// A parameter for a host thread to change at random: any but the master bypass, or null for a
// plug-in whose only parameter is its bypass. Any thread; allocates nothing.
const HostParam* RandomChangeable(const std::vector<HostParam>& params, std::mt19937_64& rng);

// The first parameter whose name contains `part` (case does not matter), or null.
const HostParam* FindParam(const std::vector<HostParam>& params, const std::string& part);

}  // namespace tbvalidate
