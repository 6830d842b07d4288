#include "host/aax/MidiNode.h"

#include <utility>

#include "aax-library/AAX_Errors.h"

namespace aaxhost {

MidiNode::MidiNode(AAX_EMIDINodeType type, std::string name, uint32_t mask, AAX_ITransport* transport)
    : mType(type), mName(std::move(name)), mMask(mask), mTransport(transport) {
  mPosted.reserve(kCapacity);
}

AAX_CMidiStream* MidiNode::GetNodeBuffer() { return &mStream; }

AAX_Result MidiNode::PostMIDIPacket(AAX_CMidiPacket* packet) {
  if (!packet) return AAX_ERROR_NULL_ARGUMENT;
  if (mPosted.size() >= kCapacity) {
    mDropped.fetch_add(1);
    return AAX_ERROR_FIFO_FULL;
  }
  mPosted.push_back(*packet);
  return AAX_SUCCESS;
}

AAX_ITransport* MidiNode::GetTransport() { return mType == AAX_eMIDINodeType_Transport ? mTransport : nullptr; }

void MidiNode::SetIncoming(std::vector<AAX_CMidiPacket> packets) {
  mIncoming = std::move(packets);
  mStream.mBufferSize = static_cast<uint32_t>(mIncoming.size());
  mStream.mBuffer = mIncoming.empty() ? nullptr : mIncoming.data();
}

std::vector<AAX_CMidiPacket> MidiNode::TakePosted() {
  std::vector<AAX_CMidiPacket> posted = mPosted;
  mPosted.clear();
  return posted;
}

}  // namespace aaxhost
