#pragma once
#include <vector>

#include "IPlug/TextBuffer.h"

namespace iplug {

// One physical channel of one direction: whether the host connects it in this block, the
// entry of the channel-pointer array that the processing routine sees for it, the host's
// float buffer that receives an output, and a scratch buffer of the block size that stands
// in for the host buffer (converted audio, or silence for a disconnected channel).
struct ChannelSlot {
  bool mConnected = false;
  double** mData = nullptr;      // entry in the direction's channel-pointer array
  float* mHostOutput = nullptr;  // outputs only; null when nothing is converted back
  // Inputs: how many of the frames converted for this block were found finite on the way
  // (-1: not checked, or something found), so the non-finite scan need not read them again.
  int mFiniteFrames = -1;
  std::vector<double> mScratch;
  TextBuffer mLabel;
};

}  // namespace iplug
