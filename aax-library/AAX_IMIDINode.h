#pragma once
// MIDI and transport nodes the host places in the algorithm context. These objects live in the
// host and are used on the real-time thread, so they are plain interfaces (no reference count).
#include <cstdint>

#include "aax-library/AAX_ITransport.h"
#include "aax-library/AAX_Types.h"

struct AAX_CMidiPacket {
  uint32_t mTimestamp = 0;       // sample offset within the block
  uint32_t mLength = 0;          // bytes used in mData
  unsigned char mData[4] = {};
  AAX_CBoolean mIsImmediate = 0;
};

struct AAX_CMidiStream {
  uint32_t mBufferSize = 0;  // packets in mBuffer
  AAX_CMidiPacket* mBuffer = nullptr;
};

class AAX_IMIDINode {
public:
  // Real-time thread. Incoming packets of this block; never null.
  virtual AAX_CMidiStream* GetNodeBuffer() = 0;
  // Real-time thread. Queues one outgoing packet.
  virtual AAX_Result PostMIDIPacket(AAX_CMidiPacket* packet) = 0;
  // Real-time thread. The transport of a transport node; null for other nodes.
  virtual AAX_ITransport* GetTransport() = 0;

protected:
  ~AAX_IMIDINode() = default;
};
