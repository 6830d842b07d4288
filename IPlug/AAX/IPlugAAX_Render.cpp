#include <algorithm>
#include <cstring>

#include "IPlug/AAX/IPlugAAX.h"
#include "aax-library/AAX_Callbacks.h"
#include "aax-library/AAX_IMIDINode.h"

// The render path: one block of the host's algorithm context onto the processor.
namespace iplug {

namespace {
constexpr double kTicksPerQuarter = 960000.0;
constexpr uint32_t kPacketBytes = 4;

template <typename T>
T* Field(const void* context, AAX_CFieldIndex index) {
  return static_cast<T*>(AAX_ContextField(context, index));
}

bool AllPresent(float* const* buffers, int count) {
  for (int i = 0; i < count; ++i)
    if (!buffers[i]) return false;
  return true;
}
}  // namespace

// What the context says about one block, checked before anything is read or written.
struct IPlugAAX::HostBlock {
  int nFrames = 0;
  int nIn = 0;             // main input channels the host delivers
  int nOut = 0;            // output channels of the host's stem format
  int nOutAttached = 0;    // host output buffers the processor writes
  float* const* inputs = nullptr;
  float* const* outputs = nullptr;
  bool inputsPresent = false;
  bool initialised = false;  // a controller to answer: the host initialised the instance
  int sideChainIndex = 0;  // position of the key in the input buffers; 0 without one
};

bool IPlugAAX::ReadStemFormats(int& nIn, int& nOut) const {
  AAX_IController* controller = Controller();
  AAX_EStemFormat inputFormat = AAX_eStemFormat_None;
  AAX_EStemFormat outputFormat = AAX_eStemFormat_None;
  if (controller && controller->GetInputStemFormat(&inputFormat) == AAX_SUCCESS &&
      controller->GetOutputStemFormat(&outputFormat) == AAX_SUCCESS) {
    nIn = AAX_StemFormatChannelCount(inputFormat);
    nOut = AAX_StemFormatChannelCount(outputFormat);
    return true;
  }
  return false;
}

bool IPlugAAX::ReadHostBlock(const void* context, HostBlock& block) {
  const int32_t* length = Field<const int32_t>(context, kIPlugAAXField_BufferLength);
  if (!length || *length <= 0 || *length > kMaxRenderFrames) return false;
  block.nFrames = *length;

  // An instance's stem formats never change, so once a query has worked the host is not asked
  // again; before any has (a host in trouble), the layout is taken to be the smallest there
  // is, one channel each way, so that every buffer written exists.
  block.initialised = Controller() != nullptr;
  int nIn = 0, nOut = 0;
  if (!mStemFormatsKnown && ReadStemFormats(nIn, nOut)) {
    mKnownInputChannels = nIn;
    mKnownOutputChannels = nOut;
    mStemFormatsKnown = true;
  } else {
    nIn = mKnownInputChannels;
    nOut = mKnownOutputChannels;
  }
  // The main inputs end where the side-chain channel begins.
  const int mainInputs = MaxBusCount(kInput) > 1 ? std::min(mSideChainChannel, NChannels(kInput)) : NChannels(kInput);
  block.nIn = std::clamp(nIn, 0, mainInputs);
  block.nOut = std::clamp(nOut, 0, NChannels(kOutput));
  block.nOutAttached = MaxBusCount(kOutput) == 1 ? block.nOut : NChannels(kOutput);

  block.outputs = Field<float* const>(context, kIPlugAAXField_AudioOut);
  if (!block.outputs || !AllPresent(block.outputs, block.nOutAttached)) return false;

  block.inputs = Field<float* const>(context, kIPlugAAXField_AudioIn);
  block.inputsPresent = IsInstrument() || (block.inputs && AllPresent(block.inputs, block.nIn));

  // The key follows the main inputs in the host's buffers; an index past them (or a missing
  // buffer there) is taken as no key at all.
  // Only components with a side chain register its field: the others' contexts end before it.
  const int32_t* sideChain =
      MaxBusCount(kInput) > 1 ? Field<const int32_t>(context, kIPlugAAXField_SideChainIn) : nullptr;
  const int s = sideChain ? *sideChain : 0;
  if (block.inputs && s >= 1 && s <= block.nIn && block.inputs[s]) block.sideChainIndex = s;
  return true;
}

void IPlugAAX::SilenceOutputs(const HostBlock& block) {
  for (int i = 0; i < block.nOutAttached; ++i)
    std::memset(block.outputs[i], 0, sizeof(float) * static_cast<size_t>(block.nFrames));
}

// The host's buffers from frame `offset` on, in the arrays made for them at construction.
float* const* IPlugAAX::HostPointers(float* const* buffers, int count, int offset, std::vector<float*>& out) {
  const int n = std::min(count, static_cast<int>(out.size()));
  for (int i = 0; i < n; ++i) out[static_cast<size_t>(i)] = buffers[i] + offset;
  return out.data();
}

// Which channels are connected changes only with the host's layout, so the channels are
// connected again only when it has changed: nothing else connects or disconnects them, and a
// disconnected channel keeps showing its own scratch.
void IPlugAAX::ConnectLayout(const HostBlock& block) {
  const bool key = MaxBusCount(kInput) > 1 && block.sideChainIndex != 0;
  const ConnectedLayout layout{block.nIn, block.nOut, key};
  if (layout == mConnectedLayout) return;
  mConnectedLayout = layout;
  if (!IsInstrument()) {
    const int maxIn = NChannels(kInput);
    ConnectChannels(kInput, 0, block.nIn, true);
    if (key && mSideChainChannel >= block.nIn && mSideChainChannel < maxIn) {
      // The key's channel stays connected from block to block: disconnecting it on the way would
      // silence its whole buffer, only for the key to be written over it.
      ConnectChannels(kInput, block.nIn, mSideChainChannel - block.nIn, false);
      ConnectChannels(kInput, mSideChainChannel + 1, maxIn - mSideChainChannel - 1, false);
    } else {
      ConnectChannels(kInput, block.nIn, maxIn - block.nIn, false);
    }
    if (key) ConnectChannels(kInput, mSideChainChannel, 1, true);
  }
  const int maxOut = NChannels(kOutput);
  ConnectChannels(kOutput, 0, maxOut, true);
  if (MaxBusCount(kOutput) == 1) ConnectChannels(kOutput, block.nOut, maxOut - block.nOut, false);
}

void IPlugAAX::ConnectInputs(const HostBlock& block, int offset, int nFrames) {
  if (IsInstrument()) return;
  AttachHostBuffers(kInput, 0, block.nIn, HostPointers(block.inputs, block.nIn, offset, mPieceInputs), nFrames);
  if (mConnectedLayout.key)
    AttachHostBuffers(kInput, mSideChainChannel, 1,
                      HostPointers(block.inputs + block.sideChainIndex, 1, offset, mPieceInputs), nFrames);
}

void IPlugAAX::ConnectOutputs(const HostBlock& block, int offset, int nFrames) {
  AttachHostBuffers(kOutput, 0, NChannels(kOutput),
                    HostPointers(block.outputs, block.nOutAttached, offset, mPieceOutputs), nFrames);
}

// The transport of the piece being rendered, read only when the plug-in asks for it.
void IPlugAAX::ReadPendingTimeInfo(TimeInfo& info) const {
  if (!mTimeContext) return;
  const int offset = mTimeOffset;
  AAX_IMIDINode* node = Field<AAX_IMIDINode>(mTimeContext, kIPlugAAXField_Transport);
  if (AAX_ITransport* transport = node ? node->GetTransport() : nullptr) {
    double tempo = 0.0;
    if (transport->GetCurrentTempo(&tempo) == AAX_SUCCESS) info.mTempo = tempo;
    bool playing = false;
    if (transport->IsTransportPlaying(&playing) == AAX_SUCCESS) info.mTransportIsRunning = playing;
    int32_t numerator = 0, denominator = 0;
    if (transport->GetCurrentMeter(&numerator, &denominator) == AAX_SUCCESS) {
      info.mNumerator = numerator;
      info.mDenominator = denominator;
    }
    int64_t ticks = 0;
    if (transport->GetCurrentTickPosition(&ticks) == AAX_SUCCESS) {
      // A later piece of a long block is that much further on at the block's tempo.
      const double beats = offset > 0 && info.mTempo > 0.0 ? offset * info.mTempo / (60.0 * GetSampleRate()) : 0.0;
      info.mPPQPos = std::max(0.0, static_cast<double>(ticks) / kTicksPerQuarter + beats);
    }
    int64_t sample = 0;
    if (transport->GetCurrentNativeSampleLocation(&sample) == AAX_SUCCESS)
      info.mSamplePos = static_cast<double>(sample + offset);
    bool looping = false;
    int64_t loopStart = 0, loopEnd = 0;
    if (transport->GetCurrentLoopPosition(&looping, &loopStart, &loopEnd) == AAX_SUCCESS) {
      info.mTransportLoopEnabled = looping;
      info.mCycleStart = static_cast<double>(loopStart) / kTicksPerQuarter;
      info.mCycleEnd = static_cast<double>(loopEnd) / kTicksPerQuarter;
    }
  }
}

void IPlugAAX::HandleHostMidiInput(const void* context) {
  AAX_IMIDINode* node = Field<AAX_IMIDINode>(context, kIPlugAAXField_MIDIIn);
  const AAX_CMidiStream* stream = node ? node->GetNodeBuffer() : nullptr;
  if (!stream || !stream->mBuffer) return;
  for (uint32_t i = 0; i < stream->mBufferSize; ++i) {
    const AAX_CMidiPacket& packet = stream->mBuffer[i];
    MidiMessage msg;
    msg.mOffset = static_cast<int32_t>(packet.mTimestamp);
    msg.mStatus = packet.mData[0];
    msg.mData1 = packet.mData[1];
    msg.mData2 = packet.mData[2];
    HandleMidiInput(msg);
    SendMidiFromProcessor(msg);  // the editor's copy is dropped when its ring is full
  }
}

void IPlugAAX::PostMidiOutput(const void* context) {
  AAX_IMIDINode* node = DoesMIDIOut() ? Field<AAX_IMIDINode>(context, kIPlugAAXField_MIDIOut) : nullptr;
  if (node) {
    for (const MidiMessage& msg : mMidiOutput) {
      AAX_CMidiPacket packet;
      packet.mTimestamp = static_cast<uint32_t>(std::max(msg.mOffset, 0));
      packet.mLength = 3;
      packet.mData[0] = msg.mStatus;
      packet.mData[1] = msg.mData1;
      packet.mData[2] = msg.mData2;
      packet.mIsImmediate = 1;
      node->PostMIDIPacket(&packet);
    }
    SysExData record;
    while (PopSysexFromEditor(record)) {
      const uint32_t size = static_cast<uint32_t>(std::clamp(record.mSize, 0, SysExData::kMaxBytes));
      for (uint32_t at = 0; at < size; at += kPacketBytes) {
        AAX_CMidiPacket packet;
        packet.mTimestamp = static_cast<uint32_t>(std::max(record.mOffset, 0));
        packet.mLength = std::min(kPacketBytes, size - at);
        std::memcpy(packet.mData, record.mData + at, packet.mLength);
        packet.mIsImmediate = 1;
        node->PostMIDIPacket(&packet);
      }
    }
  }
  // Messages with nowhere to go are dropped with the block, so the list never fills up.
  mMidiOutput.Clear();
}

void IPlugAAX::RenderContext(const void* context, TParamValPair* const /*values*/[], int32_t /*count*/) {
  HostBlock block;
  if (!ReadHostBlock(context, block)) return;
  if (!block.inputsPresent || !block.initialised) {
    SilenceOutputs(block);
    return;
  }

  const bool bypassed = IsHostBypassed();
  if (DoesMIDIIn()) HandleHostMidiInput(context);
  // Long blocks are rendered in pieces that fit the scratch buffers made at construction, so
  // no block, however long, allocates; the processing grows to the piece size only.
  const int pieceFrames = std::min(block.nFrames, kPreallocatedFrames);
  GrowBlockSize(pieceFrames);
  ConnectLayout(block);
  for (int offset = 0; offset < block.nFrames; offset += pieceFrames) {
    const int n = std::min(pieceFrames, block.nFrames - offset);
    ConnectInputs(block, offset, n);
    ConnectOutputs(block, offset, n);
    if (RunsProcessing(bypassed)) {
      mTimeContext = context;
      mTimeOffset = offset;
      SetTimeInfoPending(true);
      MidiMessage msg;
      while (PopMidiFromEditor(msg)) HandleMidiInput(msg);
    }
    RenderHostBuffers(n, bypassed);
    SetTimeInfoPending(false);  // the context is the host's only during the call
    mTimeContext = nullptr;
  }
  PostMidiOutput(context);
}

}  // namespace iplug
