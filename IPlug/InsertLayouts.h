#pragma once
#include <span>
#include <vector>

#include "IPlug/ChannelLayout.h"

namespace iplug {

// Which of the plug-in's channel configurations a host is offered as inserts, decided once for
// every binding. With a second input bus in any configuration, that bus is the side chain: only
// the configurations of one input bus become inserts, and each of them takes the key. Without
// one, every configuration does. A binding whose host cannot express some configuration (aux
// output buses, wildcards) leaves those out on top of this rule.
struct InsertLayouts {
  bool mSideChain = false;                           // every insert has a key input
  std::vector<const ChannelLayout*> mConfigs;        // in the order the configurations are given

  // Any thread. The layouts point into `configs`, which must outlive them.
  static InsertLayouts Of(std::span<const ChannelLayout> configs);
};

}  // namespace iplug
