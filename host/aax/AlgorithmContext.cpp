#include "host/aax/AlgorithmContext.h"

#include <algorithm>
#include <cstring>

#include "aax-library/AAX_IACFEffectParameters.h"
#include "aax-library/AAX_ITransport.h"
#include "host/aax/Controller.h"

namespace aaxhost {

AlgorithmContext::AlgorithmContext(const ComponentDescriptor& component, AAX_IACFEffectParameters* effect,
                                   AAX_ITransport* transport, int32_t inputChannels, int32_t outputChannels,
                                   int32_t maxBlockSize)
    : mMainInputs(std::max(inputChannels, 0)), mMaxBlockSize(std::max(maxBlockSize, 1)) {
  AAX_CFieldIndex highest = -1;
  for (const FieldRegistration& field : component.Fields()) highest = std::max(highest, field.index);
  mFields.assign(static_cast<std::size_t>(highest + 1), nullptr);

  const bool sideChain = component.FindFieldOfKind(FieldKind::SideChainIn) != nullptr;
  int32_t outputs = std::max(outputChannels, 0);
  for (const AuxOutputStem& stem : component.AuxOutputStems()) {
    outputs += AAX_StemFormatChannelCount(stem.stemFormat);
  }
  const int32_t inputs = mMainInputs + (sideChain ? 1 : 0);
  mBufferStorage.resize(static_cast<std::size_t>(inputs + outputs));
  for (auto& buffer : mBufferStorage) buffer.assign(static_cast<std::size_t>(mMaxBlockSize), 0.0f);
  for (int32_t i = 0; i < inputs; ++i) mInputs.push_back(mBufferStorage[static_cast<std::size_t>(i)].data());
  for (int32_t i = 0; i < outputs; ++i) mOutputs.push_back(mBufferStorage[static_cast<std::size_t>(inputs + i)].data());

  for (const FieldRegistration& field : component.Fields()) PlaceField(field, effect, transport, mMaxBlockSize);
  if (mSideChainIndex) *mSideChainIndex = mMainInputs;
}

void* AlgorithmContext::Store(std::size_t bytes) {
  const std::size_t words = std::max<std::size_t>((bytes + 7) / 8, 1);
  mBlocks.push_back(std::make_unique<uint64_t[]>(words));
  return mBlocks.back().get();
}

void AlgorithmContext::PlaceField(const FieldRegistration& field, AAX_IACFEffectParameters* effect,
                                  AAX_ITransport* transport, int32_t maxBlockSize) {
  void*& slot = mFields[static_cast<std::size_t>(field.index)];
  switch (field.kind) {
    case FieldKind::AudioIn:
      slot = mInputs.empty() ? nullptr : mInputs.data();
      break;
    case FieldKind::AudioOut:
      slot = mOutputs.empty() ? nullptr : mOutputs.data();
      break;
    case FieldKind::BufferLength:
      mBlockLength = static_cast<int32_t*>(Store(sizeof(int32_t)));
      *mBlockLength = maxBlockSize;
      slot = mBlockLength;
      break;
    case FieldKind::SampleRate:
      slot = Store(sizeof(float));
      break;
    case FieldKind::Clock:
      mClock = static_cast<AAX_CTimestamp*>(Store(sizeof(AAX_CTimestamp)));
      slot = mClock;
      break;
    case FieldKind::SideChainIn:
      mSideChainIndex = static_cast<int32_t*>(Store(sizeof(int32_t)));
      slot = mSideChainIndex;
      break;
    case FieldKind::DataInPort:
      slot = Store(static_cast<std::size_t>(field.size));
      mDataInSizes[field.index] = static_cast<std::size_t>(field.size);
      break;
    case FieldKind::PrivateData:
      slot = Store(static_cast<std::size_t>(field.size));
      if (effect) effect->ResetFieldData(field.index, slot, static_cast<uint32_t>(field.size));
      break;
    case FieldKind::TemporaryData:
      slot = Store(static_cast<std::size_t>(field.size) * static_cast<std::size_t>(maxBlockSize));
      break;
    case FieldKind::Meters:
      slot = Store(sizeof(float) * static_cast<std::size_t>(field.meterIDs.size()));
      break;
    case FieldKind::MIDINode: {
      const auto type = static_cast<AAX_EMIDINodeType>(field.type);
      mNodes.push_back(std::make_unique<MidiNode>(type, field.name, field.mask, transport));
      mNodeByIndex[field.index] = mNodes.back().get();
      slot = static_cast<AAX_IMIDINode*>(mNodes.back().get());
      break;
    }
    case FieldKind::Reserved:
    case FieldKind::DmaInstance:
      slot = Store(sizeof(void*));
      break;
  }
}

void* AlgorithmContext::Field(AAX_CFieldIndex index) const {
  if (index < 0 || index >= FieldCount()) return nullptr;
  return mFields[static_cast<std::size_t>(index)];
}

bool AlgorithmContext::SetBlockLength(int32_t samples) {
  if (samples < 0 || samples > mMaxBlockSize || !mBlockLength) return false;
  *mBlockLength = samples;
  return true;
}

void AlgorithmContext::SetSideChainIndex(int32_t index) {
  if (mSideChainIndex) *mSideChainIndex = index;
}

void AlgorithmContext::SetClock(AAX_CTimestamp clock) {
  if (mClock) *mClock = clock;
}

MidiNode* AlgorithmContext::Node(AAX_CFieldIndex index) const {
  const auto found = mNodeByIndex.find(index);
  return found == mNodeByIndex.end() ? nullptr : found->second;
}

bool AlgorithmContext::DeliverPacket(AAX_CFieldIndex index, const std::vector<unsigned char>& data) {
  const auto found = mDataInSizes.find(index);
  if (found == mDataInSizes.end()) return false;
  std::memcpy(Field(index), data.data(), std::min(found->second, data.size()));
  return true;
}

void AlgorithmContext::DeliverNewestPackets(const Controller& controller) {
  for (const auto& [index, size] : mDataInSizes) {
    std::vector<unsigned char> packet;
    if (controller.NewestPacket(index, &packet)) DeliverPacket(index, packet);
  }
}

void AlgorithmContext::Render(AAX_CProcessProc process) {
  if (!process) return;
  void* const contexts[1] = {Get()};
  process(contexts, contexts + 1);
}

}  // namespace aaxhost
