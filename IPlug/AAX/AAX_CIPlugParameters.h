#pragma once
#include <array>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "aax-library/AAX_CAtomicQueue.h"
#include "aax-library/AAX_CEffectParameters.h"
#include "aax-library/AAX_IParameterValue.h"

// Context fields the description registers and the render path reads.
enum EIPlugAAXField : AAX_CFieldIndex {
  kIPlugAAXField_AudioIn = 0,
  kIPlugAAXField_AudioOut = 1,
  kIPlugAAXField_BufferLength = 2,
  kIPlugAAXField_Clock = 3,
  kIPlugAAXField_MIDIIn = 4,
  kIPlugAAXField_MIDIOut = 5,
  kIPlugAAXField_GlobalMIDI = 6,
  kIPlugAAXField_Transport = 7,
  kIPlugAAXField_AdditionalMIDIIn = 8,  // 8 .. 22
  kIPlugAAXField_PrivateData = 23,
  kIPlugAAXField_Meters = 24,
  kIPlugAAXField_StateNumber = 25,
  kIPlugAAXField_SideChainIn = 26
};

class AAX_CIPlugParameters;

// What the private-data field of an instance's algorithm context holds.
struct AAX_SIPlugPrivateData {
  AAX_CIPlugParameters* mPlug;
};

// The effect-parameters object of the framework's AAX binding. Besides the library's services
// it carries the synchronized-parameter machinery: values of parameters registered as
// synchronized are taken when the host generates coefficients, numbered, and handed to the
// render callback once the host's newest state number has reached theirs, so that they take
// effect at the audio position the host assigns. Queues carry states and values between the
// threads; everything delivered is freed on the host's timer, never on the audio thread.
class AAX_CIPlugParameters : public AAX_CEffectParameters {
public:
  // A parameter's identifier (pointing into the value copy) and the copy of its value.
  using TParamValPair = std::pair<AAX_CParamID, const AAX_IParameterValue*>;
  // A state: its number and the values that changed in it.
  using TNumberedStateList = std::pair<int64_t, std::vector<TParamValPair*>>;

  static constexpr std::size_t kSynchronizedParameterQueueSize = 32;
  static constexpr int32_t kStateQueueSize = 256;
  static constexpr int32_t kValueQueueSize = 512;
  static constexpr int32_t kMaxValuesPerBlock = 128;

  AAX_CIPlugParameters();
  ~AAX_CIPlugParameters() override;

  // Host main thread. The library's clean-up; changes not yet numbered are forgotten with the
  // parameters they belong to.
  AAX_Result Uninitialize() override;

  // Host non-real-time thread. The library's update; a synchronized parameter is also marked
  // changed for the next state.
  AAX_Result UpdateParameterNormalizedValue(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  // Host non-real-time thread. Numbers a new state, queues the changed synchronized values
  // with it, and posts the number to the context's state-number field.
  AAX_Result GenerateCoefficients() override;
  // Host non-real-time thread. The private-data field learns this object; other fields are
  // cleared.
  AAX_Result ResetFieldData(AAX_CFieldIndex index, void* data, uint32_t size) const override;
  // Host's idle timer. Frees delivered states and values, then the library's timer work.
  AAX_Result TimerWakeup() override;

  // The render callback the description registers. Real-time thread: walks the contexts,
  // skipping any without private data, and renders each instance. Allocates nothing; takes
  // no lock unless a synchronized value is delivered.
  static void AlgorithmCallback(void* const contextsBegin[], const void* contextsEnd);

  // Number the next state will carry.
  int64_t NextStateNumber() const { return mStateCounter.load(std::memory_order_acquire); }

protected:
  // Real-time thread. One block of one instance: values holds the synchronized values that
  // became current for it. The base does nothing.
  virtual void RenderContext(const void* context, TParamValPair* const values[], int32_t count);

  // Host non-real-time thread, from EffectInit. At most kSynchronizedParameterQueueSize.
  void AddSynchronizedParameter(const AAX_IParameter& parameter);
  bool IsSynchronized(AAX_CParamID id) const;

private:
  // Real-time thread.
  void RenderWithStates(const void* context);
  int32_t TakeCurrentValues(int64_t newestState, TParamValPair* values[]);
  // Host timer thread (and the destructor).
  void FreeSpentStatesAndValues();

  std::set<std::string, std::less<>> mSynchronizedParameters;
  std::mutex mDirtyMutex;  // host threads only: updates against coefficient generation
  std::set<const AAX_IParameter*> mDirtyParameters;
  std::atomic<int64_t> mStateCounter{0};
  AAX_CAtomicQueue<TNumberedStateList, kStateQueueSize> mStateQueue;
  AAX_CAtomicQueue<TNumberedStateList, kStateQueueSize> mSpentStateQueue;
  std::array<TParamValPair*, kMaxValuesPerBlock> mBlockValues{};  // render thread: this block's values
  AAX_CAtomicQueue<TParamValPair, kValueQueueSize> mSpentValueQueue;
};
