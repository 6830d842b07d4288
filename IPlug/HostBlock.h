#pragma once

namespace iplug {

// One block of audio as a host hands it over, in terms every binding can state: the main
// inputs, the key (the side-chain input), the outputs of the host's layout and the frame count.
// The pointers are the host's and valid only for the call that renders the block. Inputs are
// only read, also where a host passes them as writable. Samples are 32-bit floats (HostBlock),
// or doubles where the host hands the plug-in 64-bit buffers (HostBlock64).
template <typename Sample>
struct BasicHostBlock {
  const Sample* const* mMainInputs = nullptr;  // mNMainInputs buffers; null when the host gave none
  int mNMainInputs = 0;
  const Sample* mKey = nullptr;  // null without a key
  // The output buffers: with one output bus mNOutputs of them (the host's layout), with several
  // one per output channel record of the plug-in (HostBlockRenderer::OutputBuffers says which).
  Sample* const* mOutputs = nullptr;
  int mNOutputs = 0;
  int mNFrames = 0;
};

using HostBlock = BasicHostBlock<float>;
using HostBlock64 = BasicHostBlock<double>;

}  // namespace iplug
