#pragma once
#include <vector>

namespace iplug {

// Index for everything that exists once per direction.
enum Direction : int { kInput = 0, kOutput = 1 };

// One bus of a channel configuration. A wildcard bus ("*") holds kWildcardChannels.
struct BusSpec {
  static constexpr int kWildcardChannels = -64;

  Direction mDirection = kInput;
  int mNChannels = 0;
};

// One allowed channel configuration: the buses of each direction in the order the
// configuration string gives them (first input bus main, second a side chain).
struct ChannelLayout {
  std::vector<BusSpec> mBuses[2];

  int NBuses(Direction dir) const { return static_cast<int>(mBuses[dir].size()); }
  // Sum of the channel counts of that side; wildcard buses count as -64.
  int TotalChannels(Direction dir) const {
    int total = 0;
    for (const BusSpec& bus : mBuses[dir]) total += bus.mNChannels;
    return total;
  }
  bool ContainsWildcard(Direction dir) const {
    for (const BusSpec& bus : mBuses[dir])
      if (bus.mNChannels < 0) return true;
    return false;
  }
};

}  // namespace iplug
