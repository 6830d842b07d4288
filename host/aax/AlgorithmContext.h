#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "aax-library/AAX_Callbacks.h"
#include "host/aax/ComponentDescriptor.h"
#include "host/aax/MidiNode.h"

class AAX_IACFEffectParameters;
class AAX_ITransport;

namespace aaxhost {

class Controller;

// The algorithm context of one instance, laid out exactly as a component registered its
// fields: each field index holds what its registration calls for (see AAX_Callbacks.h), and
// indices nobody registered hold null. Private data blocks are prepared with the effect's
// ResetFieldData. With a side-chain input the input array has one more buffer after the main
// inputs, and the side-chain field points to its index (0 means no side chain routed).
// Everything is allocated here, so rendering allocates nothing.
class AlgorithmContext {
public:
  AlgorithmContext(const ComponentDescriptor& component, AAX_IACFEffectParameters* effect, AAX_ITransport* transport,
                   int32_t inputChannels, int32_t outputChannels, int32_t maxBlockSize);

  void* Get() { return mFields.data(); }
  int32_t FieldCount() const { return static_cast<int32_t>(mFields.size()); }
  void* Field(AAX_CFieldIndex index) const;

  int32_t InputBufferCount() const { return static_cast<int32_t>(mInputs.size()); }
  int32_t OutputBufferCount() const { return static_cast<int32_t>(mOutputs.size()); }
  float* Input(int32_t channel) { return mInputs[static_cast<std::size_t>(channel)]; }
  float* Output(int32_t channel) { return mOutputs[static_cast<std::size_t>(channel)]; }
  int32_t MaxBlockSize() const { return mMaxBlockSize; }
  bool HasSideChain() const { return mSideChainIndex != nullptr; }
  int32_t SideChainBuffer() const { return mMainInputs; }  // position of the side-chain buffer

  // Samples in the next block; refused (false) above the size the buffers were made for.
  bool SetBlockLength(int32_t samples);
  // 0 routes no side chain; otherwise the input buffer the plug-in reads it from.
  void SetSideChainIndex(int32_t index);
  void SetClock(AAX_CTimestamp clock);

  MidiNode* Node(AAX_CFieldIndex index) const;
  void* PrivateData(AAX_CFieldIndex index) const { return Field(index); }
  float* Meters(AAX_CFieldIndex index) const { return static_cast<float*>(Field(index)); }

  // Copies a packet into a data-in port (at most the port's packet size); false for another field.
  bool DeliverPacket(AAX_CFieldIndex index, const std::vector<unsigned char>& data);
  // Delivers the newest packet the controller holds for every data-in port.
  void DeliverNewestPackets(const Controller& controller);

  // Calls a render callback with this context alone. Real-time thread; allocates nothing.
  void Render(AAX_CProcessProc process);

private:
  void* Store(std::size_t bytes);
  void PlaceField(const FieldRegistration& field, AAX_IACFEffectParameters* effect, AAX_ITransport* transport,
                  int32_t maxBlockSize);

  std::vector<void*> mFields;
  std::vector<std::unique_ptr<uint64_t[]>> mBlocks;
  std::map<AAX_CFieldIndex, std::size_t> mDataInSizes;
  std::vector<std::vector<float>> mBufferStorage;
  std::vector<float*> mInputs;
  std::vector<float*> mOutputs;
  std::vector<std::unique_ptr<MidiNode>> mNodes;
  std::map<AAX_CFieldIndex, MidiNode*> mNodeByIndex;
  int32_t mMainInputs = 0;
  int32_t mMaxBlockSize = 0;
  int32_t* mBlockLength = nullptr;
  int32_t* mSideChainIndex = nullptr;
  AAX_CTimestamp* mClock = nullptr;
};

}  // namespace aaxhost
