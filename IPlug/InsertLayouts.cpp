#include "IPlug/InsertLayouts.h"

namespace iplug {

InsertLayouts InsertLayouts::Of(std::span<const ChannelLayout> configs) {
  InsertLayouts layouts;
  for (const ChannelLayout& config : configs) layouts.mSideChain = layouts.mSideChain || config.NBuses(kInput) > 1;
  for (const ChannelLayout& config : configs)
    if (!layouts.mSideChain || config.NBuses(kInput) == 1) layouts.mConfigs.push_back(&config);
  return layouts;
}

}  // namespace iplug
