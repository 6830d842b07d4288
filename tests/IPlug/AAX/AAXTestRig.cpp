#include "AAXTestRig.h"

#include "aax-library/AAX_Exports.h"

namespace aaxtest {

HostServicesScope::HostServicesScope(aaxhost::Host& host) { ACFStartup(host.Unknown()); }
HostServicesScope::~HostServicesScope() { ACFShutdown(nullptr); }

RawContext::RawContext(AAX_CIPlugParameters& effect, int mainInputs, int outputs, int maxFrames) {
  // Main inputs and the key; unused fields hold null, as a host leaves them.
  for (int i = 0; i <= mainInputs; ++i) mInputs.emplace_back(maxFrames, 0.0f);
  for (int i = 0; i < outputs; ++i) mOutputs.emplace_back(maxFrames, 0.0f);
  for (auto& buffer : mInputs) mInputPointers.push_back(buffer.data());
  for (auto& buffer : mOutputs) mOutputPointers.push_back(buffer.data());
  mFields[kIPlugAAXField_AudioIn] = mInputPointers.data();
  mFields[kIPlugAAXField_AudioOut] = mOutputPointers.data();
  mFields[kIPlugAAXField_BufferLength] = &mLength;
  mFields[kIPlugAAXField_PrivateData] = mPrivateData;
  mFields[kIPlugAAXField_StateNumber] = &mStateNumber;
  mFields[kIPlugAAXField_SideChainIn] = &mSideChain;
  effect.ResetFieldData(kIPlugAAXField_PrivateData, mPrivateData, sizeof mPrivateData);
  mLength = 512;
}

void RawContext::FillInputs(float base) {
  for (size_t i = 0; i < mInputs.size(); ++i)
    for (size_t f = 0; f < mInputs[i].size(); ++f) mInputs[i][f] = base + static_cast<float>(i) + static_cast<float>(f) / 1000.0f;
}

void RawContext::FillOutputs(float value) {
  for (auto& buffer : mOutputs) std::fill(buffer.begin(), buffer.end(), value);
}

void RawContext::UseMidiNodes() {
  mMidiIn = std::make_unique<aaxhost::MidiNode>(AAX_eMIDINodeType_LocalInput, "in", 0xFFFF, nullptr);
  mMidiOut = std::make_unique<aaxhost::MidiNode>(AAX_eMIDINodeType_LocalOutput, "out", 0xFFFF, nullptr);
  mFields[kIPlugAAXField_MIDIIn] = static_cast<AAX_IMIDINode*>(mMidiIn.get());
  mFields[kIPlugAAXField_MIDIOut] = static_cast<AAX_IMIDINode*>(mMidiOut.get());
}

void RawContext::UseTransport(AAX_ITransport* transport) {
  mTransportNode = std::make_unique<aaxhost::MidiNode>(AAX_eMIDINodeType_Transport, "Transport", 0xFFFF, transport);
  mFields[kIPlugAAXField_Transport] = static_cast<AAX_IMIDINode*>(mTransportNode.get());
}

void RawContext::Render() {
  void* const contexts[1] = {Get()};
  AAX_CIPlugParameters::AlgorithmCallback(contexts, contexts + 1);
}

}  // namespace aaxtest
