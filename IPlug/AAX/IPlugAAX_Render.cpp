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

}  // namespace

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

// What the context says about one block. False for a block that cannot be read safely.
bool IPlugAAX::ReadHostBlock(const void* context, HostBlock& block) {
  const int32_t* length = Field<const int32_t>(context, kIPlugAAXField_BufferLength);
  if (!length || *length <= 0 || *length > kMaxRenderFrames) return false;
  block.mNFrames = *length;

  // An instance's stem formats never change, so once a query has worked the host is not asked
  // again; before any has (a host in trouble), the layout is taken to be the smallest there
  // is, one channel each way, so that every buffer written exists.
  int nIn = 0, nOut = 0;
  if (!mStemFormatsKnown && ReadStemFormats(nIn, nOut)) {
    mKnownInputChannels = nIn;
    mKnownOutputChannels = nOut;
    mStemFormatsKnown = true;
  } else {
    nIn = mKnownInputChannels;
    nOut = mKnownOutputChannels;
  }
  block.mNMainInputs = std::clamp(nIn, 0, mRenderer.MaxMainInputs());
  block.mNOutputs = std::clamp(nOut, 0, NChannels(kOutput));
  block.mOutputs = Field<float* const>(context, kIPlugAAXField_AudioOut);
  float* const* inputs = Field<float* const>(context, kIPlugAAXField_AudioIn);
  block.mMainInputs = inputs;

  // The key follows the main inputs in the host's buffers; an index past them (or a missing
  // buffer there) is taken as no key at all.
  // Only components with a side chain register its field: the others' contexts end before it.
  const int32_t* sideChain =
      MaxBusCount(kInput) > 1 ? Field<const int32_t>(context, kIPlugAAXField_SideChainIn) : nullptr;
  const int s = sideChain ? *sideChain : 0;
  if (inputs && s >= 1 && s <= block.mNMainInputs) block.mKey = inputs[s];
  return true;
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
  // Without a controller the host has not initialised the instance: nothing to render for.
  if (!Controller()) {
    if (mRenderer.OutputsPresent(block)) mRenderer.Silence(block);
    return;
  }
  // The host's MIDI reaches the plug-in only with a block it renders.
  if (DoesMIDIIn() && mRenderer.OutputsPresent(block) && mRenderer.InputsPresent(block)) HandleHostMidiInput(context);
  mRenderer.Render(block, IsHostBypassed(), [this, context](int offset, int /*nFrames*/) {
    mTimeContext = context;
    mTimeOffset = offset;
    SetTimeInfoPending(true);
    MidiMessage msg;
    while (PopMidiFromEditor(msg)) HandleMidiInput(msg);
  });
  SetTimeInfoPending(false);  // the context is the host's only during the call
  mTimeContext = nullptr;
  PostMidiOutput(context);
}

}  // namespace iplug
