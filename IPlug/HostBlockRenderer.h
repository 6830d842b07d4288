#pragma once
#include <algorithm>
#include <vector>

#include "IPlug/HostBlock.h"
#include "IPlug/IPlugProcessor.h"

namespace iplug {

// What a host block means, decided once for every binding: the main inputs go to channels 0 ..,
// the key to the side-chain channel (the first channel after the largest first input bus),
// the outputs to channels 0 .. (with one output bus, the channels past the host's layout stay
// disconnected). A block whose outputs are not all there is left alone; one whose main inputs
// are not all there is answered with silence. A block longer than the processor's scratch
// buffers is rendered in pieces that fit them, so no block, however long, allocates. Channels
// are connected again only when the host's layout changes (main inputs, outputs, key):
// connecting costs a pass over every channel record, and a disconnected channel keeps showing
// its own silenced scratch.
//
// The binding adds what its host brings besides audio (transport, MIDI) in a hook that runs
// before each piece the processing takes part in.
class HostBlockRenderer {
public:
  enum class Outcome { kSkipped, kSilenced, kRendered };

  // Main thread. Sized for the processor's channel records; allocates.
  explicit HostBlockRenderer(IPlugProcessor& processor);

  // Any thread. The main input channels a block can bring: up to the side-chain channel when
  // there is a side-chain bus, else every input record.
  int MaxMainInputs() const { return mMaxMainInputs; }
  // Any thread. The output buffers a block whose layout has nOutputs channels must carry.
  int OutputBuffers(int nOutputs) const { return mOneOutputBus ? std::clamp(nOutputs, 0, mMaxOutputs) : mMaxOutputs; }
  // Audio thread. Every output buffer the block is written to is there.
  bool OutputsPresent(const HostBlock& block) const {
    return block.mOutputs && AllPresent(block.mOutputs, OutputBuffers(block.mNOutputs));
  }
  // Audio thread. Every main input is there (an instrument needs none).
  bool InputsPresent(const HostBlock& block) const {
    return mProcessor.IsInstrument() || (block.mMainInputs && AllPresent(block.mMainInputs, MainInputs(block)));
  }
  // Audio thread. Allocates nothing. Silences every output of the block.
  void Silence(const HostBlock& block) const;

  // Audio thread. Allocates nothing, takes no lock. Renders the block through the processor's
  // RenderHostBuffers (bypass crossfade included). beforePiece(offset, nFrames) runs before
  // each piece in which the processing runs. A block of 0 frames is one empty piece (the
  // processor still runs, so a latency change reaches the host); a negative count counts as 0.
  template <typename PieceHook>
  Outcome Render(const HostBlock& block, bool bypassed, PieceHook&& beforePiece);

private:
  struct Layout {
    int nIn = -1;
    int nOut = -1;
    bool key = false;
    bool operator==(const Layout&) const = default;
  };

  template <typename Buffer>
  static bool AllPresent(Buffer* const* buffers, int count) {
    for (int i = 0; i < count; ++i)
      if (!buffers[i]) return false;
    return true;
  }
  int MainInputs(const HostBlock& block) const { return std::clamp(block.mNMainInputs, 0, mMaxMainInputs); }
  int Outputs(const HostBlock& block) const { return std::clamp(block.mNOutputs, 0, mMaxOutputs); }
  // The piece length for a block, growing the processor's block size up to its preallocation.
  int PieceFrames(int nFrames);
  void ConnectLayout(const HostBlock& block);
  void AttachPiece(const HostBlock& block, int offset, int nFrames);

  IPlugProcessor& mProcessor;
  int mSideChainChannel = 0;
  int mMaxMainInputs = 0;
  int mMaxOutputs = 0;
  bool mHasSideChainBus = false;
  bool mOneOutputBus = true;
  Layout mConnected;  // none until the first block
  // The host's buffer pointers for one piece, sized at construction.
  std::vector<float*> mPieceInputs;
  std::vector<float*> mPieceOutputs;
};

template <typename PieceHook>
HostBlockRenderer::Outcome HostBlockRenderer::Render(const HostBlock& block, bool bypassed, PieceHook&& beforePiece) {
  if (!OutputsPresent(block)) return Outcome::kSkipped;
  if (!InputsPresent(block)) {
    Silence(block);
    return Outcome::kSilenced;
  }
  const int nFrames = std::max(block.mNFrames, 0);
  const int pieceFrames = PieceFrames(nFrames);
  ConnectLayout(block);
  int offset = 0;
  do {
    const int n = std::min(pieceFrames, nFrames - offset);
    AttachPiece(block, offset, n);
    if (mProcessor.RunsProcessing(bypassed)) beforePiece(offset, n);
    mProcessor.RenderHostBuffers(n, bypassed);
    offset += n;
  } while (offset < nFrames);
  return Outcome::kRendered;
}

}  // namespace iplug
