#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "aax-library/AAX_IMIDINode.h"

namespace aaxhost {

// A MIDI node in the algorithm context: the packets the host delivers for the next block, and
// the packets the module posts (kept up to a fixed capacity so that posting from the
// real-time thread never allocates; later packets are counted as dropped).
class MidiNode final : public AAX_IMIDINode {
public:
  static constexpr std::size_t kCapacity = 4096;

  MidiNode(AAX_EMIDINodeType type, std::string name, uint32_t mask, AAX_ITransport* transport);

  AAX_CMidiStream* GetNodeBuffer() override;
  AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) override;
  AAX_ITransport* GetTransport() override;

  // Host side, between blocks.
  void SetIncoming(std::vector<AAX_CMidiPacket> packets);
  std::vector<AAX_CMidiPacket> TakePosted();
  int32_t Dropped() const { return mDropped.load(); }

  AAX_EMIDINodeType Type() const { return mType; }
  const std::string& Name() const { return mName; }
  uint32_t Mask() const { return mMask; }

private:
  AAX_EMIDINodeType mType;
  std::string mName;
  uint32_t mMask;
  AAX_ITransport* mTransport;
  std::vector<AAX_CMidiPacket> mIncoming;
  AAX_CMidiStream mStream;
  std::vector<AAX_CMidiPacket> mPosted;
  std::atomic<int32_t> mDropped{0};
};

}  // namespace aaxhost
