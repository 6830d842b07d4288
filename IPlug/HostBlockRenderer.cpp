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
      mPieceInputs64(static_cast<size_t>(processor.NChannels(kInput)), nullptr),
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

void HostBlockRenderer::ConnectLayout(int nMainInputs, int nOutputs, bool hasKey) {
  const int nIn = MainInputs(nMainInputs);
  const int maxIn = mProcessor.NChannels(kInput);
  const bool key = mHasSideChainBus && hasKey && mSideChainChannel >= nIn && mSideChainChannel < maxIn;
  const Layout layout{nIn, Outputs(nOutputs), key};
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

// 64-bit buffers are the processing's own: attached as they are, nothing converted on the way.
void HostBlockRenderer::AttachPiece(const HostBlock64& block, int offset, int /*nFrames*/) {
  if (!mProcessor.IsInstrument()) {
    const int nIn = mConnected.nIn;
    for (int c = 0; c < nIn; ++c)
      mPieceInputs64[static_cast<size_t>(c)] = const_cast<double*>(block.mMainInputs[c] + offset);
    mProcessor.AttachHostBuffers(kInput, 0, nIn, mPieceInputs64.data());
    if (mConnected.key) {
      double* key[1] = {const_cast<double*>(block.mKey + offset)};
      mProcessor.AttachHostBuffers(kInput, mSideChainChannel, 1, key);
    }
  }
  const int nOut = OutputBuffers(block.mNOutputs);
  for (int c = 0; c < nOut; ++c) mPieceOutputs64[static_cast<size_t>(c)] = block.mOutputs[c] + offset;
  mProcessor.AttachHostBuffers(kOutput, 0, mMaxOutputs, mPieceOutputs64.data());
}

}  // namespace iplug
