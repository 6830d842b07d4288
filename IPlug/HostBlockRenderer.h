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
  template <typename Sample>
  bool OutputsPresent(const BasicHostBlock<Sample>& block) const {
    return block.mOutputs && AllPresent(block.mOutputs, OutputBuffers(block.mNOutputs));
  }
  // Audio thread. Every main input is there (an instrument needs none).
  template <typename Sample>
  bool InputsPresent(const BasicHostBlock<Sample>& block) const {
    return mProcessor.IsInstrument() ||
           (block.mMainInputs && AllPresent(block.mMainInputs, MainInputs(block.mNMainInputs)));
  }
  // Audio thread. Allocates nothing. Silences every output of the block.
  template <typename Sample>
  void Silence(const BasicHostBlock<Sample>& block) const;

  // Audio thread. Allocates nothing, takes no lock. Renders the block through the processor's
  // RenderHostBuffers (bypass crossfade included). beforePiece(offset, nFrames) runs before
  // each piece in which the processing runs. A block of 0 frames is one empty piece (the
  // processor still runs, so a latency change reaches the host); a negative count counts as 0.
  // 64-bit blocks are processed in the host's buffers themselves, with no conversion.
  template <typename Sample, typename PieceHook>
  Outcome Render(const BasicHostBlock<Sample>& block, bool bypassed, PieceHook&& beforePiece);

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
  int MainInputs(int nMainInputs) const { return std::clamp(nMainInputs, 0, mMaxMainInputs); }
  int Outputs(int nOutputs) const { return std::clamp(nOutputs, 0, mMaxOutputs); }
  // The piece length for a block, growing the processor's block size up to its preallocation.
  int PieceFrames(int nFrames);
  void ConnectLayout(int nMainInputs, int nOutputs, bool key);
  void AttachPiece(const HostBlock& block, int offset, int nFrames);
  void AttachPiece(const HostBlock64& block, int offset, int nFrames);

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
  std::vector<double*> mPieceInputs64;
  std::vector<double*> mPieceOutputs64;
};

template <typename Sample>
void HostBlockRenderer::Silence(const BasicHostBlock<Sample>& block) const {
  const int n = OutputBuffers(block.mNOutputs);
  for (int i = 0; i < n; ++i) std::fill_n(block.mOutputs[i], std::max(block.mNFrames, 0), Sample(0));
}

template <typename Sample, typename PieceHook>
HostBlockRenderer::Outcome HostBlockRenderer::Render(const BasicHostBlock<Sample>& block, bool bypassed,
                                                     PieceHook&& beforePiece) {
  if (!OutputsPresent(block)) return Outcome::kSkipped;
  if (!InputsPresent(block)) {
    Silence(block);
    return Outcome::kSilenced;
  }
  const int nFrames = std::max(block.mNFrames, 0);
  const int pieceFrames = PieceFrames(nFrames);
  ConnectLayout(block.mNMainInputs, block.mNOutputs, block.mKey != nullptr);
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
