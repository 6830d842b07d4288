#include "IPlug/HostBlockRenderer.h"

#include <cstring>

namespace iplug {

HostBlockRenderer::HostBlockRenderer(IPlugProcessor& processor)
    : mProcessor(processor),
      mSideChainChannel(processor.MaxChannelsForBus(kInput, 0)),
      mMaxOutputs(processor.NChannels(kOutput)),
      mHasSideChainBus(processor.MaxBusCount(kInput) > 1),
      mOneOutputBus(processor.MaxBusCount(kOutput) == 1),
      mPieceInputs(static_cast<size_t>(processor.NChannels(kInput)), nullptr),
      mPieceOutputs(static_cast<size_t>(processor.NChannels(kOutput)), nullptr),
      mPieceOutputs64(static_cast<size_t>(processor.NChannels(kOutput)), nullptr) {
  const int nIn = processor.NChannels(kInput);
  // The main inputs end where the side-chain channel begins.
  mMaxMainInputs = mHasSideChainBus ? std::clamp(mSideChainChannel, 0, nIn) : nIn;
}

int HostBlockRenderer::PieceFrames(int nFrames) {
  const int pieceFrames = std::min(nFrames, std::max(IPlugProcessor::kPreallocatedFrames, mProcessor.GetBlockSize()));
  mProcessor.GrowBlockSize(pieceFrames);
  return pieceFrames;
}

void HostBlockRenderer::ConnectLayout(int nIn, int nOut, bool hostKey) {
  const int maxIn = mProcessor.NChannels(kInput);
  const bool key = mHasSideChainBus && hostKey && mSideChainChannel >= nIn && mSideChainChannel < maxIn;
  const Layout layout{nIn, nOut, key};
  if (layout == mConnected) return;
  mConnected = layout;
  if (!mProcessor.IsInstrument()) {
    mProcessor.ConnectChannels(kInput, 0, nIn, true);
    if (key) {
      // The key's channel stays connected from block to block: disconnecting it on the way would
      // silence its whole buffer, only for the key to be written over it.
      mProcessor.ConnectChannels(kInput, nIn, mSideChainChannel - nIn, false);
      mProcessor.ConnectChannels(kInput, mSideChainChannel + 1, maxIn - mSideChainChannel - 1, false);
      mProcessor.ConnectChannels(kInput, mSideChainChannel, 1, true);
    } else {
      mProcessor.ConnectChannels(kInput, nIn, maxIn - nIn, false);
    }
  }
  // With one output bus, the outputs past the host's layout stay disconnected; connected for a
  // moment on the way, they would be cleared every time.
  const int connected = mOneOutputBus ? layout.nOut : mMaxOutputs;
  mProcessor.ConnectChannels(kOutput, 0, connected, true);
  mProcessor.ConnectChannels(kOutput, connected, mMaxOutputs - connected, false);
}

void HostBlockRenderer::AttachPiece(const HostBlock& block, int offset, int nFrames) {
  if (!mProcessor.IsInstrument()) {
    const int nIn = mConnected.nIn;
    for (int c = 0; c < nIn; ++c)
      mPieceInputs[static_cast<size_t>(c)] = const_cast<float*>(block.mMainInputs[c] + offset);
    mProcessor.AttachHostBuffers(kInput, 0, nIn, mPieceInputs.data(), nFrames);
    if (mConnected.key) {
      float* key[1] = {const_cast<float*>(block.mKey + offset)};
      mProcessor.AttachHostBuffers(kInput, mSideChainChannel, 1, key, nFrames);
    }
  }
  const int nOut = OutputBuffers(block.mNOutputs);
  for (int c = 0; c < nOut; ++c) mPieceOutputs[static_cast<size_t>(c)] = block.mOutputs[c] + offset;
  mProcessor.AttachHostBuffers(kOutput, 0, mMaxOutputs, mPieceOutputs.data(), nFrames);
}

// The inputs are widened into the processor's buffers like 32-bit ones (through float
// pointers they are not): the processor takes doubles only as buffers it processes in place,
// so each input is copied into its channel's own buffer here.
void HostBlockRenderer::AttachPiece(const HostBlock64& block, int offset, int nFrames) {
  if (!mProcessor.IsInstrument()) {
    mProcessor.AttachHostBuffers(kInput, 0, mProcessor.NChannels(kInput), static_cast<double* const*>(nullptr));
    double* const* channels = mProcessor.ChannelData(kInput);
    const int n = std::max(nFrames, 0);
    for (int c = 0; c < mConnected.nIn; ++c) std::copy_n(block.mMainInputs[c] + offset, n, channels[c]);
    if (mConnected.key) std::copy_n(block.mKey + offset, n, channels[mSideChainChannel]);
  }
  const int nOut = OutputBuffers(block.mNOutputs);
  for (int c = 0; c < nOut; ++c) mPieceOutputs64[static_cast<size_t>(c)] = block.mOutputs[c] + offset;
  mProcessor.AttachHostBuffers(kOutput, 0, mMaxOutputs, mPieceOutputs64.data());
}

}  // namespace iplug
