#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IPlug/AAX/AAX_CIPlugParameters.h"
#include "IPlug/AAX/IPlugAAX.h"
#include "host/aax/Host.h"
#include "host/aax/Instance.h"
#include "host/aax/MidiNode.h"

namespace aaxtest {

// Starts the module's host services on a recording host for the life of a test, and stops
// them again, so assertion reports and traces are seen and never outlive the host.
class HostServicesScope {
public:
  explicit HostServicesScope(aaxhost::Host& host);
  ~HostServicesScope();
};

// An instance of a plug-in object as a host holds it: initialised through a recording host
// context (controller, automation delegate, transport), released by the host's reference.
// The plug-in object stays reachable for the test through `plug`.
template <typename Plug>
struct HostedPlug {
  aaxhost::CallLog log;
  aaxhost::Instance instance{log, nullptr};
  Plug* plug = nullptr;

  // sampleRate and stem formats are what the controller answers from the start.
  explicit HostedPlug(Plug* object, float sampleRate = 44100.0f, AAX_EStemFormat format = AAX_eStemFormat_Stereo) {
    plug = object;
    instance.GetController().SetSampleRate(sampleRate);
    instance.GetController().SetStemFormats(format, format);
    initResult = instance.Adopt(static_cast<AAX_CIPlugParameters*>(object)->GetPrivateUnknown());
  }
  AAX_IACFEffectParameters& Effect() { return *instance.Effect(); }
  AAX_Result initResult = AAX_SUCCESS;
};

// A hand-made algorithm context laid out as the description registers it, with every field
// under the test's control: buffers, block length, side-chain index, state number, MIDI and
// transport nodes, private data. Fields can be taken away to see how the plug-in copes.
class RawContext {
public:
  static constexpr int kFields = 27;
  static constexpr int kMaxFrames = 4096;

  explicit RawContext(AAX_CIPlugParameters& effect, int mainInputs = 2, int outputs = 2, int maxFrames = kMaxFrames);

  // The host's buffers: main inputs, then the key at index mainInputs.
  std::vector<float>& Input(int index) { return mInputs[static_cast<size_t>(index)]; }
  std::vector<float>& Output(int index) { return mOutputs[static_cast<size_t>(index)]; }
  void FillInputs(float base);  // input i holds base + i + frame / 1000 at each frame
  void FillOutputs(float value);

  void SetLength(int32_t frames) { mLength = frames; }
  void SetSideChain(int32_t index) { mSideChain = index; }
  void SetStateNumber(int64_t number) { mStateNumber = number; }
  void SetField(int index, void* value) { mFields[static_cast<size_t>(index)] = value; }
  void* GetField(int index) const { return mFields[static_cast<size_t>(index)]; }

  aaxhost::MidiNode& MidiIn() { return *mMidiIn; }
  aaxhost::MidiNode& MidiOut() { return *mMidiOut; }
  void UseMidiNodes();        // local input and output nodes on fields 4 and 5
  void UseTransport(AAX_ITransport* transport);  // a transport node on field 7

  void* Get() { return mFields.data(); }
  // One call of the registered render callback with this context.
  void Render();

private:
  std::array<void*, kFields> mFields{};
  std::vector<std::vector<float>> mInputs;
  std::vector<std::vector<float>> mOutputs;
  std::vector<float*> mInputPointers;
  std::vector<float*> mOutputPointers;
  int32_t mLength = 0;
  int32_t mSideChain = 0;
  int64_t mStateNumber = 0;
  alignas(8) unsigned char mPrivateData[sizeof(AAX_SIPlugPrivateData)] = {};
  std::unique_ptr<aaxhost::MidiNode> mMidiIn;
  std::unique_ptr<aaxhost::MidiNode> mMidiOut;
  std::unique_ptr<aaxhost::MidiNode> mTransportNode;
};

}  // namespace aaxtest
